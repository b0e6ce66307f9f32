"""Runs the Windows build under Wine for end-to-end tests.

Each test gets its own copy of a template Wine prefix and its own Xvfb display,
and every process it starts is ended in tearDown. Waits are for conditions with
generous deadlines, never fixed sleeps, so the suite holds on a loaded machine.
Network traffic goes to 127.0.0.1 only.
"""
import fcntl
import os
import shutil
import socket
import subprocess
import sys
import tempfile
import time
import unittest

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
WINDOWS_BIN = os.environ.get("MIROVANTA_WINDOWS_BIN", os.path.join(ROOT, "build", "windows", "bin"))
HELPERS = os.environ.get("MIROVANTA_TEST_HELPERS",
                         os.path.join(ROOT, "build", "windows", "test-helpers"))
REMOTE = os.environ.get("MIROVANTA_REMOTE",
                        os.path.join(ROOT, "build", "native", "bin", "mirovanta-remote"))
TEMPLATE_DIR = os.environ.get("MIROVANTA_WINE_TEMPLATE",
                              os.path.join(ROOT, "build", "wine-template"))
HOST_EXE = os.path.join(WINDOWS_BIN, "Mirovanta2.exe")
PORT = 1565
LOCAL = "127.0.0.1"

PROBE = bytes([0x15, 0x65, 0x80])
PROBE_REPLY = bytes([0x15, 0x65, 0x81])


# The host drops a launch or close that repeats the same one within this time.
REPEAT_GAP = 2.0


def past_repeat_gap():
    """Lets a launch or close of the same page or utility count as a new press,
    not a repeat. Not a wait for something to happen: the host's rule is about
    time itself."""
    time.sleep(REPEAT_GAP + 0.2)


def tcp_listening(port):
    """Something on this machine listens on TCP `port` (read from the kernel's
    table, so that no connection is made)."""
    with open("/proc/net/tcp") as table:
        next(table)
        for line in table:
            fields = line.split()
            if int(fields[1].split(":")[1], 16) == port and fields[3] == "0A":
                return True
    return False


def wait_for(condition, deadline=60.0, interval=0.05, what="condition"):
    """Polls `condition` until it returns a true value or the deadline passes."""
    end = time.monotonic() + deadline
    while True:
        value = condition()
        if value:
            return value
        if time.monotonic() > end:
            raise AssertionError("timed out after %.0f s waiting for %s" % (deadline, what))
        time.sleep(interval)


def base_environment(prefix, display):
    env = dict(os.environ)
    env.update({
        "WINEPREFIX": prefix,
        "WINEDEBUG": env.get("MIROVANTA_WINEDEBUG", "-all"),
        # No shell-menu entries outside the prefix, no Mono or Gecko prompts; and
        # the test's own wmplayer.exe rather than Wine's built-in one of that name.
        "WINEDLLOVERRIDES": "winemenubuilder.exe=d;mscoree=;mshtml=;wmplayer.exe=n",
        "WINEARCH": "win64",
        "DISPLAY": display,
    })
    return env


def _make_template(path):
    env = base_environment(path, "")
    env.pop("DISPLAY")
    subprocess.run(["wineboot", "-i"], env=env, check=True, stdout=subprocess.DEVNULL,
                   stderr=subprocess.DEVNULL, timeout=600)
    # One virtual desktop for every program of the prefix, with a taskbar and tray.
    for key, name, value in (("HKCU\\Software\\Wine\\Explorer", "Desktop", "Default"),
                             ("HKCU\\Software\\Wine\\Explorer\\Desktops", "Default", "1024x768")):
        subprocess.run(["wine", "reg", "add", key, "/v", name, "/d", value, "/f"], env=env,
                       check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
                       timeout=300)
    subprocess.run(["wineserver", "-w"], env=env, timeout=300)


