"""The four areas of the stress run: how each case breaks something and what must hold
afterwards. Used by scripts/stress."""

import os
import pty
import select
import shutil
import stat
import struct
import subprocess
import threading
import time

from stress_run import (FITS3, NATIVE, OPEN_SIZES, OPERAND_SIZES, PORT_TIMEOUT, SETTINGS_SIZE,
                        Failed, check, check_run, escaped_above, files_outside, leftovers, read,
                        run_batch, settings_with, snapshot)

# Mutations


def mutate_image(rng, seeds):
    """(bytes, description) of a mutated image file."""
    base = rng.choice(seeds.images())
    how = rng.choice(["cut", "cut-near", "lengthen", "flip", "flip-header", "card", "card",
                      "random", "empty"])
    data = bytearray(base)
    if how == "cut":
        data = data[:rng.randrange(0, len(data) + 1)]
    elif how == "cut-near":
        size = rng.choice(list(OPEN_SIZES)) + rng.choice([-1, 0, 1])
        data = (data + bytes(max(0, size - len(data))))[:size]
    elif how == "lengthen":
        data += bytes(rng.randrange(256) for _ in range(rng.randrange(1, 4000)))
    elif how in ("flip", "flip-header"):
        end = min(len(data), 5760) if how == "flip-header" else len(data)
        for _ in range(rng.randrange(1, 60)):
            if end:
                data[rng.randrange(end)] = rng.randrange(256)
    elif how == "card" and len(data) >= 5760:
        card = rng.randrange(72)
        data[card * 80:card * 80 + 80] = foreign_card(rng)
    elif how == "random":
        data = bytearray(rng.randrange(256) for _ in range(rng.choice(list(OPEN_SIZES))))
    elif how == "empty":
        data = bytearray()
    return bytes(data), how


def foreign_card(rng):
    texts = [
        "BITPIX  =                  -32 /", "NAXIS   =                    3 /",
        "NAXIS1  =               999999 /", "BZERO   =   +1.0000000000E+999",
        "PIXWIDTH=    nan", "EXPTIME =    -1.7976931348623157E+308", "FOCALLEN=    1e-400",
        "APERTURE=    0x1p99999", "OBJECT  = 'no closing quote", "OBJECT  = '\x1b[2J\x1b]0;x\x07'",
        "HISTORY = ''''''''''''''", "FILTER  = '" + "\x00" * 60 + "'", "END",
    ]
    if rng.random() < 0.3:
        return bytes(rng.randrange(256) for _ in range(80))
    return rng.choice(texts).encode("latin-1").ljust(80, b" ")[:80]


def plant_non_file(rng, machine, path, folder):
    """Puts something that is not a readable regular file at path; returns its kind."""
    kinds = ["fifo", "folder", "device", "dangling", "loop"] + (["unreadable"] if machine.can_drop
                                                               else [])
    kind = rng.choice(kinds)
    if kind == "fifo":
        os.mkfifo(path)
    elif kind == "folder":
        os.mkdir(path)
    elif kind == "device":
        os.symlink(rng.choice(["/dev/zero", "/dev/null", "/dev/urandom"]), path)
    elif kind == "dangling":
        os.symlink(os.path.join(folder, "nowhere", "x"), path)
    elif kind == "loop":
        os.symlink(path, path)
    elif kind == "unreadable":
        with open(path, "wb") as f:
            f.write(bytes(rng.choice([NATIVE, FITS3])))
        os.chmod(path, 0)
    return kind


# ---------------------------------------------------------------------------------------------
# Area: images


