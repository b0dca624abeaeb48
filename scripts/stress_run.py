"""The stress run's side of talvor-batch: running it, the rules every run keeps, and the valid
files the mutations start from. Used by scripts/stress."""

import os
import signal
import stat
import struct
import subprocess
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
NATIVE, NATIVE256, FITS1, FITS2, FITS3 = 295800, 261120, 267840, 300160, 303040
OPEN_SIZES = {NATIVE: "native 290 rows", NATIVE256: "native 256 rows", FITS1: "FITS layout 1",
              FITS2: "FITS layout 2", FITS3: "FITS layout 3"}
OPERAND_SIZES = {NATIVE, NATIVE256, FITS3}
SANITIZER_WORDS = (b"AddressSanitizer", b"LeakSanitizer", b"runtime error:",
                   b"UndefinedBehaviorSanitizer")
FILE_TIMEOUT, PORT_TIMEOUT = 30, 60
SETTINGS_SIZE = 1259


class Failed(Exception):
    pass


def check(condition, reason):
    if not condition:
        raise Failed(reason)


# ---------------------------------------------------------------------------------------------
# Running the batch tool


class Machine:
    """What this machine lets the cases do."""

    def __init__(self, batch):
        self.batch = batch
        self.root = os.geteuid() == 0
        self.unprivileged = []
        if self.root:
            probe = ["setpriv", "--bounding-set=-dac_override,-dac_read_search", "true"]
            if subprocess.run(probe, capture_output=True).returncode == 0:
                self.unprivileged = probe[:-1]
        self.can_drop = not self.root or bool(self.unprivileged)
        probe = ["unshare", "-m", "sh", "-c",
                 "d=$(mktemp -d) && mount -t tmpfs -o size=64k tmpfs $d && umount $d; rmdir $d"]
        self.can_mount = subprocess.run(probe, capture_output=True).returncode == 0


class Run:
    def __init__(self, arguments, status, out, err, seconds):
        self.arguments = arguments
        self.status, self.out, self.err, self.seconds = status, out, err, seconds


def run_batch(machine, data, arguments, timeout=FILE_TIMEOUT, unprivileged=False, prefix=()):
    command = list(prefix)
    if unprivileged:
        command += machine.unprivileged
    command += [machine.batch, "--data-dir", data] + arguments
    started = time.monotonic()
    process = subprocess.Popen(command, stdout=subprocess.PIPE, stderr=subprocess.PIPE,
                               start_new_session=True)
    try:
        out, err = process.communicate(timeout=timeout)
    except subprocess.TimeoutExpired:
        os.killpg(process.pid, signal.SIGKILL)
        process.communicate()
        raise Failed(f"no end after {timeout} s (hangs): {' '.join(arguments)}")
    return Run(arguments, process.returncode, out, err, time.monotonic() - started)


def check_run(run, allowed=(0, 1)):
    """The rules every run keeps. The telescope command reports a mount that does not answer
    on standard output, as part of its printed status; every other failure needs a message on
    standard error."""
    command = " ".join(os.path.basename(a) if "/" in a else a for a in run.arguments)
    for word in SANITIZER_WORDS:
        check(word not in run.err,
              f"{command}: sanitizer report: " + run.err.decode(errors="replace")[:400])
    check(run.status >= 0, f"{command}: ended by signal {-run.status}")
    check(run.status in allowed, f"{command}: exit status {run.status}, expected one of "
          f"{allowed}; stderr: {run.err.decode(errors='replace')[:200]!r}")
    if run.status == 1:
        reported = run.err.strip() or ("telescope" in run.arguments and run.out.strip())
        check(reported, f"{command}: failed without a message")


def leftovers(folder):
    found = []
    for where, dirs, files in os.walk(folder):
        found += [os.path.join(where, n) for n in files + dirs if ".tmp-" in n]
    return found


def read(path):
    with open(path, "rb") as f:
        return f.read()