def template_prefix():
    """The template prefix, made once and shared by every test (under a lock)."""
    os.makedirs(TEMPLATE_DIR, exist_ok=True)
    prefix = os.path.join(TEMPLATE_DIR, "prefix")
    with open(os.path.join(TEMPLATE_DIR, "lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not os.path.exists(os.path.join(TEMPLATE_DIR, "ready")):
            shutil.rmtree(prefix, ignore_errors=True)
            _make_template(prefix)
            open(os.path.join(TEMPLATE_DIR, "ready"), "w").close()
    return prefix


class Xvfb:
    """A private X display; Xvfb picks a free number itself."""

    def __init__(self):
        read_end, write_end = os.pipe()
        self.process = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write_end), "-screen", "0", "1024x768x24", "-nolisten",
             "tcp", "-noreset"], pass_fds=(write_end,), stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL)
        os.close(write_end)
        with os.fdopen(read_end) as pipe:
            number = pipe.readline().strip()
        if not number:
            self.process.kill()
            raise RuntimeError("Xvfb did not start")
        self.display = ":" + number

    def stop(self):
        self.process.terminate()
        try:
            self.process.wait(10)
        except subprocess.TimeoutExpired:
            self.process.kill()
            self.process.wait()


class UdpPeer:
    """A UDP socket on 127.0.0.1 playing the remote."""

    def __init__(self):
        self.sock = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.sock.bind((LOCAL, 0))
        self.port = self.sock.getsockname()[1]

    def send(self, data, port=PORT):
        self.sock.sendto(bytes(data), (LOCAL, port))

    def receive(self, timeout):
        """(data, (address, port)) of the next datagram, or None after `timeout` seconds."""
        self.sock.settimeout(timeout)
        try:
            return self.sock.recvfrom(65536)
        except socket.timeout:
            return None

    def waiting(self):
        """Every datagram already received and not yet read, without waiting."""
        self.sock.setblocking(False)
        got = []
        try:
            while True:
                got.append(self.sock.recvfrom(65536))
        except BlockingIOError:
            return got
        finally:
            self.sock.setblocking(True)

    def close(self):
        self.sock.close()


