"""talvor-mountsim against INDI's LX200 drivers, a client we did not write.

Each driver binary runs directly with INDI XML on its standard input and output (never through
indiserver, which listens on every network interface) and talks to talvor-mountsim on its
pseudo-terminal: connect, read the position, go to two objects and wait for each slew to end,
sync, guide in four directions (where the driver can guide), abort a slew. Where the mount points is asked of talvor-mountsim
itself ("status" on its standard input); the driver's reported RA/Dec must agree with it.

usage: check_indi_lx200.py TALVOR-MOUNTSIM [DRIVER ...]
"""

import math
import os
import queue
import re
import select
import shutil
import subprocess
import sys
import tempfile
import threading
import time
import xml.etree.ElementTree as ElementTree

# The mount's readout gives RA to the second of time (15 arc-seconds times cos Dec) and Dec to
# the arc-second: agreement is judged within half a step of each, and a little.
RA_SLACK_SECONDS = 0.6
DEC_SLACK_ARCSEC = 1.5
# Guide pulses and the guide rate: 3 pixels a second of 2.5 arc-seconds each.
PULSE_MS = 2000
GUIDE_ARCSEC_PER_SECOND = 7.5

failures = []


def check(condition, what):
    print(('  ok   ' if condition else '  FAIL ') + what, flush=True)
    if not condition:
        failures.append(what)
    return condition


class Mountsim:
    """talvor-mountsim with its event lines collected and its status asked on standard input."""

    def __init__(self, binary):
        self.process = subprocess.Popen(
            [binary, '--goto-rate', '8', '--backlash', '0', '0'], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
            stderr=subprocess.STDOUT, text=True, bufsize=1)
        self.device = self.process.stdout.readline().strip()
        self.lines = queue.Queue()
        self.events = []
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        for line in self.process.stdout:
            self.lines.put(line.rstrip('\n'))

    def _drain(self, until=None, timeout=5.0):
        end = time.time() + timeout
        while time.time() < end:
            try:
                line = self.lines.get(timeout=max(0.01, end - time.time()))
            except queue.Empty:
                return None
            if 'status:' in line:
                if until == 'status':
                    return line
                continue
            self.events.append(line)
            if until and re.search(until, line):
                return line
        return None

    def wait_for_event(self, pattern, timeout=30.0):
        for line in self.events:
            if re.search(pattern, line):
                self.events.remove(line)
                return line
        found = self._drain(pattern, timeout)
        if found:
            self.events.remove(found)
        return found

    def status(self):
        self.process.stdin.write('status\n')
        self.process.stdin.flush()
        line = self._drain('status')
        match = re.search(r'\(([-\d.]+) h ([-\d.]+) deg\).*, (slewing|still),', line or '')
        if not match:
            raise RuntimeError('talvor-mountsim gave no status: %r' % line)
        return float(match.group(1)), float(match.group(2)), match.group(3) == 'slewing'

    def stop(self):
        try:
            self.process.stdin.write('quit\n')
            self.process.stdin.flush()
            self.process.wait(timeout=5)
        except (OSError, subprocess.TimeoutExpired):
            self.process.kill()
            self.process.wait()


class Driver:
    """An INDI driver on pipes: its properties as it last told them."""

    def __init__(self, binary, home):
        environment = dict(os.environ, HOME=home)
        self.process = subprocess.Popen([binary], stdin=subprocess.PIPE, stdout=subprocess.PIPE,
                                        stderr=subprocess.DEVNULL, env=environment)
        self.properties = {}
        self.messages = []
        self.device = None
        self.changed = threading.Condition()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        pending = ''
        element = re.compile(r'<(def|set|del)(\w*?)Vector\b[\s\S]*?</\1\2Vector>|'
                             r'<(?:message|delProperty)\b[^>]*/>')
        while True:
            ready, _, _ = select.select([self.process.stdout], [], [], 0.2)
            if not ready:
                if self.process.poll() is not None:
                    return
                continue
            chunk = os.read(self.process.stdout.fileno(), 65536)
            if not chunk:
                return
            pending += chunk.decode('utf-8', 'replace')
            while True:
                match = element.search(pending)
                if not match:
                    break
                pending = pending[match.end():]
                self._take(ElementTree.fromstring(match.group(0)))

    def _take(self, node):
        with self.changed:
            if node.tag == 'message':
                self.messages.append(node.get('message', ''))
            elif node.tag.startswith(('def', 'set')):
                self.device = self.device or node.get('device')
                entry = self.properties.setdefault(node.get('name'), {'values': {}})
                entry['state'] = node.get('state', entry.get('state'))
                for member in node:
                    entry['values'][member.get('name')] = (member.text or '').strip()
                entry['updates'] = entry.get('updates', 0) + 1
            self.changed.notify_all()

    def wait(self, predicate, timeout):
        with self.changed:
            return self.changed.wait_for(predicate, timeout)

    def defined(self, name):
        return name in self.properties

    def state(self, name):
        return self.properties.get(name, {}).get('state')

    def value(self, name, member):
        return self.properties[name]['values'][member]

    def updates(self, name):
        return self.properties.get(name, {}).get('updates', 0)

    def send(self, kind, name, members):
        parts = ''.join('<one%s name="%s">%s</one%s>' % (kind, key, value, kind)
                        for key, value in members.items())
        text = '<new%sVector device="%s" name="%s">%s</new%sVector>\n' % (
            kind, self.device, name, parts, kind)
        self.process.stdin.write(text.encode())
        self.process.stdin.flush()

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


