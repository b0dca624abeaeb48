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
expect 0 "capture two summed exposures with automatic save" "$batch" --data-dir "$data" --simulate --fast-camera capture --exposure 1 s --count 2 --autosave -o "$data/sum.fit"
[ "$(stat -c %s "$data/sum.fit")" = 303040 ] && [ -f "$data/autosave/IMG2.FIT" ] \
  || { echo "FAIL capture wrote:"; ls -R "$data"; failures=$((failures + 1)); }
# Continuous mode with three exposures: three frames, three files, none twice.
rm -f "$data"/autosave/IMG*.FIT
expect 0 "capture three continuous exposures" "$batch" --data-dir "$data" --simulate --fast-camera capture --exposure 1 s --continuous --count 3 --autosave -o "$data/last.fit"
[ "$(ls "$data"/autosave/IMG*.FIT | wc -l)" = 3 ] && [ -f "$data/autosave/IMG3.FIT" ] \
  || { echo "FAIL continuous capture saved:"; ls "$data/autosave"; failures=$((failures + 1)); }
# Ctrl+C in the pause of a continuous run: the frames were read, the last one is written.
rm -f "$data"/autosave/IMG*.FIT "$data/paused.fit"
"$batch" --data-dir "$data" --simulate --fast-camera capture --exposure 1 s --continuous --pause 1 --autosave -o "$data/paused.fit" >/tmp/talvor-batch-cli.out 2>&1 &
capture=$!
for _ in $(seq 100); do [ -f "$data/autosave/IMG1.FIT" ] && break; sleep 0.1; done
sleep 1.5
kill -INT "$capture"
wait "$capture"
status=$?
[ "$status" = 0 ] && [ "$(stat -c %s "$data/paused.fit" 2>/dev/null)" = 303040 ] \
  || { echo "FAIL Ctrl+C in the pause: exit $status"; cat /tmp/talvor-batch-cli.out; failures=$((failures + 1)); }
expect 2 "capture without an exposure" "$batch" --data-dir "$data" --simulate capture -o "$data/x.fit"
expect 2 "fast camera without the simulator" "$batch" --data-dir "$data" --fast-camera capture --exposure 1 s -o "$data/x.fit"
expect 2 "camera ids that are not ids" "$batch" --data-dir "$data" --camera-usb-id 1209 --simulate telescope pulse e 50
# Camera ids given once are remembered in the data folder.
ids=$(mktemp -d)
expect 0 "camera ids of a camera of two devices" "$batch" --data-dir "$ids" --camera-usb-id 04d8:0001,04D8:0002 --list-usb
expect 0 "camera ids given to a command" "$batch" --data-dir "$ids" --camera-usb-id 04d8:0001,04D8:0002 --simulate telescope pulse e 50
expect 0 "list the USB devices" "$batch" --data-dir "$ids" --list-usb
grep -q '^Looking for 04d8:0001,04d8:0002 (a HID device and a bulk device)' /tmp/talvor-batch-cli.out \
  || { echo "FAIL the ids were not remembered:"; cat /tmp/talvor-batch-cli.out; failures=$((failures + 1)); }
rm -rf "$ids"
expect 0 "guide on the simulated sky" "$batch" --data-dir "$data" --simulate --fast-camera guide --seconds 5
grep -q '^rms guided [0-9.]* px, unguided [0-9.]* px$' /tmp/talvor-batch-cli.out \
  && grep -q '^rms true [0-9.]* px (RA [0-9.]*, Dec [0-9.]*)$' /tmp/talvor-batch-cli.out \
  && grep -q '^frame 2: .*, true dx -\?[0-9.]* dy -\?[0-9.]*$' /tmp/talvor-batch-cli.out \
  && ls "$data"/guide-*.csv >/dev/null 2>&1 \
  || { echo "FAIL guide printed:"; tail -5 /tmp/talvor-batch-cli.out; failures=$((failures + 1)); }
# A foreign FITS file larger than the frame is cut to it with a note; the commands that load it
# go on and succeed.
/usr/bin/python3 -c "
import numpy as np
from astropy.io import fits
sky = np.full((480, 640), 1000, dtype=np.int16)
sky[98:103, 98:103] = 9000
fits.PrimaryHDU(sky).writeto('$data/wide.fits')"
expect 0 "process a foreign file cut to the frame" "$batch" --data-dir "$data" process "$data/wide.fits" "$data/wide-median.fit" median:1:5
grep -q 'were cut' /tmp/talvor-batch-cli.out && [ -f "$data/wide-median.fit" ] \
  || { echo "FAIL process of a cut foreign file:"; cat /tmp/talvor-batch-cli.out; failures=$((failures + 1)); }
