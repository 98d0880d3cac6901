#!/usr/bin/env python3
"""The real tarven under a real X server, driven with the keyboard as a person drives it.

From the start of the program to an open TCP server: a client receives the welcome text, typed
text arrives, and the program's command keys never reach the client, also after a dialog and
after a menu closed. Runs under xvfb-run, with no window manager or under openbox.

Exit codes: 0 passed, 1 failed, 77 skipped (a tool is missing; CTest shows the test as skipped).
With TARVEN_E2E_REQUIRED=1 (set by CI) a missing tool fails instead.
"""

import argparse
import configparser
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time

SKIP = 77
WAIT_S = 15.0  # upper bound for anything the program must do after a key
WELCOME = "Welcome to TARVEN e2e"


class Failed(Exception):
    pass


def missing_tools(wm):
    tools = ["xvfb-run", "Xvfb", "xauth", "xdotool", "xmodmap", "import"]
    if wm == "openbox":
        tools += ["openbox", "xprop"]
    return [tool for tool in tools if shutil.which(tool) is None]


def wait_for(what, condition, timeout=WAIT_S):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        result = condition()
        if result:
            return result
        time.sleep(0.05)
    raise Failed("timed out waiting for " + what)


def free_port():
    # The port settings dialog takes ports up to 10000.
    for port in range(9000 - os.getpid() % 4000, 10000):
        probe = socket.socket()
        try:
            probe.bind(("127.0.0.1", port))
            return port
        except OSError:
            continue
        finally:
            probe.close()
    raise Failed("no free port below 10000")


