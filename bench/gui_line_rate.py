#!/usr/bin/env python3
"""tarven, CuteCom and tio reading a serial device at its pace, in one run.

Each program reads one end of its own socat pty pair; the script feeds the other end with
64-byte text lines, the bytes of each millisecond written at once (11,500 bytes/s is about 12
bytes a write, as a device at 115200 baud sends; 92,000 about 92). For each run, rate and
program in turn: the program's CPU (utime+stime of all its threads, /proc/PID/stat) from the
first write until its tty holds nothing unread, and the X server's over the same span, since a
window hands its drawing to the server. tarven and CuteCom are real windows of the same size,
side by side on a private Xvfb; tio writes to a pipe. CuteCom asks for the modem lines on open
and closes a pty that has none, so it runs with the pty_modem_lines shim preloaded.

Needs Xvfb, socat, xdotool and ImageMagick's import; cutecom and tio are left out when they are
not installed. Screenshots and the programs' logs go to --out.
"""

import argparse
import fcntl
import hashlib
import os
import re
import select
import shutil
import signal
import struct
import subprocess
import sys
import tempfile
import termios
import threading
import time
import types

REPO = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
# The waits and checks of the end-to-end test, which drives the same program under X; no
# bytecode left in the source tree.
sys.dont_write_bytecode = True
sys.path.insert(0, os.path.join(REPO, "tests", "e2e"))
from tarven_e2e import Failed, holds_open, wait_for, WAIT_S  # noqa: E402

DRAIN_S = 30.0  # a program whose tty still holds bytes after this is reported behind
SETTLE_S = 1.0  # lets the previous program's last frames reach the server before a count
SCREEN = "2048x760x24"
WINDOW = (1000, 700)
LINE = 64
# The lines bench/monitor_serial_flood.cpp writes: printable, each ending in LF.
PATTERN = bytes(10 if i % LINE == LINE - 1 else 33 + i % 90 for i in range(4096 + LINE))
# CuteCom 0.51's Open button, the first control of the row under its menu bar.
CUTECOM_OPEN = (50, 43)
TICKS = os.sysconf("SC_CLK_TCK")
# What tarven's CPU may be at most, against the other program's in the same run, by rate.
GOALS = {("tio", 11500): 2.0, ("cutecom", 92000): 0.7}


def cpu_seconds(pid):
    """utime + stime of every thread the process has run, the dead ones included."""
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / TICKS


def unread(fd):
    return struct.unpack("i", fcntl.ioctl(fd, termios.FIONREAD, b"\0\0\0\0"))[0]


def feed(fd, rate, seconds):
    """Writes rate bytes a second for seconds, each millisecond's bytes in one write; a tty
    that is full takes them at a later tick. Returns the bytes written."""
    start = time.monotonic()
    written = 0
    while True:
        now = time.monotonic()
        if now - start >= seconds:
            return written
        due = min(int((now - start) * rate) - written, 4096)
        if due > 0:
            offset = written % LINE
            try:
                written += os.write(fd, PATTERN[offset:offset + due])
            except BlockingIOError:
                pass
        time.sleep(0.001)


def write_all(fd, data):
    deadline = time.monotonic() + WAIT_S
    while data:
        if not select.select([], [fd], [], max(0, deadline - time.monotonic()))[1]:
            raise Failed("the pty took no more bytes")
        try:
            data = data[os.write(fd, data):]
        except BlockingIOError:
            pass


def drain(fd):
    """Waits until the tty has held nothing unread for three looks in a row; returns the
    bytes still unread when DRAIN_S ran out."""
    deadline = time.monotonic() + DRAIN_S
    empty = 0
    while time.monotonic() < deadline:
        empty = empty + 1 if unread(fd) == 0 else 0
        if empty == 3:
            return 0
        time.sleep(0.1)
    return unread(fd)