class WineTestCase(unittest.TestCase):
    """A fresh prefix and display per test; the host is started by the test."""

    def setUp(self):
        for path in (HOST_EXE, REMOTE):
            if not os.path.exists(path):
                self.fail("missing build output: " + path)
        self.workdir = tempfile.mkdtemp(prefix="mirovanta-wine-")
        self.prefix = os.path.join(self.workdir, "prefix")
        subprocess.run(["cp", "-a", template_prefix(), self.prefix], check=True)
        self.xvfb = Xvfb()
        self.env = base_environment(self.prefix, self.xvfb.display)
        self.processes = []
        self.peers = []
        self.addCleanup(self._clean_up)

    def _clean_up(self):
        for peer in self.peers:
            peer.close()
        for process in self.processes:
            if process.poll() is None:
                process.kill()
        subprocess.run(["wineserver", "-k"], env=self.env, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=60)
        for process in self.processes:
            try:
                process.wait(30)
            except subprocess.TimeoutExpired:
                pass
        subprocess.run(["wineserver", "-w"], env=self.env, timeout=60)
        self.xvfb.stop()
        shutil.rmtree(self.workdir, ignore_errors=True)

    def peer(self):
        peer = UdpPeer()
        self.peers.append(peer)
        return peer

    def start_wine(self, exe, *args, log_name=None, wrap=(), extra_env=None):
        """`wrap`: a command that runs Wine in turn (it must exec it, keeping the pid)."""
        log = open(os.path.join(self.workdir, log_name or os.path.basename(exe) + ".log"), "ab")
        env = dict(self.env, **(extra_env or {}))
        process = subprocess.Popen(list(wrap) + ["wine", exe] + list(args), env=env, stdout=log,
                                   stderr=subprocess.STDOUT, cwd=os.path.dirname(exe) or None)
        log.close()
        self.processes.append(process)
        return process

    def run_wine(self, exe, *args, timeout=120):
        """Runs a helper to its end; returns (exit code, its standard output)."""
        done = subprocess.run(["wine", exe] + list(args), env=self.env, capture_output=True,
                              timeout=timeout, cwd=os.path.dirname(exe) or None)
        return done.returncode, done.stdout.decode("latin-1")

    def windows_variable(self, name):
        """A variable of the prefix's environment, as Wine's cmd expands it.
        A loaded machine now and then stalls or empties one cmd's output, so a
        look is retried; the answer is kept for the rest of the test."""
        known = self.__dict__.setdefault("_windows_variables", {})
        if name not in known:
            def look():
                try:
                    code, output = self.run_wine("cmd", "/c", "echo %%%s%%" % name, timeout=30)
                except subprocess.TimeoutExpired:
                    return None  # looked at again until the deadline
                value = output.strip()
                return value if code == 0 and value and "%" not in value else None
            known[name] = wait_for(look, 180, interval=1, what="%%%s%% from Wine's cmd" % name)
        return known[name]

    def computer_name(self):
        return self.windows_variable("COMPUTERNAME")

    def helper(self, name):
        return os.path.join(HELPERS, name + ".exe")

    def probe_answered(self, peer, timeout=0.5):
        peer.send(PROBE)
        end = time.monotonic() + timeout
        while time.monotonic() < end:
            got = peer.receive(max(0.01, end - time.monotonic()))
            if got and got[0] == PROBE_REPLY:
                return True
        return False

    def app_dir(self):
        """The folder the host runs from: a copy of the exe, per test."""
        folder = os.path.join(self.workdir, "app")
        if not os.path.isdir(folder):
            os.makedirs(folder)
            shutil.copy(HOST_EXE, folder)
        return folder

    def take_tcp_port(self):
        """Another program listens on the host's TCP port until the test ends."""
        blocker = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
        self.addCleanup(blocker.close)
        # Connections of earlier tests may linger on the port in TIME_WAIT.
        blocker.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
        blocker.bind(("0.0.0.0", PORT))
        blocker.listen(1)

    def start_host(self, deadline=120.0, wrap=()):
        """Starts the host from its own folder and waits until it answers a
        probe and its presence port listens. It answers probes from its first
        moments; the presence server starts with its icon, at the end of its
        start."""
        for attempt in (1, 2):
            host = self.start_wine(os.path.join(self.app_dir(), "Mirovanta2.exe"), wrap=wrap)
            peer = self.peer()
            wait_for(lambda: host.poll() is not None or self.probe_answered(peer), deadline,
                     what="the host to answer a probe")
            wait_for(lambda: host.poll() is not None or tcp_listening(PORT), deadline,
                     what="the host's presence port to listen")
            if host.poll() is None:
                return host
            log = os.path.join(self.workdir, "Mirovanta2.exe.log")
            with open(log, "rb") as output:
                tail = output.read()[-2000:].decode("latin-1")
            # Seldom (twice in many hundred starts), Wine's process ends with 1
            # and no word before the host's own code answers anything; the
            # host never returns 1. Such a start is tried once more, and said.
            if attempt == 1 and host.returncode == 1 and not tail.strip():
                print("harness: the host's Wine process ended with 1 and no output during "
                      "start-up; starting it once more", file=sys.stderr)
                continue
            self.fail("the host ended during start-up with %d; its output:\n%s"
                      % (host.returncode, tail))
        return host

    def unix_path(self, windows_path):
        """Where a C: path of the prefix lies on the Linux side."""
        assert windows_path[:3].upper() == "C:\\", windows_path
        return os.path.join(self.prefix, "drive_c", *windows_path[3:].split("\\"))

    def install_program(self, windows_path, helper="fake_player"):
        target = self.unix_path(windows_path)
        os.makedirs(os.path.dirname(target), exist_ok=True)
        shutil.copy(self.helper(helper), target)
        return target

    def reg_add(self, key, name, value, kind="REG_SZ"):
        """Sets a registry value with Wine's own reg tool (name None: the default value)."""
        where = ["/ve"] if name is None else ["/v", name]
        subprocess.run(["wine", "reg", "add", key] + where + ["/t", kind, "/d", value, "/f"],
                       env=self.env, check=True, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, timeout=120)

    def store_file(self):
        """The host's path store in the Wine user's temporary folder."""
        users = os.path.join(self.prefix, "drive_c", "users")
        user = [u for u in os.listdir(users) if u != "Public"][0]
        return os.path.join(users, user, "Temp", "Mirovanta2.Dat")

    def screenshot(self, path):
        subprocess.run(["import", "-display", self.env["DISPLAY"], "-window", "root", path],
                       env=self.env, check=True, timeout=60)
        return path

    def words_on_screen(self, left, top, right, bottom, scale=3):
        """The words OCR reads in a screen rectangle, each with its box in
        screen pixels: [(text, left, top, width, height)]."""
        shot = self.screenshot(os.path.join(self.workdir, "screen.png"))
        crop = os.path.join(self.workdir, "crop.png")
        subprocess.run(["convert", shot, "-crop", "%dx%d+%d+%d" % (right - left, bottom - top,
                                                                    left, top),
                        "+repage", "-colorspace", "gray", "-scale", "%d%%" % (scale * 100), crop],
                       check=True, timeout=60)
        tsv = subprocess.run(["tesseract", crop, "-", "--psm", "6", "tsv"], capture_output=True,
                             text=True, timeout=120).stdout
        words = []
        for line in tsv.splitlines()[1:]:
            parts = line.split("\t")
            if len(parts) == 12 and parts[11].strip():
                x, y, w, h = (int(v) for v in parts[6:10])
                words.append((parts[11].strip(), left + x // scale, top + y // scale,
                              max(1, w // scale), max(1, h // scale)))
        return words

    def window_rect(self, window_class):
        code, output = self.run_wine(self.helper("window_rect"), window_class)
        if code != 0:
            return None
        return tuple(int(v) for v in output.split())

    def xdotool(self, *args):
        subprocess.run(["xdotool"] + list(args), env=self.env, check=True, timeout=60)

    def log_lines(self, path):
        try:
            with open(path, encoding="latin-1") as log:
                return log.read().splitlines()
        except FileNotFoundError:
            return []

    def wait_for_line(self, path, line, deadline=60.0):
        """Waits until `line` is in the log; returns the lines before it."""
        def found():
            lines = self.log_lines(path)
            return lines[:lines.index(line)] if line in lines else None
        return wait_for(lambda: found() is not None and (found(),), deadline,
                        what="%r in %s" % (line, os.path.basename(path)))[0]

    def remote(self, *args, check=True):
        done = subprocess.run([REMOTE, "--host", LOCAL] + list(args), capture_output=True,
                              timeout=60)
        if check:
            self.assertEqual(done.returncode, 0, done.stderr.decode())
        return done


class ShellCase(WineTestCase):
    """With the shell's traces of icons and balloons, and the tray menu."""

    def setUp(self):
        super().setUp()
        # The shell's own traces show what it is asked to display.
        self.env["WINEDEBUG"] = "+systray,+tooltips"

    def host_log(self):
        return os.path.join(self.workdir, "Mirovanta2.exe.log")

    def trace_count(self, text):
        try:
            with open(self.host_log(), encoding="latin-1") as log:
                return log.read().count(text)
        except FileNotFoundError:
            return 0

    def wait_trace(self, text, count=1, deadline=60):
        wait_for(lambda: self.trace_count(text) >= count, deadline, what="%r in the shell's trace" % text)

    def connect(self):
        device = socket.create_connection((LOCAL, PORT), timeout=30)
        self.addCleanup(device.close)
        return device

    def read_name(self, device):
        """Everything the host sends until it has been quiet for a second."""
        device.settimeout(10)
        data = device.recv(100)
        device.settimeout(1)
        try:
            while True:
                more = device.recv(100)
                if not more:
                    break
                data += more
        except socket.timeout:
            pass
        return data

    def settle(self):
        peer = self.peer()
        peer.send(PROBE)
        got = peer.receive(30)
        self.assertEqual(got and got[0], PROBE_REPLY)

    def open_menu(self):
        tray = wait_for(lambda: self.window_rect("Shell_TrayWnd"), 60, what="the taskbar")
        self.wait_trace("add_icon id=0x1")
        # Ours is the only icon: at the right end of the taskbar.
        self.xdotool("mousemove", str(tray[2] - 12), str((tray[1] + tray[3]) // 2))
        self.xdotool("click", "3")
        menu = wait_for(lambda: self.window_rect("#32768"), 30, what="the menu")
        words = wait_for(lambda: self.menu_words(menu), 30, what="the menu's text")
        return menu, words

    def menu_words(self, menu):
        words = self.words_on_screen(*menu)
        return words if any(w[0] == "Exit" for w in words) else None

    @staticmethod
    def find_word(words, text):
        """The word itself, or one OCR read with the check mark stuck to it."""
        for word in words:
            if word[0] == text or word[0].endswith(text):
                return word
        raise AssertionError("%r not in the menu: %r" % (text, words))

    def click_word(self, words, text):
        word = self.find_word(words, text)
        self.xdotool("mousemove", str(word[1] + word[3] // 2), str(word[2] + word[4] // 2))
        self.xdotool("click", "1")

    def click_menu_item(self, word):
        menu, words = self.open_menu()
        self.click_word(words, word)
        wait_for(lambda: self.window_rect("#32768") is None, 30, what="the menu to close")
