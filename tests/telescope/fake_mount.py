#!/usr/bin/env python3
"""A misbehaving LX200 on a pseudo-terminal, for driving talvor-batch from outside.

It answers only the object information (":LI#") and the slew (":MS#"), late, without the
closing '#', or not at all, as asked; it writes every byte it receives with its time to the log;
it links the terminal at --link (Talvor's com1 entry) and hangs up when it is terminated.
"""

import argparse
import os
import select
import signal
import sys
import time


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--link", required=True)
    parser.add_argument("--log", required=True)
    parser.add_argument("--answer-after", type=float, default=0.0,
                        help="seconds before the object information is answered")
    parser.add_argument("--no-hash", action="store_true",
                        help="answers end without their closing '#'")
    parser.add_argument("--silent", action="store_true")
    args = parser.parse_args()

    master, slave = os.openpty()
    device = os.ttyname(slave)
    if os.path.lexists(args.link):
        os.remove(args.link)
    os.symlink(device, args.link)
    stop = []
    signal.signal(signal.SIGTERM, lambda *_: stop.append(True))
    signal.signal(signal.SIGINT, lambda *_: stop.append(True))

    end = "" if args.no_hash else "#"
    start = time.monotonic()
    received = ""
    due = []  # (time, bytes)
    with open(args.log, "w") as log:
        # Ready: whoever waits for this line may use the terminal now.
        print(device, flush=True)
        while not stop:
            now = time.monotonic()
            for entry in [entry for entry in due if entry[0] <= now]:
                os.write(master, entry[1].encode())
                due.remove(entry)
            timeout = min([entry[0] for entry in due], default=now + 0.05) - now
            try:
                ready, _, _ = select.select([master], [], [], max(timeout, 0))
            except InterruptedError:
                continue
            if not ready:
                continue
            try:
                chunk = os.read(master, 256).decode("latin-1")
            except OSError:
                continue
            for character in chunk:
                log.write("%d %d\n" % ((time.monotonic() - start) * 1000, ord(character)))
                received += character
                if args.silent:
                    continue
                if received.endswith(":LI#"):
                    due.append((time.monotonic() + args.answer_after, "M31 Galaxy" + end))
                elif received.endswith(":MS#"):
                    due.append((time.monotonic() + args.answer_after, "0"))
            log.flush()
    os.remove(args.link)
    os.close(master)
    return 0


if __name__ == "__main__":
    sys.exit(main())