class Session:
    """One run of tarven on the X server of DISPLAY, with its own settings and folders."""

    def __init__(self, tarven, wm, out_dir):
        self.tarven = tarven
        self.wm = wm
        self.out_dir = out_dir
        self.home = tempfile.mkdtemp(prefix="tarven-e2e-")
        self.port = free_port()
        self.processes = []
        self.shots = 0
        self.env = dict(os.environ)
        runtime = os.path.join(self.home, "runtime")
        os.makedirs(runtime, mode=0o700)
        self.env.update({
            "HOME": self.home,
            "XDG_CONFIG_HOME": os.path.join(self.home, "config"),
            "XDG_RUNTIME_DIR": runtime,
            "TMPDIR": self.home,
            "QT_QPA_PLATFORM": "xcb",
            "LANG": "C.UTF-8",
        })
        self.write_settings()

    def write_settings(self):
        # A TCP server on a free port that greets its clients, capture names asked for; the
        # rest as a new user has it.
        folder = os.path.join(self.env["XDG_CONFIG_HOME"], "Halvorn")
        os.makedirs(folder)
        with open(os.path.join(folder, "TARVEN.conf"), "w", encoding="utf-8") as settings:
            settings.write("[TARVEN]\nInterface=1\nActive=1\nServerPort=%d\n"
                           "WelcomeFlag=1\nWelcomeMsg=%s\nGalmuriFileCreate=0\n"
                           % (self.port, WELCOME))

    def run(self, *command, check=True):
        result = subprocess.run(command, env=self.env, capture_output=True, text=True,
                                timeout=WAIT_S)
        if check and result.returncode != 0:
            raise Failed("%s: %s" % (" ".join(command), result.stderr.strip()))
        return result.stdout.strip()

    def start(self, *command, log=None):
        output = open(os.path.join(self.out_dir, log), "w") if log else subprocess.DEVNULL
        process = subprocess.Popen(command, env=self.env, stdout=output, stderr=subprocess.STDOUT)
        self.processes.append(process)
        return process

    def stop(self):
        for process in reversed(self.processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
                    process.wait()
        shutil.rmtree(self.home, ignore_errors=True)

    def start_window_manager(self):
        if self.wm != "openbox":
            return
        self.start("openbox", "--sm-disable", log="openbox.log")
        wait_for("openbox to manage the screen", lambda: "window id" in self.run(
            "xprop", "-root", "_NET_SUPPORTING_WM_CHECK", check=False))

    def windows(self, name):
        found = self.run("xdotool", "search", "--onlyvisible", "--name", name, check=False)
        return found.split()

    def program_windows(self):
        # Menus have no name; every window of the program has its class.
        return self.run("xdotool", "search", "--onlyvisible", "--class", "tarven",
                        check=False).split()

    def focus(self, window):
        # With a window manager, as a click on the window; without one, focus only.
        if self.wm == "openbox":
            self.run("xdotool", "windowactivate", "--sync", window)
        else:
            self.run("xdotool", "windowfocus", "--sync", window)

    def key(self, *keys):
        # The keyboard of the X server: the keys go where its focus is, as a person's would.
        self.run("xdotool", "key", "--delay", "30", *keys)

    def type(self, text):
        self.run("xdotool", "type", "--delay", "30", text)

    def bind_keys(self, text):
        """Gives each character of text a key of its own while the program runs. xdotool would
        bind a spare key just for the press and unbind it at once, and a program that reads the
        new key map late (a loaded machine) sees a key with nothing on it."""
        free = [line.split()[1] for line in self.run("xmodmap", "-pke").splitlines()
                if line.rstrip().endswith("=")]
        if len(free) < len(text):
            raise Failed("the keyboard has %d free keys, %d wanted" % (len(free), len(text)))
        self.run("xmodmap", *sum((["-e", "keycode %s = U%04X" % (code, ord(char))]
                                  for code, char in zip(free, text)), []))

    def screenshot(self, name):
        self.shots += 1
        path = os.path.join(self.out_dir, "%02d-%s.png" % (self.shots, name))
        self.run("import", "-window", "root", path, check=False)
        return path


class Client:
    """A TCP client of the program's server that keeps every byte it receives."""

    def __init__(self, port=None, sock=None):
        self.sock = sock or wait_for("the server to accept", lambda: self.connect(port))
        self.sock.setblocking(False)
        self.received = b""

    @staticmethod
    def connect(port):
        try:
            return socket.create_connection(("127.0.0.1", port), timeout=1)
        except OSError:
            return None

    def take(self, size):
        def enough():
            try:
                chunk = self.sock.recv(4096)
                if chunk == b"":
                    return True
                self.received += chunk
            except BlockingIOError:
                pass
            return len(self.received) >= size
        wait_for("%d bytes at the client" % size, enough)
        taken, self.received = self.received[:size], self.received[size:]
        return taken

    def closed(self):
        try:
            return self.sock.recv(4096) == b""
        except BlockingIOError:
            return False

    def expect(self, expected, after):
        got = self.take(len(expected))
        if got != expected:
            raise Failed("after %s the client got %r, expected %r" % (after, got, expected))


def drive(session):
    session.start_window_manager()
    # The windows are found by their Korean titles, whatever the locale the tests run in.
    tarven = session.start(session.tarven, "--nosplash", "--lang", "ko", log="tarven.log")
    frame = wait_for("the main window", lambda: session.windows("^TARVEN"))[0]
    # A person clicks into the window; without a window manager nothing else hands it the
    # keyboard.
    session.focus(frame)
    session.screenshot("started")

    # Ctrl+M, Enter on its port settings, Ctrl+O: the server of the stored settings is open.
    session.key("ctrl+m")
    wait_for("the port settings dialog", lambda: session.windows("통신포트 설정"))
    session.screenshot("port-settings")
    session.key("Return")
    wait_for("the dialog to close", lambda: not session.windows("통신포트 설정"))
    session.key("ctrl+o")
    client = Client(session.port)
    client.expect(WELCOME.encode(), "connecting")

    session.type("hello")
    session.key("Return")
    client.expect(b"hello\r", "typing")
    session.screenshot("typed")

    # Every command key of the monitor, enabled or not, and none of them is typed; the capture
    # is named in its dialog.
    session.key("ctrl+o", "ctrl+p", "ctrl+p", "ctrl+g")
    wait_for("the capture name dialog", lambda: session.windows("갈무리 저장파일 이름"))
    session.type("e2e")
    session.key("Return")
    wait_for("the capture name dialog to close", lambda: not session.windows("갈무리 저장파일 이름"))
    # Both directions in the capture, for the replay further on.
    capture = os.path.join(session.home, "TARVEN", "Galmuri", "e2e.tvn")
    session.type("rec")
    client.expect(b"rec", "typing into a capture")
    client.sock.sendall(b"pong\r\n")
    wait_for("the reply in the capture", lambda: file_holds_part(capture, b"pong\r\n"))
    session.key("ctrl+shift+v", "ctrl+g", "ctrl+shift+c", "F5", "F10", "shift+F5", "F9")
    # The find bar: what is typed into it and its keys, with the bar open or closed, stay in the
    # program.
    session.key("ctrl+f")
    session.type("find")
    session.key("F3", "shift+F3", "Return", "Escape", "F3", "shift+F3", "ctrl+f", "Escape")
    session.type("keys")
    client.expect(b"keys", "the command keys")
    if not os.path.isfile(capture):
        raise Failed("Ctrl+G, a name and Ctrl+G again left no capture file")

    # A dialog opened with a key and one opened from the terminal's menu (the menu key, then
    # the fourth entry from the bottom that can be chosen: the line signals below it are
    # disabled on a TCP link), each closed with Escape: the command keys still reach their
    # commands and only letters reach the client.
    dialogs = [
        ("the capture name dialog", ["ctrl+g"], "갈무리 저장파일 이름"),
        ("the checksum dialog", ["Menu", "Up", "Up", "Up", "Up", "Return"], "Check Sum 계산"),
    ]
    for what, keys, title in dialogs:
        session.key(*keys)
        wait_for(what, lambda: session.windows(title))
        session.key("Escape")
        wait_for(what + " to close", lambda: not session.windows(title))
        session.key("ctrl+p", "ctrl+p", "ctrl+o", "ctrl+shift+c")
        session.type("shut")
        client.expect(b"shut", "closing " + what)

    # A second monitor's dialog closed with Escape, that monitor's keys, then the window menu
    # brings the first one back: its keys reach the client, nothing else does.
    session.key("ctrl+m")
    wait_for("the second port settings dialog", lambda: session.windows("통신포트 설정"))
    session.key("Escape")
    wait_for("the dialog to close", lambda: not session.windows("통신포트 설정"))
    session.type("lost")
    session.key("ctrl+p", "ctrl+d")
    shown = len(session.program_windows())
    session.key("alt+w")
    wait_for("the window menu", lambda: len(session.program_windows()) > shown)
    session.screenshot("window-menu")
    session.key("1")
    session.type("back")
    client.expect(b"back", "the dialog and the window menu")

    # 보기 → 자동 응답, the item above 환경설정: a rule typed, applied (Ctrl+Enter) and switched on
    # (사용, two Tabs on) answers the client; Escape gives the keys back to the terminal.
    session.key("alt+v", "Up", "Up", "Return")
    time.sleep(0.5)  # the panel is made and takes the keyboard
    session.type("when ping reply PONG<0D>")
    session.key("ctrl+Return", "Tab", "Tab", "space")
    client.sock.sendall(b"ping")
    client.expect(b"PONG\r", "a rule of the auto reply panel")
    session.screenshot("auto-reply")
    session.key("Escape")
    session.type("term")
    client.expect(b"term", "leaving the auto reply panel")

    # Ctrl+D closes the server: the client is let go with nothing more sent.
    session.key("ctrl+d")
    wait_for("the server to close", client.closed)
    if client.received:
        raise Failed("the client got %r besides what was typed" % client.received)
    session.screenshot("closed")

    # F1: without a desktop that opens web pages the manual shows in a window of its own.
    session.key("F1")
    wait_for("the manual window", lambda: session.windows("TARVEN 운영 도움말"))
    session.screenshot("manual")
    if tarven.poll() is not None:
        raise Failed("tarven ended with %s" % tarven.returncode)

    drive_replace(session, frame)
    if tarven.poll() is not None:
        raise Failed("tarven ended with %s" % tarven.returncode)
    drive_replay(session, frame, capture)
    drive_debug(session, frame)
    if tarven.poll() is not None:
        raise Failed("tarven ended with %s" % tarven.returncode)
    again = arrange_refuse_and_reopen(session, tarven, frame)
    drive_pty_cp949(session, again)


REPLACE_DIALOG = "문자열 바꾸기"


def file_holds(path, expected):
    with open(path, "rb") as script:
        return script.read() == expected


def file_holds_part(path, part):
    try:
        with open(path, "rb") as data:
            return part in data.read()
    except OSError:
        return False


def drive_replace(session, frame):
    """Replace All as a person does it: find, Tab, replacement, Alt+A; with nothing typed for the
    replacement the program asks first, and No keeps the text. Ctrl+S writes what was put in."""
    path = os.path.join(session.home, "reply.tsl")
    with open(path, "wb") as script:
        script.write(b"DIM REPLY$ 64\r\nVAR N% 0\r\nBEGIN:\r\n    IN REPLY, N\r\nEND:\r\n")
    session.focus(frame)
    # File, Open: in a monitor window Ctrl+O opens the link.
    shown = len(session.program_windows())
    session.key("alt+f", "o")
    wait_for("the open dialog", lambda: session.windows("^(Open|열기)( — TARVEN)?$"))
    session.type(path)
    session.key("Return")
    wait_for("the open dialog to close", lambda: not session.windows("^(Open|열기)( — TARVEN)?$"))
    # Without a window manager the focus goes back where the pointer is, perhaps the manual's
    # window: a person clicks the program's window before the next keys.
    session.focus(frame)

    session.key("ctrl+h")
    wait_for("the replace dialog", lambda: session.windows(REPLACE_DIALOG))
    session.type("REPLY")
    session.key("Tab")
    session.type("ANSWER")
    session.screenshot("replace-dialog")
    session.key("alt+a", "Escape")
    wait_for("the replace dialog to close", lambda: not session.windows(REPLACE_DIALOG))
    session.key("ctrl+s")
    replaced = b"DIM ANSWER$ 64\r\nVAR N% 0\r\nBEGIN:\r\n    IN ANSWER, N\r\nEND:\r\n"
    wait_for("the replacement in the saved file", lambda: file_holds(path, replaced))

    # Nothing for the replacement: the question comes; No (Escape) changes nothing, Yes does.
    emptied = b"DIM ANSWER$ 64\r\n\r\nBEGIN:\r\n    IN ANSWER, N\r\nEND:\r\n"
    for answer, expected in [("Escape", replaced), ("Return", emptied)]:
        session.key("ctrl+h")
        wait_for("the replace dialog", lambda: session.windows(REPLACE_DIALOG))
        session.type("VAR N% 0")
        session.key("Tab", "ctrl+a", "BackSpace")
        shown = len(session.program_windows())
        session.key("alt+a")
        wait_for("the question", lambda: len(session.program_windows()) > shown)
        session.screenshot("replace-question")
        session.key(answer)
        wait_for("the question to close", lambda: len(session.program_windows()) == shown)
        session.key("Escape")
        wait_for("the replace dialog to close", lambda: not session.windows(REPLACE_DIALOG))
        # A save writes a new file in the old one's place.
        saved = os.stat(path).st_ino
        session.key("ctrl+s")
        wait_for("the save", lambda: os.stat(path).st_ino != saved)
        if not file_holds(path, expected):
            raise Failed("after %s to the question the script holds %r" % (answer, open(
                path, "rb").read()))


def drive_debug(session, frame):
    """A script talking to a TCP device, debugged with the keys: F9 sets a breakpoint on the
    cursor's line, F5 runs to it, F10 runs one command, F5 goes on to it again, Shift+F5 stops.
    The device sees each byte only when its command has run; the keys never reach the text."""
    device = socket.socket()
    device.bind(("127.0.0.1", 0))
    device.listen(1)
    device.settimeout(WAIT_S)
    path = os.path.join(session.home, "debug.tsl")
    text = ("OPEN MEDIA TCP\r\nOPEN IP 127.0.0.1\r\nOPEN PORT %d\r\nVAR N%% 0\r\nBEGIN:\r\n"
            "    INC N\r\n    OUT \"A\"\r\n    OUT \"B\"\r\nEND:\r\n"
            % device.getsockname()[1]).encode()
    with open(path, "wb") as script:
        script.write(text)
    peer = None
    try:
        give_keyboard(session, frame)
        session.key("alt+f", "o")
        wait_for("the open dialog", lambda: session.windows("^(Open|열기)( — TARVEN)?$"))
        session.type(path)
        session.key("Return")
        wait_for("the open dialog to close",
                 lambda: not session.windows("^(Open|열기)( — TARVEN)?$"))
        # The breakpoint on OUT "B", line 8.
        session.key("ctrl+Home", *["Down"] * 7, "F9", "F5")
        peer, _ = device.accept()
        link = Client(sock=peer)
        link.expect(b"A", "F5 to the breakpoint")
        # Stopped before OUT "B": nothing more comes while it waits.
        time.sleep(0.5)
        if link.closed() or link.received:
            raise Failed("the script went on past its breakpoint: %r" % link.received)
        session.screenshot("debug-stopped")
        session.key("F10")
        link.expect(b"B", "F10 over OUT \"B\"")
        session.key("F5")
        link.expect(b"A", "F5 to the breakpoint in the next pass")
        time.sleep(0.3)
        session.screenshot("debug-again")
        session.key("shift+F5")
        wait_for("the script's link to close", link.closed)
        if link.received:
            raise Failed("after Shift+F5 the device got %r" % link.received)
        # Had a key gone into the text, the save would write it.
        session.key("ctrl+s")
        time.sleep(0.3)
        if not file_holds(path, text):
            raise Failed("the debug keys changed the script: %r" % open(path, "rb").read())
    except socket.timeout:
        raise Failed("the script never connected to its device after F9, F5")
    finally:
        if peer is not None:
            peer.close()
        device.close()


def open_menu(session, *keys):
    """Presses the keys that open a menu and returns the menu's window."""
    shown = set(session.program_windows())
    session.key(*keys)
    return wait_for("the menu", lambda: [window for window in session.program_windows()
                                         if window not in shown])[0]


def drive_replay(session, frame, capture):
    """The capture made above, shown from File, Open and replayed from the view menu: the replay
    is one more child window, listed in the window menu, never a window of its own."""
    # In front of the manual, for the pictures.
    session.run("xdotool", "windowraise", frame)
    give_keyboard(session, frame)
    session.key("alt+f", "o")
    dialog = wait_for("the open dialog", lambda: session.windows("^(Open|열기)( — TARVEN)?$"))[0]
    give_keyboard(session, dialog)
    session.type(capture)
    session.key("Return")
    wait_for("the open dialog to close", lambda: not session.windows("^(Open|열기)( — TARVEN)?$"))
    time.sleep(0.5)  # the capture is shown and its replay offered
    menu = open_menu(session, "alt+w")
    listed = geometry(session, menu)[3]
    # As in any menu bar, the first Escape closes the menu and the second leaves the bar.
    session.key("Escape", "Escape")
    wait_for("the window menu to close", lambda: menu not in session.program_windows())
    # 재생 is the item above 그래프, 자동 응답 and 환경설정, the view menu's last.
    session.key("alt+v", "Up", "Up", "Up", "Up", "Return")
    time.sleep(0.5)
    if session.windows("재생"):
        raise Failed("the replay opened a window of its own")
    menu = open_menu(session, "alt+w")
    session.screenshot("replay-window-menu")
    if geometry(session, menu)[3] <= listed:
        raise Failed("the window menu lists no more windows after 재생")
    # Its entry, the fifth: two monitors, the script, the capture's monitor, the replay.
    session.key("5")
    wait_for("the window menu to close", lambda: menu not in session.program_windows())
    session.screenshot("replay")


def geometry(session, window):
    """x, y, width, height of a window as X reports it."""
    found = dict(line.split("=", 1) for line in session.run(
        "xdotool", "getwindowgeometry", "--shell", window).splitlines())
    return tuple(int(found[key]) for key in ("X", "Y", "WIDTH", "HEIGHT"))


def give_keyboard(session, window):
    session.focus(window)


def arrange_refuse_and_reopen(session, tarven, frame):
    """The windows tiled and cascaded in an unchanged main window; a line limit out of range
    refused with the dialog kept open; the main window, left with a replay open, back where it
    was left."""
    give_keyboard(session, frame)
    before = geometry(session, frame)
    # Three monitors, a script and a replay are open: one more monitor, and three scripts.
    session.key("ctrl+m")
    wait_for("the port settings dialog", lambda: session.windows("통신포트 설정"))
    session.key("Escape")
    wait_for("the dialog to close", lambda: not session.windows("통신포트 설정"))
    for _ in range(3):
        session.key("ctrl+n")
    time.sleep(0.5)
    for command, name in (("t", "tiled"), ("c", "cascaded")):
        shown = len(session.program_windows())
        session.key("alt+w")
        wait_for("the window menu", lambda: len(session.program_windows()) > shown)
        session.key(command)
        wait_for("the window menu to close", lambda: len(session.program_windows()) == shown)
        time.sleep(0.3)
        session.screenshot(name)
        if geometry(session, frame) != before:
            raise Failed("%s windows moved the main window from %s to %s"
                         % (name, before, geometry(session, frame)))

    # 최대 라인버퍼 크기 500, Enter: refused, the dialog stays; 2000 over the selection is taken.
    session.key("alt+v", "Up", "Return")
    dialog = wait_for("the settings dialog", lambda: session.windows("TARVEN 환경설정"))[0]
    give_keyboard(session, dialog)
    shown = len(session.program_windows())
    session.key("Tab", "ctrl+a")
    session.type("500")
    session.key("Return")
    wait_for("the refusal", lambda: len(session.program_windows()) > shown)
    session.screenshot("refused")
    session.key("Return")
    wait_for("the refusal to close", lambda: len(session.program_windows()) == shown)
    if not session.windows("TARVEN 환경설정"):
        raise Failed("the settings dialog closed on a refused line limit")
    # The keyboard is back in the field, its text selected: typing replaces it.
    session.type("2000")
    session.key("Return")
    wait_for("the settings dialog to close", lambda: not session.windows("TARVEN 환경설정"))
    settings = os.path.join(session.env["XDG_CONFIG_HOME"], "Halvorn", "TARVEN.conf")
    wait_for("the line limit to be kept", lambda: "MaxLine=2000" in open(settings).read())

    # Moved, left with 끝내기 and started again: back where it was.
    give_keyboard(session, frame)
    session.run("xdotool", "windowmove", "--sync", frame, "40", "30")
    left = geometry(session, frame)
    session.key("alt+f", "Up", "Return")
    wait_for("tarven to end", lambda: tarven.poll() is not None)
    session.start(session.tarven, "--nosplash", "--lang", "ko", log="tarven-again.log")
    again = wait_for("the main window again", lambda: session.windows("^TARVEN$"))[0]
    time.sleep(0.5)
    session.screenshot("reopened")
    if geometry(session, again) != left:
        raise Failed("the main window left at %s reopened at %s"
                     % (left, geometry(session, again)))
    return session.processes[-1]


def read_tty(fd, size):
    """What the far end of a pseudo-terminal holds: size bytes, or what came in the wait."""
    got = b""
    def enough():
        nonlocal got
        try:
            got += os.read(fd, 4096)
        except BlockingIOError:
            pass
        return len(got) >= size
    try:
        wait_for("%d bytes at the far end of the tty" % size, enough)
    except Failed:
        pass
    return got


def holds_open(process, path):
    """Whether the process has the file at path open."""
    folder = "/proc/%d/fd" % process.pid
    try:
        return any(os.path.realpath(os.path.join(folder, fd)) == path for fd in os.listdir(folder))
    except OSError:
        return False


def drive_pty_cp949(session, tarven):
    """A monitor on a pseudo-terminal that speaks CP949, as a Korean bench's device does: typed
    Hangul reaches the far end as CP949, a character CP949 lacks and Alt combinations never do."""
    master, slave = os.openpty()
    os.set_blocking(master, False)
    device = os.ttyname(slave)
    try:
        frame = wait_for("the reopened main window", lambda: session.windows("^TARVEN$"))[0]
        give_keyboard(session, frame)
        session.key("alt+f", "Up", "Return")
        wait_for("tarven to end", lambda: tarven.poll() is not None)
        settings = os.path.join(session.env["XDG_CONFIG_HOME"], "Halvorn", "TARVEN.conf")
        config = configparser.RawConfigParser()
        config.optionxform = str
        config.read(settings, encoding="utf-8")
        config["TARVEN"].update({"Interface": "0", "PortName": device, "RecvEncoding": "2"})
        with open(settings, "w", encoding="utf-8") as out:
            config.write(out, space_around_delimiters=False)

        tarven = session.start(session.tarven, "--nosplash", "--lang", "ko", log="tarven-pty.log")
        frame = wait_for("the main window on the tty", lambda: session.run(
            "xdotool", "search", "--onlyvisible", "--pid", str(tarven.pid), "--name", "^TARVEN$",
            check=False).split())[0]
        session.bind_keys("가😀")
        give_keyboard(session, frame)
        session.key("ctrl+m")
        wait_for("the port settings dialog", lambda: session.windows("통신포트 설정"))
        session.key("Return")
        wait_for("the dialog to close", lambda: not session.windows("통신포트 설정"))
        session.key("ctrl+o")
        wait_for("the tty to be opened", lambda: holds_open(tarven, device))
        session.type("가")
        session.type("😀")
        session.screenshot("cp949-refused")
        session.key("alt+x", "alt+q", "super+a")
        shown = len(session.program_windows())
        session.key("alt+t")
        wait_for("the TVN menu", lambda: len(session.program_windows()) > shown)
        # As in any menu bar, the first Escape closes the menu and the second leaves the bar.
        session.key("Escape")
        wait_for("the TVN menu to close", lambda: len(session.program_windows()) == shown)
        session.key("Escape")
        session.type("z")
        got = read_tty(master, 3)
        if got != b"\xb0\xa1z":
            raise Failed("the tty's far end got %r, expected CP949 가 and z only" % got)
        drive_send_line(session, master)
        if tarven.poll() is not None:
            raise Failed("tarven ended with %s" % tarven.returncode)
    finally:
        os.close(master)
        os.close(slave)


def drive_send_line(session, master):
    """보기 → 송신 입력줄, the fifth item of the view menu: a line typed there goes out whole
    with CR LF on Enter, Up brings back the one before, and Escape gives the keys back to the
    terminal, which types each key as before."""
    # The menu opens on its first item.
    session.key("alt+v", "Down", "Down", "Down", "Down", "Return")
    time.sleep(0.5)  # the line is made and takes the keyboard
    for line in ("AT+GMR", "ATI"):
        session.type(line)
        session.key("Return")
        got = read_tty(master, len(line) + 2)
        if got != line.encode() + b"\r\n":
            raise Failed("the send line's %r reached the tty as %r" % (line, got))
    session.screenshot("send-line")
    session.key("Up", "Return")
    got = read_tty(master, 8)
    if got != b"AT+GMR\r\n":
        raise Failed("Up and Enter in the send line sent %r, expected the line before" % got)
    session.key("Escape")
    session.type("k")
    got = read_tty(master, 1)
    if got != b"k":
        raise Failed("after Escape from the send line the terminal typed %r" % got)


def inner(args):
    session = Session(args.tarven, args.wm, args.out)
    try:
        drive(session)
    except (Failed, subprocess.TimeoutExpired) as failure:
        shot = session.screenshot("failure")
        print("FAILED (%s window manager): %s\nscreen: %s\nlog: %s" % (
            args.wm, failure, shot, os.path.join(args.out, "tarven.log")))
        return 1
    finally:
        session.stop()
    print("passed (%s window manager); screenshots in %s" % (args.wm, args.out))
    return 0


def main():
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--tarven", required=True)
    parser.add_argument("--wm", choices=["none", "openbox"], default="none")
    parser.add_argument("--out", required=True, help="folder for screenshots and logs")
    parser.add_argument("--inner", action="store_true", help=argparse.SUPPRESS)
    args = parser.parse_args()
    os.makedirs(args.out, exist_ok=True)
    if args.inner:
        return inner(args)

    missing = missing_tools(args.wm)
    if missing:
        message = "%s not installed (tools/install-deps.sh installs them)" % ", ".join(missing)
        if os.environ.get("TARVEN_E2E_REQUIRED") == "1":
            print("FAILED: " + message)
            return 1
        print("SKIPPED: " + message)
        return SKIP
    # Runs that start together (CTest in parallel) look for a free display from different
    # numbers, as xvfb-run's own search can hand one number to both.
    first_display = str(100 + os.getpid() % 500)
    # -noreset: without a window manager the program is the only client, and an X server whose
    # last client leaves resets itself; a program started again at that moment cannot connect.
    command = ["xvfb-run", "-a", "-n", first_display, "-s", "-screen 0 1280x900x24 -noreset",
               sys.executable, os.path.abspath(__file__), "--inner",
               "--tarven", args.tarven, "--wm", args.wm, "--out", args.out]
    return subprocess.run(command, timeout=180).returncode


if __name__ == "__main__":
    sys.exit(main())
