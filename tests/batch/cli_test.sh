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
expect 0 "capture two summed exposures with automatic save" "$batch" --data-dir "$data" --simulate capture --exposure 1 s --count 2 --autosave -o "$data/sum.fit"
[ "$(stat -c %s "$data/sum.fit")" = 303040 ] && [ -f "$data/autosave/IMG2.FIT" ] \
  || { echo "FAIL capture wrote:"; ls -R "$data"; failures=$((failures + 1)); }
expect 2 "capture without an exposure" "$batch" --data-dir "$data" --simulate capture -o "$data/x.fit"
expect 0 "guide on the simulated sky" "$batch" --data-dir "$data" --simulate guide --seconds 5
grep -q '^rms guided [0-9.]* px, unguided [0-9.]* px$' /tmp/talvor-batch-cli.out \
  || { echo "FAIL guide printed:"; tail -5 /tmp/talvor-batch-cli.out; failures=$((failures + 1)); }
expect 2 "guide with a bad star position" "$batch" --data-dir "$data" --simulate guide --star 12
expect 2 "telescope pulse in an unknown direction" "$batch" --data-dir "$data" --simulate telescope pulse x 50
expect 2 "telescope without an operation" "$batch" --data-dir "$data" telescope
expect 2 "convert without files" "$batch" --data-dir "$data" convert
# Measurements on a frame made here: two stars on a sky of 1000.
/usr/bin/python3 -c "
import numpy as np, sys
y, x = np.mgrid[0:290, 0:510]
f = 1000 + 20000 * np.exp(-((x - 200.3)**2 + (y - 100.6)**2) / 6) + 8000 * np.exp(-((x - 300)**2 + (y - 150)**2) / 6)
open(sys.argv[1], 'wb').write(f.astype('<u2').tobytes())" "$data/~stars"
expect 0 "centroid" "$batch" --data-dir "$data" centroid "$data/~stars" 201 99
grep -qx '200 101 0 0' /tmp/talvor-batch-cli.out || { echo "FAIL centroid printed:"; cat /tmp/talvor-batch-cli.out; failures=$((failures + 1)); }
expect 0 "centroid in tenths" "$batch" --data-dir "$data" centroid "$data/~stars" 201 99 --tenths
grep -qx '200 100 2 6' /tmp/talvor-batch-cli.out || { echo "FAIL centroid --tenths printed:"; cat /tmp/talvor-batch-cli.out; failures=$((failures + 1)); }
expect 2 "centroid radius out of range" "$batch" --data-dir "$data" centroid "$data/~stars" 201 99 --radius 16
expect 0 "photometry" "$batch" --data-dir "$data" photometry "$data/~stars" --object 200,101 --comparison 300,150 --background 50,50
grep -qx 'magnitude -0.99' /tmp/talvor-batch-cli.out || { echo "FAIL photometry printed:"; cat /tmp/talvor-batch-cli.out; failures=$((failures + 1)); }
expect 0 "histogram" "$batch" --data-dir "$data" histogram "$data/~stars"
head -n 1 /tmp/talvor-batch-cli.out | grep -q '^val' || { echo "FAIL histogram printed:"; cat /tmp/talvor-batch-cli.out; failures=$((failures + 1)); }
expect 0 "process writes the result" "$batch" --data-dir "$data" process "$data/~stars" "$data/out.fit" log median:2:7 label:M42
[ "$(stat -c %s "$data/out.fit")" = 303040 ] || { echo "FAIL process wrote no FITS file"; failures=$((failures + 1)); }
expect 0 "history" "$batch" --data-dir "$data" history "$data/~stars" log power:1.5 invert
[ "$(cat /tmp/talvor-batch-cli.out)" = "$(printf 'Log Stretch \nPower Stretch : 1.5 \nInvert Image to Negative \n')" ] \
  || { echo "FAIL history printed:"; cat /tmp/talvor-batch-cli.out; failures=$((failures + 1)); }
expect 2 "process with an unknown step" "$batch" --data-dir "$data" process "$data/~stars" "$data/x.fit" bogus
expect 1 "process with a missing dark frame writes nothing" "$batch" --data-dir "$data" process "$data/~stars" "$data/y.fit" dark:/nonexistent
[ ! -e "$data/y.fit" ] || { echo "FAIL a failed process wrote its output"; failures=$((failures + 1)); }
# Texts of a FITS file never reach the terminal as control bytes.
/usr/bin/python3 -c "
import sys
cards = ['SIMPLE  =                    T /', 'BITPIX  =                   16 /', 'NAXIS   =                    2 /',
         'NAXIS1  =                  512 /', 'NAXIS2  =                  290 /',
         \"OBJECT  = 'M42\x1b]0;owned\x07\x1b[2J'\", \"TELESCOP= 'caf\xc3\xa9 \x9b31m'\"]
head = b''.join(c.encode('latin-1').ljust(80) for c in cards).ljust(5760, b' ')
open(sys.argv[1], 'wb').write(head + bytes(296960) + b' ' * 320)" "$data/escapes.fit"
expect 0 "info on a FITS file with control bytes in its texts" "$batch" --data-dir "$data" info "$data/escapes.fit"
if LC_ALL=C grep -q $'\x1b\|\x07' /tmp/talvor-batch-cli.out || LC_ALL=C grep -q $'\x9b' /tmp/talvor-batch-cli.out \
  || ! grep -qxF 'OBJECT: M42\x1B]0;owned\x07\x1B[2J' /tmp/talvor-batch-cli.out \
  || ! grep -qxF 'TELESCOP: café \x9B31m' /tmp/talvor-batch-cli.out; then
  echo "FAIL info printed control bytes raw:"; cat -v /tmp/talvor-batch-cli.out; failures=$((failures + 1))
fi
# An auto-save that fails fails the capture, though OUT still gets the frame.
blocked=$(mktemp -d)
touch "$blocked/autosave"
expect 1 "capture whose auto-save fails" "$batch" --data-dir "$blocked" --simulate capture --exposure 1 t --autosave -o "$blocked/frame.fit"
grep -qx 'Unable to create file, check disk space' /tmp/talvor-batch-cli.out && [ -f "$blocked/frame.fit" ] \
  || { echo "FAIL capture with a failed auto-save:"; cat /tmp/talvor-batch-cli.out; failures=$((failures + 1)); }
rm -rf "$blocked"
rm -rf "$data"
rm -f /tmp/talvor-batch-cli.out
exit $((failures > 0))
