#!/usr/bin/env bash
# The command line of talvor-batch: help, version, and the exit status of a wrong command line.
set -u
batch=$1
failures=0
expect() {  # expect STATUS DESCRIPTION COMMAND...
  local want=$1 what=$2
  shift 2
  "$@" >/tmp/talvor-batch-cli.out 2>&1
  local got=$?
  if [ "$got" -ne "$want" ]; then
    echo "FAIL $what: exit $got, expected $want"
    cat /tmp/talvor-batch-cli.out
    failures=$((failures + 1))
  fi
}
expect 0 "--help" "$batch" --help
grep -q '^Usage: talvor-batch' /tmp/talvor-batch-cli.out || { echo "FAIL --help shows no usage"; failures=$((failures + 1)); }
expect 0 "--version" "$batch" --version
expect 2 "unknown command" "$batch" frobnicate
grep -q "unknown command 'frobnicate'" /tmp/talvor-batch-cli.out || { echo "FAIL unknown command not named"; failures=$((failures + 1)); }
expect 2 "no command" "$batch"
expect 2 "unknown option" "$batch" --bogus info
expect 2 "unknown command after --data-dir" "$batch" --data-dir /tmp frobnicate
data=$(mktemp -d)
expect 0 "telescope goto with the simulated mount" "$batch" --data-dir "$data" --simulate telescope goto messier 31
grep -q '^slewing$' /tmp/talvor-batch-cli.out && grep -q 'M31' /tmp/talvor-batch-cli.out \
  || { echo "FAIL goto messier 31 printed:"; cat /tmp/talvor-batch-cli.out; failures=$((failures + 1)); }
expect 0 "telescope pulse with the simulated mount" "$batch" --data-dir "$data" --simulate telescope pulse e 50
expect 2 "telescope pulse in an unknown direction" "$batch" --data-dir "$data" --simulate telescope pulse x 50
expect 2 "telescope without an operation" "$batch" --data-dir "$data" telescope
expect 2 "convert without files" "$batch" --data-dir "$data" convert
rm -rf "$data"
rm -f /tmp/talvor-batch-cli.out
exit $((failures > 0))