def sexagesimal(value):
    sign = '-' if value < 0 else '+'
    seconds = round(abs(value) * 3600)
    return '%s%02d:%02d:%02d' % (sign, seconds // 3600, seconds // 60 % 60, seconds % 60)


def driver_position(driver):
    return (float(driver.value('EQUATORIAL_EOD_COORD', 'RA')),
            float(driver.value('EQUATORIAL_EOD_COORD', 'DEC')))


def fresh_position(driver):
    """The position after two more polls of the driver, so that it is not an old one."""
    seen = driver.updates('EQUATORIAL_EOD_COORD')
    driver.wait(lambda: driver.updates('EQUATORIAL_EOD_COORD') >= seen + 2, 10)
    return driver_position(driver)


def agree(driver, mount, what):
    ra, dec = fresh_position(driver)
    mount_ra, mount_dec, _ = mount.status()
    ra_error = abs((ra - mount_ra + 12) % 24 - 12) * 3600
    dec_error = abs(dec - mount_dec) * 3600
    print('    %s: driver RA %.5f h Dec %.5f deg, mount RA %.5f h Dec %.5f deg '
          '(%.2f s of RA, %.2f arc-seconds of Dec apart)'
          % (what, ra, dec, mount_ra, mount_dec, ra_error, dec_error))
    check(ra_error <= RA_SLACK_SECONDS and dec_error <= DEC_SLACK_ARCSEC,
          '%s: the driver reports where talvor-mountsim points' % what)
    return mount_ra, mount_dec


def go_to(driver, mount, name, ra, dec, how='TRACK'):
    driver.send('Switch', 'ON_COORD_SET', {how: 'On'})
    driver.send('Number', 'EQUATORIAL_EOD_COORD', {'RA': '%.6f' % ra, 'DEC': '%.6f' % dec})
    started = mount.wait_for_event(r'slew to .* started')
    check(started is not None, 'go-to %s: talvor-mountsim logs the slew starting' % name)
    driver.wait(lambda: driver.state('EQUATORIAL_EOD_COORD') == 'Busy', 5)
    ended = mount.wait_for_event(r'slew ended at', 40)
    check(ended is not None, 'go-to %s: talvor-mountsim logs the slew ending' % name)
    settled = driver.wait(lambda: driver.state('EQUATORIAL_EOD_COORD') == 'Ok', 20)
    check(settled, 'go-to %s: the driver sees the slew end' % name)
    mount_ra, mount_dec = agree(driver, mount, 'after the go-to to ' + name)
    check(abs((mount_ra - ra + 12) % 24 - 12) * 3600 < 0.5 and abs(mount_dec - dec) * 3600 < 0.5,
          'go-to %s: the mount stands on the target to the arc-second' % name)


def guide(driver, mount, direction):
    before_ra, before_dec, _ = mount.status()
    axis = 'TELESCOPE_TIMED_GUIDE_NS' if direction in 'NS' else 'TELESCOPE_TIMED_GUIDE_WE'
    driver.send('Number', axis, {'TIMED_GUIDE_' + direction: str(PULSE_MS)})
    logged = mount.wait_for_event(r'guide pulse %s %d ms' % (direction.lower(), PULSE_MS))
    check(logged is not None, 'guide %s: talvor-mountsim logs the pulse' % direction)
    time.sleep(PULSE_MS / 1000 + 0.5)
    after_ra, after_dec = agree(driver, mount, 'after guiding ' + direction)
    moved_north = (after_dec - before_dec) * 3600
    moved_east = ((after_ra - before_ra + 12) % 24 - 12) * 15 * 3600 * math.cos(
        math.radians(after_dec))
    expected = GUIDE_ARCSEC_PER_SECOND * PULSE_MS / 1000
    wanted = {'N': (0, expected), 'S': (0, -expected), 'E': (expected, 0),
              'W': (-expected, 0)}[direction]
    print('    guided %s: moved %.2f arc-seconds east, %.2f north' % (direction, moved_east,
                                                                       moved_north))
    check(abs(moved_east - wanted[0]) <= 0.5 and abs(moved_north - wanted[1]) <= 0.5,
          'guide %s: the mount moved %.1f arc-seconds that way' % (direction, expected))


def run(binary, mountsim_binary):
    name = os.path.basename(binary)
    print('== %s' % name, flush=True)
    home = tempfile.mkdtemp(prefix='talvor-indi-')
    mount = Mountsim(mountsim_binary)
    driver = Driver(binary, home)
    try:
        driver.process.stdin.write(b'<getProperties version="1.7"/>\n')
        driver.process.stdin.flush()
        if not check(driver.wait(lambda: driver.defined('DEVICE_PORT'), 10),
                     'the driver offers its port setting'):
            return
        if driver.defined('POLLING_PERIOD'):
            driver.send('Number', 'POLLING_PERIOD', {'PERIOD_MS': '250'})
        if driver.defined('DEVICE_AUTO_SEARCH'):
            driver.send('Switch', 'DEVICE_AUTO_SEARCH', {'INDI_DISABLED': 'On'})
        driver.send('Text', 'DEVICE_PORT', {'PORT': mount.device})
        driver.send('Switch', 'CONNECTION', {'CONNECT': 'On'})
        connected = driver.wait(
            lambda: driver.state('CONNECTION') == 'Ok' and driver.defined('EQUATORIAL_EOD_COORD'),
            20)
        if not check(connected, 'connects to talvor-mountsim on %s' % mount.device):
            print('    driver said: ' + ' | '.join(driver.messages[-5:]))
            return
        agree(driver, mount, 'at start')

        go_to(driver, mount, 'the Pleiades', 3 + 47 / 60 + 24 / 3600, 24 + 7 / 60 + 53 / 3600)
        go_to(driver, mount, 'M31', 42 / 60 + 44 / 3600, 41 + 16 / 60 + 9 / 3600)

        ra, dec, _ = mount.status()
        sync_ra, sync_dec = ra + 0.02, dec - 0.1
        driver.send('Switch', 'ON_COORD_SET', {'SYNC': 'On'})
        driver.send('Number', 'EQUATORIAL_EOD_COORD',
                    {'RA': '%.6f' % sync_ra, 'DEC': '%.6f' % sync_dec})
        check(mount.wait_for_event(r'synced to') is not None, 'sync: talvor-mountsim logs it')
        mount_ra, mount_dec = agree(driver, mount, 'after the sync')
        check(abs(mount_ra - sync_ra) * 3600 < 1 and abs(mount_dec - sync_dec) * 3600 < 1,
              'sync: the mount now reports the coordinates synced to (%s)' % sexagesimal(sync_dec))

        if driver.defined('TELESCOPE_TIMED_GUIDE_NS'):
            if driver.defined('Use Pulse Cmd'):
                driver.send('Switch', 'Use Pulse Cmd', {'On': 'On'})
            for direction in 'NSEW':
                guide(driver, mount, direction)
        else:
            print('    %s offers neither timed guiding nor moves: no guiding to try' % name)

        driver.send('Switch', 'ON_COORD_SET', {'TRACK': 'On'})
        start_ra, start_dec, _ = mount.status()
        driver.send('Number', 'EQUATORIAL_EOD_COORD', {'RA': '23.5', 'DEC': '60'})
        check(mount.wait_for_event(r'slew to .* started') is not None,
              'abort: a long go-to starts')
        time.sleep(1.5)
        driver.send('Switch', 'TELESCOPE_ABORT_MOTION', {'ABORT': 'On'})
        check(mount.wait_for_event(r'slew stopped at') is not None,
              'abort: talvor-mountsim logs the slew stopped')
        time.sleep(0.5)
        ra, dec, slewing = mount.status()
        check(not slewing and abs(dec - start_dec) > 1 and abs(dec - 60) > 1,
              'abort: the mount stands still part of the way')
        agree(driver, mount, 'after the abort')
        unknown = [line for line in mount.events if 'ignored unknown command' in line]
        print('    commands talvor-mountsim did not know: %s' % (
            ', '.join(sorted(set(line.split()[-1] for line in unknown))) or 'none'))
    finally:
        driver.stop()
        mount.stop()
        shutil.rmtree(home, ignore_errors=True)


def main():
    mountsim = sys.argv[1]
    drivers = sys.argv[2:] or ['indi_lx200generic', 'indi_lx200basic']
    for name in drivers:
        binary = shutil.which(name)
        if not check(binary is not None, '%s is installed (Debian indi-bin)' % name):
            continue
        run(binary, mountsim)
    print('%d failed' % len(failures))
    return 1 if failures else 0


if __name__ == '__main__':
    sys.exit(main())