def snapshot(path):
    """What a kept file is: kind, and bytes for a regular file."""
    try:
        status = os.lstat(path)
    except FileNotFoundError:
        return ("missing",)
    if stat.S_ISLNK(status.st_mode):
        return ("link", os.readlink(path))
    if stat.S_ISREG(status.st_mode):
        return ("file", status.st_size, read(path) if status.st_mode & 0o444 else None,
                status.st_ino)
    return ("other", stat.S_IFMT(status.st_mode))


def escaped_above(case):
    """Folders named escaped (the name the mutated sub-directories use) above a case."""
    found, folder = [], os.path.dirname(case)
    for _ in range(3):
        found += [os.path.join(folder, "escaped")] if os.path.exists(
            os.path.join(folder, "escaped")) else []
        folder = os.path.dirname(folder)
    return found + (["/tmp/escaped"] if os.path.exists("/tmp/escaped") else [])


def files_outside(case, data):
    """Files in the case folder that are not in the data folder and not expected there."""
    found = []
    for where, dirs, files in os.walk(case):
        if os.path.abspath(where).startswith(os.path.abspath(data)):
            continue
        found += [os.path.join(where, n) for n in files]
    return found


# ---------------------------------------------------------------------------------------------
# Files to start from


class Seeds:
    """Valid files of every kind, made by the batch tool itself, and a settings file."""

    def __init__(self, machine, folder, rng):
        self.folder = folder
        data = os.path.join(folder, "seed-data")
        os.makedirs(data)
        native = bytearray(NATIVE)
        for i in range(0, NATIVE, 2):
            struct.pack_into("<H", native, i, 1000 + rng.randrange(200))
        for _ in range(6):  # a few stars
            x, y, peak = rng.randrange(20, 490), rng.randrange(20, 270), rng.randrange(3000, 60000)
            for dy in range(-3, 4):
                for dx in range(-3, 4):
                    value = int(peak / (1 + dx * dx + dy * dy))
                    struct.pack_into("<H", native, ((y + dy) * 510 + x + dx) * 2, value)
        self.native = bytes(native)
        self.native256 = self.native[:NATIVE256]
        self.write("~base", self.native)
        fits_path = os.path.join(folder, "base.fit")
        made = run_batch(machine, data, ["convert", self.path("~base"), fits_path])
        check(made.status == 0, "the batch tool cannot convert a native file: " + repr(made.err))
        self.fits3 = read(fits_path)
        self.fits2 = self.fits3[:2880] + self.fits3[5760:5760 + 296960] + b" " * 320
        self.fits1 = self.fits3[:2880] + self.fits3[5760:5760 + 262144] + b" " * 2816
        made = run_batch(machine, data, ["telescope", "info"])  # writes the default settings
        self.settings = read(os.path.join(data, "autosave", "talvor.ini"))
        check(len(self.settings) == SETTINGS_SIZE, "no default settings file")
        sizes = {}
        for extension in (".tif", ".bmp"):
            out = os.path.join(folder, "size" + extension)
            check(run_batch(machine, data, ["convert", self.path("~base"), out]).status == 0,
                  "convert " + extension)
            sizes[extension] = os.path.getsize(out)
        self.output_sizes = {".fit": FITS3, ".tif": sizes[".tif"], ".bmp": sizes[".bmp"],
                             "": NATIVE}

    def path(self, name):
        return os.path.join(self.folder, name)

    def write(self, name, content):
        with open(self.path(name), "wb") as f:
            f.write(content)

    def images(self):
        return [self.native, self.native256, self.fits1, self.fits2, self.fits3]


def settings_with(base, **fields):
    """The settings bytes with fields changed: telescope type, port, sub-directory, ..."""
    b = bytearray(base)
    if "telescope" in fields:
        b[26] = ord(fields["telescope"])
    if "port" in fields:
        struct.pack_into("<h", b, 11, fields["port"])
    if "subdir" in fields:
        name = fields["subdir"][:79]
        b[1177:1257] = (name + b"\0").ljust(80, b" ")
    if "counter" in fields:
        struct.pack_into("<H", b, 0, fields["counter"])
    return bytes(b)