expect 0 "centroid in a foreign file cut to the frame" "$batch" --data-dir "$data" centroid "$data/wide.fits" 100 100
expect 0 "histogram of a foreign file cut to the frame" "$batch" --data-dir "$data" histogram "$data/wide.fits"
# SIGTERM (as a session's end sends it) ends a guiding run as its end does: summed up, exit 0.
guided=$(mktemp -d)
"$batch" --data-dir "$guided" --simulate --fast-camera guide --seconds 600 >"$guided/out" 2>&1 &
guide=$!
for _ in $(seq 200); do grep -q '^frame 3:' "$guided/out" 2>/dev/null && break; sleep 0.1; done
kill -TERM "$guide"
wait "$guide"
status=$?
[ "$status" = 0 ] && grep -q '^rms guided [0-9.]* px' "$guided/out" \
  || { echo "FAIL SIGTERM while guiding: exit $status"; tail -3 "$guided/out"; failures=$((failures + 1)); }
rm -rf "$guided"
expect 2 "guide with a bad star position" "$batch" --data-dir "$data" --simulate --fast-camera guide --star 12
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
# Batch mode writes no display bitmap, so a data folder that cannot take one (a plain file
# stands for it: root writes into read-only folders) does not fail a process.
: > "$data/not-a-folder"
expect 0 "process beside an unwritable data folder" "$batch" --data-dir "$data/not-a-folder" process "$data/~stars" "$data/unwritable.fit" log median:1:5
[ -z "$(find "$data" -iname 'talvor*.bmp')" ] || { echo "FAIL batch wrote a display bitmap"; failures=$((failures + 1)); }
expect 0 "history" "$batch" --data-dir "$data" history "$data/~stars" log power:1.5 invert
[ "$(cat /tmp/talvor-batch-cli.out)" = "$(printf 'Log Stretch \nPower Stretch : 1.5 \nInvert Image to Negative \n')" ] \
  || { echo "FAIL history printed:"; cat /tmp/talvor-batch-cli.out; failures=$((failures + 1)); }
expect 2 "process with an unknown step" "$batch" --data-dir "$data" process "$data/~stars" "$data/x.fit" bogus
expect 1 "process with a missing dark frame writes nothing" "$batch" --data-dir "$data" process "$data/~stars" "$data/y.fit" dark:/nonexistent
[ ! -e "$data/y.fit" ] || { echo "FAIL a failed process wrote its output"; failures=$((failures + 1)); }
# A wrong parameter is refused with its range, never clamped into one; nothing is written.
refused() {  # refused STEP RANGE-TEXT
  expect 2 "process $1 is refused" "$batch" --data-dir "$data" process "$data/~stars" "$data/bad.fit" "$1"
  grep -qF -- "$2" /tmp/talvor-batch-cli.out || { echo "FAIL $1 did not name $2:"; head -n 2 /tmp/talvor-batch-cli.out; failures=$((failures + 1)); }
  expect 2 "history $1 is refused" "$batch" --data-dir "$data" history "$data/~stars" "$1"
}
refused nonlinear:0 "2..50"
refused nonlinear:51 "2..50"
refused normal:-5:400 "0..255"
refused normal:200:100 "above the black level"
refused unsharp:9:0 "1..7"
refused median:5:20 "1..3"
refused median:2:0 "1..10"
for power in nan inf -1 0 1.55 3.1; do refused "power:$power" "0.1, 0.2, ..., 3.0"; done
[ ! -e "$data/bad.fit" ] || { echo "FAIL a refused step wrote its output"; failures=$((failures + 1)); }
expect 0 "parameters at the ends of their ranges" "$batch" --data-dir "$data" process "$data/~stars" "$data/ends.raw" normal:254:255 nonlinear:2 nonlinear:50 unsharp:1:7 median:3:1 power:0.1 power:3.0

