"""An installer test case: a fresh prefix whose netsh.exe is a stand-in that
logs its command lines, and the steps a user or an administrator takes with
the setup program, the installed files and the uninstall entry."""
import os
import re
import shutil
import subprocess
import time

import harness

BUILD = os.path.dirname(harness.WINDOWS_BIN)


def project_version():
    version = os.environ.get("MIROVANTA_VERSION")
    if version:
        return version
    with open(os.path.join(harness.ROOT, "CMakeLists.txt")) as cmake:
        return re.search(r"project\(Mirovanta2 VERSION ([0-9.]+)", cmake.read()).group(1)


VERSION = project_version()
SETUP = os.path.join(BUILD, "Mirovanta2-Setup-%s.exe" % VERSION)
PORTABLE_ZIP = os.path.join(BUILD, "Mirovanta2-%s-win64.zip" % VERSION)
PROGRAMS = ("Mirovanta2.exe", "Laser.exe", "Open.exe", "mirovanta-remote.exe")
# The licence, and the notices of every library the programs contain.
LICENCE_FILES = ("LICENSE.txt", "THIRD-PARTY-NOTICES.txt")
# A line of each library's notice.
NOTICE_LINES = ("Boost Software License - Version 1.0", "Copyright \u00a9 2022 Project Nayuki",
                "Copyright (c) 2022 Paul Miller", "winpthreads", "GCC RUNTIME LIBRARY EXCEPTION")
INSTALL_DIR = "C:\\Program Files\\Mirovanta 2"
INSTALLED_HOST = INSTALL_DIR + "\\Mirovanta2.exe"
UNINSTALL_KEY = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Mirovanta 2"
START_MENU_LINK = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Mirovanta 2.lnk"
COMMON_STARTUP_LINK = ("C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\Startup\\"
                       "Mirovanta 2.lnk")
NETSH_LOG = "C:\\netsh.log"


def rule(protocol, profiles):
    """The rule the setup adds: "UDP" and "TCP" for port 1565, "browser" for 1566."""
    name, port = (protocol, 1565) if protocol != "browser" else ("browser", 1566)
    return ('advfirewall firewall add rule name="Mirovanta 2 (%s)" dir=in action=allow '
            'protocol=%s localport=%d program="%s" remoteip=localsubnet profile=%s enable=yes'
            % (name, "TCP" if protocol == "browser" else protocol, port, INSTALLED_HOST, profiles))


DELETE_RULES = ['advfirewall firewall delete rule name="Mirovanta 2 (UDP)"',
                'advfirewall firewall delete rule name="Mirovanta 2 (TCP)"',
                'advfirewall firewall delete rule name="Mirovanta 2 (browser)"']


class InstallerCase(harness.WineTestCase):
    def setUp(self):
        if not os.path.exists(SETUP):
            self.fail("missing build output: " + SETUP)
        super().setUp()
        system32 = os.path.join(self.prefix, "drive_c", "windows", "system32")
        shutil.copy(self.helper("netsh_standin"), os.path.join(system32, "netsh.exe"))
        self.env["WINEDLLOVERRIDES"] += ";netsh.exe=n"
        self.env["MIROVANTA_NETSH_LOG"] = NETSH_LOG

    def run_to_end(self, *command):
        """Runs a program to its end. Its output goes to a file, not a pipe: a
        host it starts would hold a pipe open long after it ended."""
        with open(os.path.join(self.workdir, "setup.log"), "ab") as log:
            return subprocess.run(["wine"] + list(command), env=self.env, stdout=log,
                                  stderr=subprocess.STDOUT, timeout=600).returncode

    def install(self, *options):
        """Runs the setup program silently to its end; returns the seconds it took."""
        start = time.monotonic()
        self.assertEqual(self.run_to_end(SETUP, "/S", *options), 0)
        return time.monotonic() - start

    def uninstall(self):
        """Runs the entry's quiet uninstall command, as a management tool does, and
        waits until the folder and the entry are gone (the uninstaller goes on in
        a copy of itself after the command returns); returns the seconds it took."""
        command = self.uninstall_entry()["QuietUninstallString"]
        program, arguments = re.fullmatch(r'"([^"]+)" (.*)', command).groups()
        start = time.monotonic()
        self.run_to_end(program, *arguments.split())
        harness.wait_for(lambda: not os.path.exists(self.unix_path(INSTALL_DIR))
                         and not self.uninstall_entry(), 300,
                         what="the uninstaller to finish")
        return time.monotonic() - start

    def uninstall_entry(self):
        """The values of the uninstall entry, {} when there is none."""
        done = subprocess.run(["wine", "reg", "query", UNINSTALL_KEY], env=self.env,
                              capture_output=True, timeout=120)
        values = {}
        for line in done.stdout.decode("latin-1").splitlines():
            parts = line.strip().split(None, 2)
            if len(parts) == 3 and parts[1].startswith("REG_"):
                values[parts[0]] = parts[2]
        return values

    def unix_path(self, windows_path):
        """Where a C: path lies on the Linux side, whatever the case of the names
        Wine gave its folders ("StartUp")."""
        path = os.path.join(self.prefix, "drive_c")
        for name in windows_path[3:].split("\\"):
            try:
                name = next((n for n in os.listdir(path) if n.lower() == name.lower()), name)
            except OSError:
                pass
            path = os.path.join(path, name)
        return path

    def netsh_calls(self):
        """The stand-in's command lines, without the program's own path."""
        lines = self.log_lines(self.unix_path(NETSH_LOG))
        return [re.sub(r'^("[^"]*"|\S+)\s+', "", line) for line in lines]

    def installed_files(self):
        folder = self.unix_path(INSTALL_DIR)
        return sorted(os.listdir(folder)) if os.path.isdir(folder) else []

    def same_as_build(self, name):
        with open(os.path.join(self.unix_path(INSTALL_DIR), name), "rb") as installed, \
                open(os.path.join(harness.WINDOWS_BIN, name), "rb") as built:
            return installed.read() == built.read()

    def host_pids(self):
        """Linux process ids of the installed host's processes."""
        pids = []
        for pid in filter(str.isdigit, os.listdir("/proc")):
            try:
                with open("/proc/%s/cmdline" % pid, "rb") as cmdline:
                    words = cmdline.read().decode("latin-1").split("\0")
                with open("/proc/%s/environ" % pid, "rb") as environ:
                    mine = ("WINEPREFIX=" + self.prefix).encode() in environ.read().split(b"\0")
            except OSError:
                continue
            if mine and any(w.lower() == INSTALLED_HOST.lower() for w in words):
                pids.append(int(pid))
        return pids

    def start_from_start_menu(self):
        """Starts the host as a user does, by its Start-menu shortcut, and waits
        until it answers a probe and its presence port listens (its start is
        complete)."""
        self.processes.append(subprocess.Popen(
            ["wine", "start", START_MENU_LINK], env=self.env, stdout=subprocess.DEVNULL,
            stderr=subprocess.DEVNULL))
        peer = self.peer()
        harness.wait_for(lambda: self.probe_answered(peer), 120,
                         what="the installed host to answer a probe")
        harness.wait_for(lambda: harness.tcp_listening(harness.PORT), 120,
                         what="the installed host's presence port to listen")

    def user_startup_link(self):
        users = os.path.join(self.prefix, "drive_c", "users")
        user = [u for u in os.listdir(users) if u != "Public"][0]
        return self.unix_path("C:\\users\\%s\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\"
                              "Programs\\Startup\\Mirovanta 2.lnk" % user)
