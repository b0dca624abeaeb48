#!/usr/bin/env bash
# talvor-batch telescope from outside: the control window's texts for entries out of range, the
# bound on pulses, one message for a port that is missing, a control box without its port, mounts
# that answer late or without '#', and a pulse ended by a signal or by the mount hanging up.
# Usage: batch_telescope_test.sh TALVOR_BATCH
set -u
batch=$1
here=$(cd "$(dirname "$0")" && pwd)
work=$(mktemp -d)
mount_pid=
cleanup() {
  [ -n "$mount_pid" ] && kill "$mount_pid" 2>/dev/null && wait "$mount_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
failures=0

check() {  # NAME COMMAND...: passes when the command succeeds
  local name=$1
  shift
  if "$@"; then
    echo "ok   $name"
  else
    echo "FAIL $name"
    echo "     stdout: $(cat "$work/out")"
    echo "     stderr: $(cat "$work/err")"
    [ -s "$work/mount.log" ] && echo "     mount received: $(/usr/bin/python3 -c "
print(repr(''.join(chr(int(line.split()[1])) for line in open('$work/mount.log'))))")"
    failures=$((failures + 1))
  fi
}
run() {  # DATA ARGUMENTS...: runs the batch tool on a data folder; its status in $status
  local data=$1
  shift
  "$batch" --data-dir "$data" telescope "$@" >"$work/out" 2>"$work/err"
  status=$?
}
says() { grep -qF -- "$1" "$work/err"; }
count() { grep -cF -- "$1" "$work/err"; }

start_mount() {  # DATA OPTIONS...: a fake mount linked as the data folder's com1
  local data=$1
  shift
  rm -f "$work/mount.out" "$work/mount.log"
  /usr/bin/python3 "$here/fake_mount.py" --link "$data/com1" --log "$work/mount.log" "$@" >"$work/mount.out" &
  mount_pid=$!
  for _ in $(seq 100); do [ -s "$work/mount.out" ] && return; sleep 0.05; done
  echo "FAIL the fake mount did not start"
  exit 1
}
stop_mount() {
  kill "$mount_pid" 2>/dev/null
  wait "$mount_pid" 2>/dev/null
  mount_pid=
}
# Milliseconds from the first command to the first arrival of a command in the mount's log.
arrival() {
  /usr/bin/python3 -c "
import sys
log = [line.split() for line in open('$work/mount.log')]
sent = ''.join(chr(int(b)) for _, b in log)
at = sent.find(sys.argv[1])
print(int(log[at][0]) if at >= 0 else -1)" "$1"
}

data=$work/data
mkdir -p "$data"

# Entries out of range: the window's own texts, on standard error, before any port is opened.
object_text="Object out of range, or Invalid entry - try again"
run "$data" goto messier 111
check "messier 111 is refused with the window's text" test "$status" = 1 -a "$(cat "$work/err")" = "$object_text"
run "$data" goto cngc 7816
check "cngc 7816 is refused with the window's text" test "$status" = 1 -a "$(cat "$work/err")" = "$object_text"
run "$data" goto planet Vulcan
check "an unknown planet is refused with the window's text" test "$status" = 1 -a "$(cat "$work/err")" = "$object_text"
run "$data" goto radec 24 0 0 0
coordinates_text=$(printf 'Invalid Co-ordinates set.\n\nRange is R.A. 0hr 00min, to 23hr 59mins\n        Dec  -89deg 00min, to +89deg 59mins')
check "RA 24 h is refused with the window's text" test "$status" = 1 -a "$(cat "$work/err")" = "$coordinates_text"

# Pulses are bounded, and the help says so.
run "$data" pulse n 2147483647
check "a pulse of 2147483647 ms is refused" test "$status" = 2
check "the refusal names the limit" says "a guide pulse lasts 0 to 9999 ms"
run "$data" pulse n 10000
check "a pulse of 10000 ms is refused" test "$status" = 2
"$batch" telescope --help >"$work/out" 2>"$work/err"
check "the help states the limit" grep -qF "0..9999" "$work/out"

# A missing port: one message naming the device and the reason.
ln -s "$data/nowhere" "$data/com1"
run "$data" pulse n 10
check "a pulse on a missing port fails" test "$status" = 1
check "the message names the device" says "COM1 ($data/com1 -> $data/nowhere): the device is not there"
check "there is one message" test "$(count "Open Communications Failed")" = 1 -a "$(count "ERROR -3")" = 0
check "it keeps the program's texts" says "Sorry. No Connection to Telescope"

# A control box whose port is missing: its commands fail.
/usr/bin/python3 - "$data/autosave/talvor.ini" <<'EOF'
import sys
path = sys.argv[1]
settings = bytearray(open(path, "rb").read())
settings[26] = ord("b")  # the telescope type: the control box
open(path, "wb").write(settings)
EOF
run "$data" reset-box
check "reset-box without a port fails" test "$status" = 1
check "and says why" says "Open Communications Failed"
run "$data" pulse e 10
check "a box pulse without a port fails" test "$status" = 1
rm -rf "$data" && mkdir -p "$data"

# A mount that answers the object information after 400 ms slews all the same.
start_mount "$data" --answer-after 0.4
run "$data" goto messier 31
check "a slow mount's go-to slews" test "$status" = 0 -a "$(cat "$work/out")" = "$(printf 'slewing\nM31 Galaxy#')"
stop_mount

# A mount that closes no answer with '#' keeps its status.
start_mount "$data" --no-hash
run "$data" goto messier 31
check "a mount without '#' slews" test "$status" = 0 -a "$(cat "$work/out")" = "$(printf 'slewing\nM31 Galaxy')"
stop_mount

# SIGTERM and Ctrl+C in a long pulse: the stop goes out before the program ends.
for signal in TERM INT; do
  start_mount "$data"
  "$batch" --data-dir "$data" telescope pulse n 5000 >"$work/out" 2>"$work/err" &
  pulse_pid=$!
  sleep 0.4
  kill -s "$signal" "$pulse_pid"
  wait "$pulse_pid"
  status=$?
  stop_mount
  check "SIG$signal ends the pulse with status 1" test "$status" = 1
  check "SIG$signal: it says the drive was stopped" says "the drive was stopped"
  moved=$(arrival "#:Mn#")
  stopped=$(arrival "#:Qn#")
  check "SIG$signal: the mount was sent the stop long before the pulse's end" \
    test "$stopped" -gt "$moved" -a "$((stopped - moved))" -lt 3000
done

# The mount hangs up in the middle of a pulse: the stop cannot go, and the command fails.
start_mount "$data"
"$batch" --data-dir "$data" telescope pulse s 1000 >"$work/out" 2>"$work/err" &
pulse_pid=$!
sleep 0.4
stop_mount
wait "$pulse_pid"
status=$?
check "a pulse whose mount hung up fails" test "$status" = 1
check "and says the mount stopped answering" says "stopped answering: the device hung up"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) failed"
  exit 1
fi
echo "all checks passed"