def image_case(machine, seeds, rng, case):
    data = os.path.join(case, "data")
    os.makedirs(data)
    name = rng.choice(["~frame", "frame.fit", "dark.def"])
    target = os.path.join(case, name)
    special = None
    if rng.random() < 0.2:
        special = plant_non_file(rng, machine, target, case)
        content, how = None, special
    else:
        content, how = mutate_image(rng, seeds)
        with open(target, "wb") as f:
            f.write(content)
    extension = rng.choice([".fit", ".tif", ".bmp", ""])
    out = os.path.join(case, "out" + extension)
    kept = None
    if rng.random() < 0.3:
        kept = b"an older result"
        with open(out, "wb") as f:
            f.write(kept)
    shape = rng.choice(["info", "convert", "process", "operand", "merge", "measure"])
    operand = False
    if shape == "info":
        arguments = ["info", target]
    elif shape == "convert":
        arguments = ["convert", target, out] + (["--unsigned"] if rng.random() < 0.3 else [])
    elif shape == "process":
        arguments = ["process", target, out, rng.choice(["log", "invert", "gaussian"]),
                     "median:2:7"]
    elif shape == "operand":
        operand = True
        arguments = ["process", seeds.path("~base"), out,
                     rng.choice(["dark", "flat", "average"]) + ":" + target]
    elif shape == "merge":
        arguments = ["process", seeds.path("~base"), out,
                     f"merge:{target}:100:100:{rng.randrange(512)}:{rng.randrange(290)}"
                     + rng.choice(["", ":avg"])]
    else:
        arguments = rng.choice([["histogram", target], ["centroid", target, "200", "100"],
                                ["history", target, "log"],
                                ["photometry", target, "--object", "200,100", "--comparison",
                                 "300,150"]])
    writes_out = arguments[0] in ("convert", "process")
    run = run_batch(machine, data, arguments, unprivileged=special == "unreadable")
    check_run(run)
    size = len(content) if content is not None else None
    accepted = OPERAND_SIZES if operand else set(OPEN_SIZES)
    if run.status == 0:
        # Beyond our own sizes, an image (not an operand) may be a standard FITS file that the
        # general FITS reader opens: ours with bytes added after its data still is one.
        foreign_fits = (not operand and content is not None
                        and bytes(content[:30]) == b"SIMPLE  =                    T")
        check(size in accepted or foreign_fits,
              f"a {how} file of {size} bytes was taken ({shape})")
    if special:
        check(run.status == 1, f"a {special} was not refused")
    if shape == "info" and run.status == 0:
        lines = run.out.split(b"\n")
        check(lines[0].decode() == OPEN_SIZES[size] if size in OPEN_SIZES
              else lines[0].startswith(b"FITS"), f"info says {lines[0]!r} for {size} bytes")
        try:
            text = run.out.decode("utf-8")
        except UnicodeDecodeError:
            raise Failed("info printed bytes that are not UTF-8")
        check(not any((ord(c) < 0x20 and c != "\n") or 0x7F <= ord(c) < 0xA0 for c in text),
              "info printed control characters")
    if writes_out:
        if run.status == 0:
            want = seeds.output_sizes[extension]
            check(os.path.getsize(out) == want, f"OUT has {os.path.getsize(out)} bytes, not {want}")
        elif kept is not None:
            check(read(out) == kept, "a failed command changed the existing OUT")
        else:
            check(not os.path.lexists(out), "a failed command wrote OUT")
    check(not leftovers(case), f"temporary files left: {leftovers(case)}")
    return f"{how} -> {' '.join(a.replace(case, '.') for a in arguments)}: exit {run.status}"


# ---------------------------------------------------------------------------------------------
# Area: settings


def mutate_settings(rng, base):
    how = rng.choice(["random", "cut", "flip", "backlash", "telescope", "letters", "subdir",
                      "subdir", "counter", "utoffset"])
    b = bytearray(base)
    if how == "random":
        b = bytearray(rng.randrange(256) for _ in range(rng.choice([SETTINGS_SIZE, 1258, 1300])))
    elif how == "cut":
        b = b[:rng.randrange(SETTINGS_SIZE + 1)]
    elif how == "flip":
        for _ in range(rng.randrange(1, 30)):
            b[rng.randrange(SETTINGS_SIZE)] = rng.randrange(256)
    elif how == "backlash":
        struct.pack_into("<h", b, rng.choice([21, 23]), rng.randrange(-32768, 32768))
    elif how == "telescope":
        b[26] = rng.randrange(256)
    elif how == "letters":
        b[32:36] = bytes(rng.randrange(256) for _ in range(4))
    elif how == "subdir":
        name = rng.choice([b"../../escaped", b"..\\..\\escaped", b"/tmp/escaped", b"..",
                           b"a/../../../../escaped", b"night\x1b[2J", b"\xff\xfe",
                           bytes(rng.randrange(1, 256) for _ in range(79))])
        b = bytearray(settings_with(bytes(b), subdir=name))
    elif how == "counter":
        struct.pack_into("<H", b, 0, rng.choice([0, 1, 65529, 65530, 65531, 65535]))
    elif how == "utoffset":
        struct.pack_into("<h", b, 2, rng.choice([-32768, -12, 12, 32767]))
    return bytes(b), how