def stop(process):
    """Ends the process's group: each program was started in a session of its own."""
    for sig in (signal.SIGTERM, signal.SIGKILL):
        if process.poll() is None:
            try:
                os.killpg(process.pid, sig)
                process.wait(timeout=5)
            except (ProcessLookupError, subprocess.TimeoutExpired):
                pass


class Bench:
    def __init__(self, args):
        self.args = args
        self.tmp = tempfile.mkdtemp(prefix="gui-line-rate-")
        self.processes, self.fds, self.locks, self.threads = [], [], [], []
        runtime = os.path.join(self.tmp, "runtime")
        os.makedirs(runtime, mode=0o700)
        self.env = dict(os.environ, HOME=self.tmp, XDG_CONFIG_HOME=os.path.join(self.tmp, "config"),
                        XDG_RUNTIME_DIR=runtime, TMPDIR=self.tmp, LANG="C.UTF-8",
                        QT_QPA_PLATFORM="xcb")
        for name in ("WAYLAND_DISPLAY", "LD_PRELOAD", "SESSION_MANAGER"):
            self.env.pop(name, None)
        self.xvfb = None

    def close(self):
        for process in reversed(self.processes):
            stop(process)
        for thread in self.threads:
            thread.join(timeout=5)
        for fd in self.fds:
            os.close(fd)
        # A port lock left by a program that was ended: removed when it names that program.
        for path, pid in self.locks:
            try:
                with open(path) as lock:
                    if lock.readline().strip() == str(pid):
                        os.unlink(path)
            except OSError:
                pass
        shutil.rmtree(self.tmp, ignore_errors=True)

    def start(self, command, log, env=None, **options):
        with open(os.path.join(self.args.out, log), "wb") as out:
            options.setdefault("stdout", out)
            process = subprocess.Popen(command, env=env or self.env, stdin=options.pop(
                "stdin", subprocess.DEVNULL), stderr=out, start_new_session=True, **options)
        self.processes.append(process)
        return process

    def run(self, *command):
        result = subprocess.run(command, env=self.env, capture_output=True, text=True,
                                timeout=WAIT_S)
        if result.returncode != 0:
            raise Failed("%s: %s" % (" ".join(command), result.stderr.strip()))
        return result.stdout.strip()

    def start_x(self):
        read, write = os.pipe()
        try:
            self.xvfb = self.start(["Xvfb", "-displayfd", str(write), "-screen", "0", SCREEN,
                                    "-nolisten", "tcp", "-noreset"], "xvfb.log", pass_fds=(write,))
            os.close(write)
            write = -1
            number = b""
            deadline = time.monotonic() + WAIT_S
            while not number.endswith(b"\n"):
                if not select.select([read], [], [], max(0, deadline - time.monotonic()))[0]:
                    raise Failed("Xvfb did not start (see xvfb.log)")
                chunk = os.read(read, 16)
                if not chunk:
                    raise Failed("Xvfb ended at start (see xvfb.log)")
                number += chunk
        finally:
            os.close(read)
            if write >= 0:
                os.close(write)
        self.env["DISPLAY"] = ":" + number.decode().strip()

    def pty_pair(self, name):
        log = "socat-%s.log" % name
        self.start(["socat", "-d", "-d", "pty,raw,echo=0", "pty,raw,echo=0"], log)
        def names():
            with open(os.path.join(self.args.out, log)) as text:
                found = re.findall(r"PTY is (\S+)", text.read())
            return found if len(found) == 2 else None
        ends = [os.path.realpath(path) for path in wait_for("socat's ptys", names)]
        # Both slaves stay open here: the feed's writes, and a look at what the program has not
        # read yet (socat would also end when a slave's last user closes it).
        feed_fd = os.open(ends[0], os.O_WRONLY | os.O_NOCTTY | os.O_NONBLOCK)
        self.fds.append(feed_fd)
        watch_fd = os.open(ends[1], os.O_RDONLY | os.O_NOCTTY | os.O_NONBLOCK)
        self.fds.append(watch_fd)
        return types.SimpleNamespace(name=name, feed=feed_fd, watch=watch_fd, device=ends[1],
                                     process=None, window=None, piped=0)

    def geometry(self, window):
        return {key: int(value) for key, value in (line.split("=", 1) for line in self.run(
            "xdotool", "getwindowgeometry", "--shell", window).splitlines())}

    def search(self, *terms):
        return subprocess.run(["xdotool", "search", "--onlyvisible", *terms], env=self.env,
                              capture_output=True, text=True, timeout=WAIT_S).stdout.split()

    def key(self, key):
        self.run("xdotool", "key", "--delay", "30", key)

    def window_of(self, program, title, left):
        program.window = wait_for(program.name + "'s window", lambda: self.search(
            "--pid", str(program.process.pid), "--name", title))[0]
        self.run("xdotool", "windowsize", "--sync", program.window, *map(str, WINDOW))
        self.run("xdotool", "windowmove", "--sync", program.window, str(left), "0")
        return program.window

    def opened(self, program):
        wait_for("%s to open %s (see %s.log)" % (program.name, program.device, program.name),
                 lambda: holds_open(program.process, program.device))

    def start_tarven(self, program):
        folder = os.path.join(self.env["XDG_CONFIG_HOME"], "Halvorn")
        os.makedirs(folder)
        with open(os.path.join(folder, "TARVEN.conf"), "w") as conf:
            conf.write("[TARVEN]\nInterface=0\nPortName=%s\nBaudRate=12\n" % program.device)
        # Korean, the program's own language, so the windows are found by their titles.
        program.process = self.start([self.args.tarven, "--nosplash", "--lang", "ko"],
                                     "tarven.log")
        window = self.window_of(program, "^TARVEN", 0)
        self.run("xdotool", "windowfocus", "--sync", window)
        # Ctrl+M and Enter on the port settings of the stored settings, Ctrl+O opens the port.
        self.key("ctrl+m")
        wait_for("the port settings dialog", lambda: self.search("--name", "통신포트 설정"))
        self.key("Return")
        wait_for("the dialog to close", lambda: not self.search("--name", "통신포트 설정"))
        self.key("ctrl+o")
        self.opened(program)

    def start_cutecom(self, program):
        folder = os.path.join(self.env["XDG_CONFIG_HOME"], "CuteCom")
        os.makedirs(folder)
        with open(os.path.join(folder, "CuteCom5.conf"), "w") as conf:
            conf.write("[CuteCom]\nsession=bench\n[sessions]\n1\\BaudRate=115200\n"
                       "1\\DataBits=8\n1\\Device=%s\n1\\FlowControl=0\n1\\OpenMode=3\n"
                       "1\\Parity=0\n1\\StopBits=1\n1\\autoReconnect=false\n1\\name=bench\n"
                       "1\\showCtrlCharacters=false\n1\\showTimestamp=false\nsize=1\n"
                       % program.device)
        program.process = self.start(["cutecom", "-s", "bench"], "cutecom.log",
                                     env=dict(self.env, LD_PRELOAD=self.args.shim))
        window = self.window_of(program, "CuteCom", WINDOW[0] + 24)
        geometry = self.geometry(window)
        if geometry["WIDTH"] <= CUTECOM_OPEN[0] or geometry["HEIGHT"] <= CUTECOM_OPEN[1]:
            raise Failed("CuteCom's window is too small to hold its Open button")
        self.run("xdotool", "mousemove", "--window", window, *map(str, CUTECOM_OPEN), "click", "1")
        try:
            self.opened(program)
        except Failed:
            self.screenshot(program, "open-failed")
            raise Failed("CuteCom did not open %s after a click on its Open button; see "
                         "cutecom-open-failed.png and cutecom.log in %s"
                         % (program.device, self.args.out))
        fds = "/proc/%d/fd" % program.process.pid
        self.locks += [(path, program.process.pid) for path in (
            os.path.realpath(os.path.join(fds, fd)) for fd in os.listdir(fds)) if "/LCK.." in path]

    def start_tio(self, program):
        program.process = self.start(["tio", "--mute", program.device], "tio.log",
                                     stdin=subprocess.PIPE, stdout=subprocess.PIPE)
        def count(pipe):
            while chunk := pipe.read1(65536):
                program.piped += len(chunk)
        thread = threading.Thread(target=count, args=(program.process.stdout,), daemon=True)
        thread.start()
        self.threads.append(thread)
        self.opened(program)
        time.sleep(0.2)  # tio empties the device as it sets the line up

    def screenshot(self, program, when):
        path = os.path.join(self.args.out, "%s-%s.png" % (program.name, when))
        place = self.geometry(program.window)
        subprocess.run(["import", "-window", "root", "-crop", "%(WIDTH)dx%(HEIGHT)d+%(X)d+%(Y)d"
                        % place, path], env=self.env, capture_output=True, timeout=WAIT_S)

    def show(self, programs, when):
        """Lines each program must show; tio's are seen in its pipe once its output buffer of
        4096 bytes is full."""
        text = b"".join(b"%-63s\n" % ("gui_line_rate: %s, line %d" % (when, i)).encode()
                        for i in range(80))
        for program in programs:
            before = program.piped
            write_all(program.feed, text)
            if drain(program.watch):
                raise Failed("%s did not read the first lines" % program.name)
            if program.window:
                time.sleep(0.5)
                self.screenshot(program, when)
            else:
                wait_for("tio's output", lambda: program.piped > before)

    def measure(self, program, rate):
        time.sleep(SETTLE_S)
        pid, server = program.process.pid, self.xvfb.pid
        cpu, x_cpu, start = cpu_seconds(pid), cpu_seconds(server), time.monotonic()
        written = feed(program.feed, rate, self.args.seconds)
        fed = time.monotonic() - start
        left = drain(program.watch)
        if program.process.poll() is not None:
            raise Failed("%s ended with %s (see %s.log)"
                         % (program.name, program.process.returncode, program.name))
        span = time.monotonic() - start
        return dict(cpu=cpu_seconds(pid) - cpu, x=cpu_seconds(server) - x_cpu,
                    written=written, rate=written / fed, span=span, left=left)


