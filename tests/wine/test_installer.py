"""The setup program, its upgrade and its uninstaller under Wine, on fresh
prefixes whose netsh.exe logs what it is asked; and the portable zip."""
import os
import subprocess
import unittest
import zipfile

import harness
import installed
from installed import (COMMON_STARTUP_LINK, DELETE_RULES, INSTALL_DIR, INSTALLED_HOST, PROGRAMS,
                       START_MENU_LINK, VERSION, rule)


class SilentInstall(installed.InstallerCase):
    def test_puts_files_shortcut_entry_and_subnet_rules_in_place_and_the_shortcut_starts_the_host(self):
        self.install()
        self.assertEqual(self.installed_files(),
                         sorted(PROGRAMS + installed.LICENCE_FILES + ("uninstall.exe",)))
        for name in PROGRAMS:
            self.assertTrue(self.same_as_build(name), name)
        with open(os.path.join(self.unix_path(INSTALL_DIR), "THIRD-PARTY-NOTICES.txt"),
                  encoding="utf-8") as notices:
            text = notices.read()
        for line in installed.NOTICE_LINES:
            self.assertIn(line, text)

        code, link = self.run_wine(self.helper("read_shortcut"), START_MENU_LINK)
        self.assertEqual(code, 0)
        self.assertIn("target: " + INSTALLED_HOST, link)
        self.assertFalse(os.path.exists(self.unix_path(COMMON_STARTUP_LINK)),
                         "autostart is off unless chosen")

        entry = self.uninstall_entry()
        self.assertEqual(entry["DisplayName"], "Mirovanta 2")
        self.assertEqual(entry["DisplayVersion"], VERSION)
        self.assertEqual(entry["DisplayIcon"], INSTALLED_HOST + ",0")
        self.assertEqual(entry["UninstallString"], '"%s\\uninstall.exe"' % INSTALL_DIR)
        self.assertEqual(entry["QuietUninstallString"], '"%s\\uninstall.exe" /S' % INSTALL_DIR)
        self.assertGreater(int(entry["EstimatedSize"], 16), 500, "size in KB")

        self.assertEqual(self.netsh_calls(),
                         DELETE_RULES + [rule("UDP", "private,domain"),
                                         rule("TCP", "private,domain"),
                                         rule("browser", "private,domain")])

        # The one version shows in the entry and in the programs themselves.
        code, output = self.run_wine(self.unix_path(INSTALL_DIR + "\\mirovanta-remote.exe"),
                                     "--version")
        self.assertEqual((code, output.strip()), (0, "mirovanta-remote " + VERSION))

        self.start_from_start_menu()
        self.assertEqual(len(self.host_pids()), 1)

    def test_public_networks_autostart_and_only_paired_browsers_are_set_when_chosen(self):
        self.install("/AUTOSTART=1", "/PUBLIC=1", "/BROWSERONLY=1")
        # The tray menu's switch, as the host reads it at its first start.
        words = self.run_wine("reg", "query", "HKCU\\Software\\Mirovanta 2", "/v",
                              "OnlyPairedBrowsers")[1].split()
        self.assertIn("OnlyPairedBrowsers", words)
        self.assertEqual(words[words.index("OnlyPairedBrowsers") + 1:][:2], ["REG_SZ", "1"])
        self.assertEqual(self.netsh_calls()[len(DELETE_RULES):],
                         [rule("UDP", "private,domain,public"),
                          rule("TCP", "private,domain,public"),
                          rule("browser", "private,domain,public")])
        code, link = self.run_wine(self.helper("read_shortcut"), COMMON_STARTUP_LINK)
        self.assertEqual(code, 0)
        self.assertIn("target: " + INSTALLED_HOST, link)
        self.assertIn("description: Mirovanta 2", link)