def settings_case(machine, seeds, rng, case):
    data = os.path.join(case, "data")
    autosave = os.path.join(data, "autosave")
    os.makedirs(autosave)
    ini = os.path.join(autosave, "talvor.ini")
    special = None
    if rng.random() < 0.2:
        special = plant_non_file(rng, machine, ini, case)
        how = special
    else:
        content, how = mutate_settings(rng, seeds.settings)
        with open(ini, "wb") as f:
            f.write(content)
    planted = {}
    for n in (1, 2, 3):
        planted[os.path.join(autosave, f"IMG{n}.FIT")] = f"night {n}".encode()
    for path, text in planted.items():
        with open(path, "wb") as f:
            f.write(text)
    before = snapshot(ini)
    out = os.path.join(case, "out.fit")
    arguments = rng.choice([
        ["convert", seeds.path("~base"), out],
        ["--simulate", "capture", "--exposure", "1", "t", "--autosave", "-o", out],
        ["--simulate", "capture", "--exposure", "1", "q", "--count", "2", "--autosave", "-o", out],
        ["telescope", "info"],
        ["--simulate", "telescope", "pulse", "e", "50"],
    ])
    run = run_batch(machine, data, arguments, unprivileged=special == "unreadable")
    check_run(run)
    for path, text in planted.items():
        check(read(path) == text, f"{os.path.basename(path)} of an earlier night was replaced")
    after = snapshot(ini)
    check(after == before or (after[0] == "file" and after[1] == SETTINGS_SIZE),
          f"the settings file became {after[:2]}")
    stray = [f for f in files_outside(case, data) if f != out] + escaped_above(case)
    check(not stray, f"written outside the data folder: {stray}")
    if "-o" in arguments or arguments[0] == "convert":
        if run.status == 0:
            check(os.path.getsize(out) == FITS3, "OUT is not a whole FITS file")
    check(not leftovers(case), f"temporary files left: {leftovers(case)}")
    return f"{how} -> {' '.join(a.replace(case, '.') for a in arguments)}: exit {run.status}"


# ---------------------------------------------------------------------------------------------
# Area: ports


class FakeMount(threading.Thread):
    """The far end of a pseudo-terminal that misbehaves."""

    def __init__(self, behaviour, rng):
        super().__init__(daemon=True)
        self.behaviour, self.rng = behaviour, rng
        self.master, slave = pty.openpty()
        self.device = os.ttyname(slave)
        os.close(slave)
        self.stop = threading.Event()
        if behaviour == "stale":
            os.close(self.master)
            self.master = None

    def run(self):
        master, poller = self.master, select.poll()
        if master is None:
            return
        poller.register(master, select.POLLIN)
        opened = False
        while not self.stop.is_set():
            events = poller.poll(20)
            hung = any(e & select.POLLHUP for _, e in events)  # no one has the far end open
            opened = opened or not hung
            if self.behaviour == "hangup-at-open" and opened:
                break
            if not any(e & select.POLLIN for _, e in events):
                if hung:
                    time.sleep(0.01)
                continue
            try:
                os.read(master, 256)
            except OSError:
                continue
            if self.behaviour == "hangup-mid":
                break
            if self.behaviour == "garbage":
                os.write(master, bytes(self.rng.randrange(256) for _ in range(self.rng.randrange(1, 40))))
            elif self.behaviour == "drip":
                for byte in b"M42 Orion Nebula#"[:self.rng.randrange(1, 18)]:
                    if self.stop.wait(0.25):
                        break
                    os.write(master, bytes([byte]))
            # stall: reads and never answers
        os.close(master)
        self.master = None

    def finish(self):
        self.stop.set()
        self.join(5)
        if self.master is not None:
            os.close(self.master)


UNOPENABLE = {"missing", "stale", "folder", "hangup-at-open"}
NO_ANSWER = UNOPENABLE | {"devnull", "regular", "fifo", "stall", "hangup-mid"}