def spread(values, form="%.2f"):
    return (form + "–" + form) % (min(values), max(values)) if values else "-"


def default_build():
    key = "%s-%s" % (os.path.basename(REPO), hashlib.md5(REPO.encode()).hexdigest()[:8])
    roots = [os.environ.get("BUILD_ROOT"), os.path.join(REPO, ".cache", "build"),
             os.path.expanduser("~/.cache/tarven-build/" + key)]
    for root in filter(None, roots):
        if os.path.isfile(os.path.join(root, "bench", "app", "tarven")):
            return os.path.join(root, "bench")
    return os.path.join(roots[1], "bench")


def report(results, rates, runs):
    print("\nper rate, over %d runs: CPU seconds of each program, of the X server while it ran, "
          "and the ratios of each run" % runs)
    for rate in rates:
        by = results[rate]
        print("%d bytes/s:" % rate)
        for name, rows in by.items():
            print("  %-8s CPU %s s   X server %s s   unread at end %d bytes" % (
                name, spread([r["cpu"] for r in rows]), spread([r["x"] for r in rows]),
                max(r["left"] for r in rows)))
        tarven = by.get("tarven", [])
        for other in ("tio", "cutecom"):
            if other in by and tarven:
                pairs = list(zip(tarven, by[other]))
                ratios = [t["cpu"] / o["cpu"] if o["cpu"] else float("inf") for t, o in pairs]
                line = "  tarven/%s CPU %s" % (other, spread(ratios))
                if (other, rate) in GOALS:
                    line += " (goal at most %.1f)" % GOALS[other, rate]
                if other == "cutecom":
                    line += ", with the X server %s" % spread(
                        [(t["cpu"] + t["x"]) / (o["cpu"] + o["x"]) if o["cpu"] + o["x"]
                         else float("inf") for t, o in pairs])
                print(line)