class Upgrade(installed.InstallerCase):
    def test_over_a_running_host_leaves_one_new_host_and_keeps_choices_and_user_data(self):
        self.install("/AUTOSTART=1", "/PUBLIC=1")
        self.start_from_start_menu()
        old_host = self.host_pids()
        self.assertEqual(len(old_host), 1)
        # Files of an older version, and what the user's host keeps.
        for name in ("Laser.exe", "Open.exe"):
            with open(os.path.join(self.unix_path(INSTALL_DIR), name), "wb") as old:
                old.write(b"MZ an older version")
        self.reg_add("HKCU\\Software\\Mirovanta 2\\Devices", "3c-22-fb-01-02-03", "192.168.1.23")
        store = self.store_file()
        with open(store, "w", newline="") as kept:
            kept.write("[Paths]\r\nkept=1\r\n")
        before = len(self.netsh_calls())

        self.install()

        harness.wait_for(lambda: len(self.host_pids()) == 1 and self.host_pids() != old_host, 120,
                         what="one host, started anew")
        peer = self.peer()
        harness.wait_for(lambda: self.probe_answered(peer), 120, what="the new host to answer")
        for name in PROGRAMS:
            self.assertTrue(self.same_as_build(name), name)
        self.assertEqual(self.netsh_calls()[before:],
                         DELETE_RULES + [rule("UDP", "private,domain,public"),
                                         rule("TCP", "private,domain,public"),
                                         rule("browser", "private,domain,public")],
                         "rules replaced, the public choice kept")
        self.assertTrue(os.path.exists(self.unix_path(COMMON_STARTUP_LINK)))
        with open(store, newline="") as kept:
            self.assertEqual(kept.read(), "[Paths]\r\nkept=1\r\n")
        self.assertIn("3c-22-fb-01-02-03", self.run_wine(
            "reg", "query", "HKCU\\Software\\Mirovanta 2\\Devices")[1])


class SilentUninstall(installed.InstallerCase):
    def test_stops_the_host_and_removes_files_shortcuts_rules_and_entry(self):
        self.install("/AUTOSTART=1")
        self.start_from_start_menu()
        # The tray item writes the user's own Startup shortcut where the
        # all-users folder is not writable: it goes too.
        user_link = self.user_startup_link()
        os.makedirs(os.path.dirname(user_link), exist_ok=True)
        with open(self.unix_path(COMMON_STARTUP_LINK), "rb") as common, \
                open(user_link, "wb") as own:
            own.write(common.read())
        before = len(self.netsh_calls())

        self.uninstall()

        harness.wait_for(lambda: not self.host_pids(), 60, what="the host to end")
        self.assertFalse(os.path.exists(self.unix_path(INSTALL_DIR)))
        for link in (START_MENU_LINK, COMMON_STARTUP_LINK):
            self.assertFalse(os.path.exists(self.unix_path(link)), link)
        self.assertFalse(os.path.exists(user_link))
        self.assertEqual(self.netsh_calls()[before:], DELETE_RULES)
        self.assertEqual(self.uninstall_entry(), {})


class InteractiveInstall(installed.InstallerCase):
    def test_the_first_page_shows_the_licence_and_i_agree_leads_on(self):
        self.start_wine(installed.SETUP)

        def child(text):
            # While the setup starts, Wine seldom holds a new program's start
            # for minutes: such a look is given up and made again.
            try:
                code, output = self.run_wine(self.helper("child_rect"), "#32770", text, timeout=20)
            except subprocess.TimeoutExpired:
                return None
            return tuple(int(v) for v in output.split()) if code == 0 else None

        def words_in(rect):
            return [word[0] for word in self.words_on_screen(*rect)] if rect else []

        # What the user reads on the first page, off the screen.
        box = harness.wait_for(lambda: child("class:RichEdit20W"), 120, what="the licence page")
        words = harness.wait_for(lambda: words_in(box) if "MIT" in words_in(box) else None, 60,
                                 what="the licence's words")
        for word in ("License", "ZANTRIX", "Permission"):
            self.assertIn(word, words)
        agree = child("I &Agree")
        self.xdotool("mousemove", str((agree[0] + agree[2]) // 2), str((agree[1] + agree[3]) // 2))
        self.xdotool("click", "1")
        harness.wait_for(lambda: child("Destination Folder"), 60,
                         what="the folder page after I Agree")


class PortableZip(unittest.TestCase):
    def test_holds_the_four_programs_as_built_a_readme_the_licence_and_the_notices(self):
        with zipfile.ZipFile(installed.PORTABLE_ZIP) as archive:
            self.assertEqual(sorted(archive.namelist()),
                             sorted(PROGRAMS + installed.LICENCE_FILES + ("README.txt",)))
            licence = archive.read("LICENSE.txt").decode("ascii")
            notices = archive.read("THIRD-PARTY-NOTICES.txt").decode("utf-8")
            for name in PROGRAMS:
                with open(os.path.join(harness.WINDOWS_BIN, name), "rb") as built:
                    self.assertEqual(archive.read(name), built.read(), name)
            readme = archive.read("README.txt").decode("ascii")
        self.assertIn("Mirovanta 2 " + VERSION, readme)
        self.assertIn("\r\n", readme, "Windows line ends, for Notepad")
        self.assertIn("Mirovanta2.exe /exit", readme)
        self.assertIn("LICENSE.txt", readme)
        self.assertTrue(licence.startswith("MIT License\r\n"))
        for line in installed.NOTICE_LINES:
            self.assertIn(line, notices)


if __name__ == "__main__":
    unittest.main()