def port_case(machine, seeds, rng, case):
    data = os.path.join(case, "data")
    os.makedirs(os.path.join(data, "autosave"))
    link_type = rng.choice(["l", "b"])
    port = rng.choice([1, 2])
    with open(os.path.join(data, "autosave", "talvor.ini"), "wb") as f:
        f.write(settings_with(seeds.settings, telescope=link_type, port=port))
    behaviour = rng.choice(["missing", "stale", "folder", "devnull", "regular", "fifo", "stall",
                            "hangup-at-open", "hangup-mid", "garbage", "drip"])
    link = os.path.join(data, f"com{port}")
    mount = None
    if behaviour == "missing":
        os.symlink("/dev/ttyTalvorMissing", link)
    elif behaviour == "folder":
        os.mkdir(os.path.join(case, "folder"))
        os.symlink(os.path.join(case, "folder"), link)
    elif behaviour == "devnull":
        os.symlink("/dev/null", link)
    elif behaviour == "regular":
        with open(os.path.join(case, "plain"), "wb") as f:
            f.write(b"")
        os.symlink(os.path.join(case, "plain"), link)
    elif behaviour == "fifo":
        os.mkfifo(os.path.join(case, "fifo"))
        os.symlink(os.path.join(case, "fifo"), link)
    else:
        mount = FakeMount(behaviour, rng)
        os.symlink(mount.device, link)
        mount.start()
    operation = rng.choice([["info"], ["goto", "messier", str(rng.randrange(1, 111))],
                            ["goto", "planet", "Mars"], ["goto", "radec", "5", "35", "-5", "23"],
                            ["pulse", rng.choice("nsew"), str(rng.choice([0, 50, 500, 2000]))],
                            ["reset-box"]])
    try:
        run = run_batch(machine, data, ["telescope"] + operation, timeout=PORT_TIMEOUT)
    finally:
        if mount:
            mount.finish()
    check_run(run)
    if run.status == 1:
        check(run.err.strip() or run.out.strip(), "failed without a word")
    link_name = "LX200" if link_type == "l" else "control box"
    if behaviour in UNOPENABLE:
        check(run.status == 1,
              f"{' '.join(operation)} ({link_name}) exits 0 with the port {behaviour}")
    if behaviour in NO_ANSWER and operation[0] in ("info", "goto"):
        check(run.status == 1,
              f"{' '.join(operation)} ({link_name}) exits 0 with no answer ({behaviour})")
    return (f"{behaviour} on com{port} ({link_name}) -> {' '.join(operation)}: "
            f"exit {run.status} in {run.seconds:.1f} s")


# ---------------------------------------------------------------------------------------------
# Area: writes


