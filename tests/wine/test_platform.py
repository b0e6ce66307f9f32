"""What the docs claim of the Windows build, checked: the exes need no DLL
beyond Windows' own, the host's view of the network adapters is the real one,
and the presence server's notifications never outlive a closed connection."""
import ipaddress
import json
import os
import re
import shutil
import subprocess
import unittest

from harness import HELPERS, ROOT, WINDOWS_BIN, WineTestCase

SHIPPED = ["Mirovanta2.exe", "Laser.exe", "Open.exe", "mirovanta-remote.exe"]
# DLLs every Windows (7 and later) has in its system folder.
WINDOWS_OWN = {"kernel32.dll", "user32.dll", "gdi32.dll", "advapi32.dll", "shell32.dll",
               "ole32.dll", "oleaut32.dll", "ws2_32.dll", "iphlpapi.dll", "version.dll",
               "comdlg32.dll", "comctl32.dll", "shcore.dll", "msvcrt.dll",
               # The browser remote: CNG's keyed hash and random source, DPAPI,
               # and the Winsock extensions Asio's accept uses.
               "bcrypt.dll", "crypt32.dll", "mswsock.dll",
               # The lock screen and the users of the PC.
               "wtsapi32.dll"}


def imported_dlls(exe):
    objdump = shutil.which("x86_64-w64-mingw32-objdump")
    output = subprocess.run([objdump, "-p", exe], capture_output=True, text=True, check=True).stdout
    return {line.split(":", 1)[1].strip().lower() for line in output.splitlines()
            if line.strip().startswith("DLL Name:")}


def named_dlls(exe):
    """Every DLL name written in the exe: its imports, those it loads at their
    first call (their table is not in the header), and any it loads by name."""
    with open(exe, "rb") as data:
        return {name.decode().lower() for name in re.findall(rb"[A-Za-z0-9_.-]+\.[dD][lL][lL]",
                                                              data.read())}


def foreign(dlls):
    """The DLLs a Windows PC may not have: all but the system's own and the
    universal C runtime's API sets (part of Windows 10 and later)."""
    return sorted(d for d in dlls if d not in WINDOWS_OWN and not d.startswith("api-ms-win-"))


def imported_functions(exe):
    """The names of the functions an exe imports, each DLL's table read from its header."""
    objdump = shutil.which("x86_64-w64-mingw32-objdump")
    output = subprocess.run([objdump, "-p", exe], capture_output=True, text=True, check=True).stdout
    return {line.split()[-1] for line in output.splitlines()
            if re.match(r"^\s+[0-9a-f]+\s+[0-9a-f]+\s+\w+$", line)}


class Imports(unittest.TestCase):

    def test_the_laser_hooks_nothing_of_the_desktop(self):
        """A low-level mouse hook would make every mouse event of every
        program wait for the laser: it follows on its own timer instead."""
        functions = imported_functions(os.path.join(WINDOWS_BIN, "Laser.exe"))
        self.assertIn("SetTimer", functions, "the import table was read")
        self.assertFalse({"SetWindowsHookExA", "SetWindowsHookExW"} & functions)

    def test_the_shipped_exes_import_only_windows_own_dlls(self):
        for name in SHIPPED:
            dlls = imported_dlls(os.path.join(WINDOWS_BIN, name))
            self.assertIn("kernel32.dll", dlls, name)
            self.assertEqual(foreign(dlls), [], name + " needs a DLL Windows does not have")

    def test_the_host_loads_the_window_libraries_only_at_their_first_call(self):
        """So that it answers the remote's search before they are loaded."""
        host = os.path.join(WINDOWS_BIN, "Mirovanta2.exe")
        window_libraries = {"user32.dll", "gdi32.dll", "shell32.dll", "ole32.dll", "oleaut32.dll",
                            # and the others the first answer does without
                            "bcrypt.dll", "crypt32.dll", "mswsock.dll", "iphlpapi.dll",
                            "version.dll", "wtsapi32.dll"}
        self.assertEqual(imported_dlls(host) & window_libraries, set())
        self.assertLessEqual(window_libraries, named_dlls(host))
        self.assertEqual(foreign(named_dlls(host)), [])

    def test_the_check_catches_a_runtime_dll(self):
        self.assertEqual(foreign({"kernel32.dll", "libstdc++-6.dll", "libwinpthread-1.dll"}),
                         ["libstdc++-6.dll", "libwinpthread-1.dll"])


def linux_ipv4_interfaces():
    """ADDRESS/NETMASK of every IPv4 address Linux has, loopback included."""
    output = subprocess.run(["ip", "-4", "-o", "addr", "show"], capture_output=True, text=True,
                            check=True).stdout
    found = set()
    for line in output.splitlines():
        words = line.split()
        network = ipaddress.ip_interface(words[words.index("inet") + 1])
        found.add("%s/%s" % (network.ip, network.netmask))
    return found


class WindowsLayer(WineTestCase):

    def test_the_adapter_list_is_linuxs_own_under_wine(self):
        code, output = self.run_wine(os.path.join(HELPERS, "list_interfaces.exe"))
        self.assertEqual(code, 0, output)
        listed = set(output.split())
        # Wine reports each Linux address with its netmask; the loopback entry
        # stands for the whole of 127/8.
        expected = {entry for entry in linux_ipv4_interfaces() if not entry.startswith("127.")}
        self.assertEqual(listed - {"127.0.0.1/255.0.0.0"}, expected)
        self.assertIn("127.0.0.1/255.0.0.0", listed)

    def test_a_closed_connection_gets_no_more_notifications(self):
        code, output = self.run_wine(os.path.join(HELPERS, "stale_socket_events.exe"))
        self.assertEqual((code, output.strip()), (0, "clean"))

    def test_the_windows_hmac_random_source_and_data_protection(self):
        code, output = self.run_wine(os.path.join(HELPERS, "crypto_vectors.exe"))
        self.assertEqual(code, 0, output)
        lines = output.split()
        self.assertEqual(lines[:2], [
            "b0344c61d8db38535ca8afceaf0bf12b881dc200c9833da726e9376c2e32cff7",
            "5bdcc146bf60754e6a042426089575c75a003f089d2739839dec58b964ec3843"])
        self.assertEqual([len(line) for line in lines[2:4]], [32, 32])
        self.assertNotEqual(lines[2], lines[3])
        self.assertEqual(lines[4:], ["protect", "wrapped", "round-trip", "changed-refused"])

    def test_the_windows_aes_gcm_seals_a_browser_message_as_the_shared_vector_says(self):
        # The vector was computed by Python's cryptography package; the page's
        # test and the native one read the same file.
        with open(os.path.join(ROOT, "tests", "vectors", "browser_channel.json")) as f:
            vector = json.load(f)
        payload = (b"T" + vector["typed"].encode()).hex()
        code, output = self.run_wine(os.path.join(HELPERS, "crypto_vectors.exe"),
                                     vector["to_host"], "2", payload)
        self.assertEqual(code, 0, output)
        self.assertEqual(output.split(), [vector["typed_sealed"], "opened", "refused"])


if __name__ == "__main__":
    unittest.main()