def main():
    build = default_build()
    parser = argparse.ArgumentParser(description=__doc__,
                                     formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--tarven", default=os.path.join(build, "app", "tarven"),
                        help="the program (default: %(default)s)")
    parser.add_argument("--shim", default=os.path.join(build, "bench", "libpty_modem_lines.so"),
                        help="the modem-lines shim for CuteCom (default: %(default)s)")
    parser.add_argument("--seconds", type=float, default=10, help="feed time (default 10)")
    parser.add_argument("--runs", type=int, default=5, help="runs (default 5)")
    parser.add_argument("--rates", default=[11500, 92000],
                        type=lambda text: [int(rate) for rate in text.split(",")],
                        help="bytes per second, comma-separated (default 11500,92000)")
    parser.add_argument("--out", help="folder for screenshots and logs (default: a new one in "
                        "the temporary folder)")
    args = parser.parse_args()
    rates = args.rates
    if args.seconds <= 0 or args.runs < 1 or min(rates) <= 0:
        parser.error("--seconds, --runs and --rates must be positive")
    missing = [tool for tool in ("Xvfb", "socat", "xdotool", "import") if not shutil.which(tool)]
    if missing:
        parser.error("%s not installed" % ", ".join(missing))
    if not os.access(args.tarven, os.X_OK):
        parser.error("no tarven at %s: build it (make bench) or name it with --tarven"
                     % args.tarven)
    args.out = args.out or tempfile.mkdtemp(prefix="gui-line-rate-out-")
    os.makedirs(args.out, exist_ok=True)
    names = ["tarven"]
    for name, package in (("cutecom", "cutecom"), ("tio", "tio")):
        if not shutil.which(name):
            print("%s not installed: apt-get install %s" % (name, package))
        elif name == "cutecom" and not os.path.isfile(args.shim):
            parser.error("no shim at %s: build it (make bench) or name it with --shim" % args.shim)
        else:
            names.append(name)
    signal.signal(signal.SIGTERM, lambda *_: sys.exit(143))

    print("load average %.2f %.2f %.2f; %s s a feed, %d runs; screenshots and logs in %s"
          % (*os.getloadavg(), args.seconds, args.runs, args.out))
    bench = Bench(args)
    try:
        bench.start_x()
        programs = [bench.pty_pair(name) for name in names]
        for program in programs:
            getattr(bench, "start_" + program.name)(program)
        bench.show(programs, "start")
        results = {rate: {name: [] for name in names} for rate in rates}
        for run in range(1, args.runs + 1):
            for rate in rates:
                for program in programs:
                    row = bench.measure(program, rate)
                    results[rate][program.name].append(row)
                    print("run %d  %6d bytes/s  %-8s wrote %d bytes (%.0f bytes/s)  CPU %.2f s "
                          "(%.1f%% of a core)  X server %.2f s  unread at end %d" % (
                              run, rate, program.name, row["written"], row["rate"], row["cpu"],
                              100 * row["cpu"] / row["span"], row["x"], row["left"]), flush=True)
                    if run == 1 and program.window:
                        bench.screenshot(program, "%d" % rate)  # what the flood left shown
        bench.show(programs, "end")
        report(results, rates, args.runs)
        print("load average at the end %.2f %.2f %.2f" % os.getloadavg())
    except (Failed, subprocess.TimeoutExpired, OSError) as failure:
        print("FAILED: %s" % failure)
        return 1
    finally:
        bench.close()
    return 0


if __name__ == "__main__":
    sys.exit(main())