def write_case(machine, seeds, rng, case):
    data = os.path.join(case, "data")
    os.makedirs(data)
    source = seeds.path("~base")
    extension = rng.choice([".fit", ""])
    out = os.path.join(case, "out" + extension)
    old = b"an older result that must not be half overwritten"
    kind = rng.choice(["kept-mode", "hard-link", "folder", "no-folder", "read-only", "dangling",
                       "link-out", "stale", "full-disk", "kill", "autosave"])
    want = seeds.output_sizes[extension]
    expect, prefix, unprivileged = 0, (), False
    outside = os.path.join(case, "outside")
    with open(outside, "wb") as f:
        f.write(b"outside")
    if kind in ("kept-mode", "hard-link", "stale", "kill", "read-only"):
        with open(out, "wb") as f:
            f.write(old)
    if kind == "kept-mode":
        os.chmod(out, 0o640)
        if machine.root:
            os.chown(out, 1234, 5678)
    elif kind == "hard-link":
        os.link(out, os.path.join(case, "linked"))
    elif kind == "folder":
        os.mkdir(out)
        expect = 1
    elif kind == "no-folder":
        out = os.path.join(case, "missing", "out" + extension)
        expect = 1
    elif kind == "read-only":
        if not machine.can_drop:
            return None
        locked = os.path.join(case, "locked")
        os.mkdir(locked)
        shutil.move(out, os.path.join(locked, "out" + extension))
        out = os.path.join(locked, "out" + extension)
        os.chmod(locked, 0o555)
        unprivileged, expect = True, 1
    elif kind == "dangling":
        os.symlink(os.path.join(case, "nowhere", "x"), out)
    elif kind == "link-out":
        os.symlink(outside, out)
    elif kind == "stale":
        letters = "".join(rng.choice("abcXYZ019") for _ in range(8))
        with open(out + ".tmp-" + letters, "wb") as f:
            f.write(b"left by a killed write")
    elif kind == "full-disk":
        if not machine.can_mount:
            return None
        disk = os.path.join(case, "disk")
        os.mkdir(disk)
        out = os.path.join(disk, "out" + extension)
        # The disk lives only in the private mount namespace: OUT is checked inside it.
        script = (f"mount -t tmpfs -o size={rng.choice([16, 64, 200])}k tmpfs {disk} || exit 90; "
                  f"printf '%s' '{old.decode()}' > {out}; \"$0\" \"$@\"; status=$?; "
                  f"[ \"$(cat {out})\" = '{old.decode()}' ] || exit 97; "
                  f"ls {disk} | grep -q 'tmp-' && exit 98; exit $status")
        prefix, expect = ("unshare", "-m", "sh", "-c", script), 1
    elif kind == "autosave":
        return autosave_case(machine, seeds, rng, case, data)
    if kind == "kill":
        return kill_case(machine, seeds, rng, case, data, source, out, old, want)
    before = snapshot(out)
    run = run_batch(machine, data, ["convert", source, out], unprivileged=unprivileged,
                    prefix=prefix)
    check(run.status != 97, "a full disk damaged the old OUT")
    check(run.status != 98, "a full disk left a temporary file")
    check_run(run)
    check(run.status == expect, f"{kind}: exit {run.status}, expected {expect}")
    if run.status == 0:
        check(os.path.isfile(out) and not os.path.islink(out) and os.path.getsize(out) == want,
              f"{kind}: OUT is not a whole file")
    elif kind != "full-disk":
        check(snapshot(out) == before, f"{kind}: a failed write changed OUT")
    if kind == "kept-mode":
        status = os.stat(out)
        check(stat.S_IMODE(status.st_mode) == 0o640, f"mode became {oct(status.st_mode)}")
        if machine.root:
            check((status.st_uid, status.st_gid) == (1234, 5678), "the owner changed")
    if kind == "hard-link":
        check(read(os.path.join(case, "linked")) == read(out), "the hard link was broken")
    check(read(outside) == b"outside", "a file outside was written through a link")
    check(not os.path.exists(os.path.join(case, "nowhere")), "a dangling link was followed")
    if kind != "full-disk":
        check(not leftovers(case), f"temporary files left: {leftovers(case)}")
    return f"{kind}{extension}: exit {run.status}"


def kill_case(machine, seeds, rng, case, data, source, out, old, want):
    command = [machine.batch, "--data-dir", data, "convert", source, out]
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    time.sleep(rng.uniform(0, 0.03))
    process.kill()
    process.wait()
    content = read(out)
    check(content == old or len(content) == want, f"a killed write left {len(content)} bytes")
    run = run_batch(machine, data, ["convert", source, out])
    check_run(run, allowed=(0,))
    check(not leftovers(case), f"the next write left temporary files: {leftovers(case)}")
    return f"kill after {process.returncode}: next write swept"


def autosave_case(machine, seeds, rng, case, data):
    autosave = os.path.join(data, "autosave")
    os.makedirs(autosave)
    planted = {}
    for n in rng.sample(range(1, 8), rng.randrange(1, 6)):
        name = rng.choice([f"IMG{n}.FIT", f"img{n}.fit"])
        path = os.path.join(autosave, name)
        if rng.random() < 0.2:
            os.symlink(os.path.join(case, "outside"), path)
        else:
            with open(path, "wb") as f:
                f.write(f"night {n}".encode())
        planted[path] = snapshot(path)
    if rng.random() < 0.5:  # a counter that lags the folder
        with open(os.path.join(autosave, "talvor.ini"), "wb") as f:
            f.write(settings_with(seeds.settings, counter=rng.randrange(0, 4)))
    out = os.path.join(case, "out.fit")
    run = run_batch(machine, data, ["--simulate", "capture", "--exposure", "1", "q", "--count",
                                    str(rng.randrange(1, 3)), "--autosave", "-o", out])
    check_run(run, allowed=(0,))
    for path, before in planted.items():
        check(snapshot(path) == before, f"{os.path.basename(path)} of an earlier night changed")
    frames = [n for n in os.listdir(autosave) if n.upper().startswith("IMG")]
    check(len(frames) > len(planted), "auto-save made no file")
    check(read(os.path.join(case, "outside")) == b"outside", "auto-save wrote through a link")
    return f"autosave past {len(planted)} planted names: exit {run.status}"


# ---------------------------------------------------------------------------------------------