# power:3.0 is the Power Law Stretch dialog's "3.0": twenty steps of 0.1 up from 1.0. Checked
# against that table computed here, on a ramp through every level, where plain 3.0 differs.
/usr/bin/python3 -c "
import numpy as np, sys
ramp = (np.arange(290 * 510, dtype=np.int64) * 65536 // (290 * 510)).astype('<u2')
open(sys.argv[1], 'wb').write(ramp.tobytes())" "$data/~ramp"
expect 0 "process power:3.0" "$batch" --data-dir "$data" process "$data/~ramp" "$data/power.raw" power:3.0
/usr/bin/python3 -c "
import sys, numpy as np
def table(p):
    f = 1 / (32768.0 ** (p - 1))
    v = [float(i) ** p * f for i in range(32768)]
    return np.array([32767 if x > 32767.0 else int(x) for x in v])
dialog = 1.0
for _ in range(20):
    dialog += 0.1
src = np.fromfile(sys.argv[1], '<u2').astype(np.int64)
out = np.fromfile(sys.argv[2], '<u2').astype(np.int64)
want = 2 * table(dialog)[src >> 1] % 65536
plain = 2 * table(3.0)[src >> 1] % 65536
print('    power:3.0 = %r; %d pixels would differ with 3.0 itself' % (dialog, (plain != want).sum()))
sys.exit(0 if (out == want).all() and (plain != want).any() else 1)" "$data/~ramp" "$data/power.raw" \
  || { echo "FAIL power:3.0 is not the dialog's 3.0"; failures=$((failures + 1)); }
"$batch" process --help 2>&1 | grep -q 'power:3.0 is the dialog.s "3.0" (3.0000000000000018)' \
  || { echo "FAIL the help does not say which power power:3.0 is"; failures=$((failures + 1)); }

# history prints what the message box shows: the first 498 characters.
steps=()
for _ in $(seq 15); do steps+=(normal:100:255); done
expect 0 "history of fifteen steps" "$batch" --data-dir "$data" history "$data/~stars" "${steps[@]}"
full=$(for _ in $(seq 15); do printf 'Normal Stretch : max 255 ,min 100 \n'; done | base64 -w0)
[ "$(base64 -w0 </tmp/talvor-batch-cli.out)" = "$(echo "$full" | base64 -d | head -c 498 | base64 -w0)" ] \
  || { echo "FAIL history printed $(wc -c </tmp/talvor-batch-cli.out) characters, not the box's 498"; failures=$((failures + 1)); }

# History text read from a file reaches the terminal with its control bytes shown as \xHH: a
# frame of ours whose history card was changed to hold an escape sequence.
"$batch" --data-dir "$data" process "$data/~stars" "$data/escape.fit" invert 2>/dev/null
/usr/bin/python3 -c "
data = open('$data/escape.fit', 'rb').read().replace(b'Invert Ima', b'\x1b]0;owned\x07', 1)
open('$data/escape.fit', 'wb').write(data)"
expect 0 "history of a file whose history holds an escape sequence" "$batch" --data-dir "$data" history "$data/escape.fit" log
grep -q '^\\x1B\]0;owned\\x07ge to Negative $' /tmp/talvor-batch-cli.out && ! grep -q $'\x1b' /tmp/talvor-batch-cli.out \
  && grep -q '^Log Stretch $' /tmp/talvor-batch-cli.out \
  || { echo "FAIL history printed control bytes:"; cat -v /tmp/talvor-batch-cli.out; failures=$((failures + 1)); }

# Photometry: a mask the window does not offer is a wrong command line, as a wrong centroid
# radius is; a magnitude without a background says that nothing was subtracted.
expect 2 "photometry with a 3-pixel mask" "$batch" --data-dir "$data" photometry "$data/~stars" --object 200,101 --comparison 300,150 --mask 3
grep -q '1, 5, 7, 9, 13 or 17' /tmp/talvor-batch-cli.out || { echo "FAIL the mask refusal names no masks"; failures=$((failures + 1)); }
expect 0 "photometry without a background" "$batch" --data-dir "$data" photometry "$data/~stars" --object 200,101 --comparison 300,150
grep -qx 'note no background subtracted' /tmp/talvor-batch-cli.out || { echo "FAIL photometry without a background printed:"; cat /tmp/talvor-batch-cli.out; failures=$((failures + 1)); }
expect 0 "photometry with a background" "$batch" --data-dir "$data" photometry "$data/~stars" --object 200,101 --comparison 300,150 --background 50,50
! grep -q '^note' /tmp/talvor-batch-cli.out || { echo "FAIL photometry with a background printed a note"; failures=$((failures + 1)); }
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
