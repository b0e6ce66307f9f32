"""The presence channel, the tray icon and its menu, the balloons and the
autostart shortcut of the real host under Wine."""
import os
import shutil
import socket
import struct
import subprocess
import time
import unittest

from harness import LOCAL, PORT, PROBE, PROBE_REPLY, ROOT, ShellCase, WineTestCase, wait_for

OUTPUT = os.path.join(ROOT, "build", "test-output")
COMMON_STARTUP = "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp"
SHELL_FOLDERS = "HKLM\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders"


class Presence(ShellCase):

    def test_each_device_receives_exactly_the_computer_name(self):
        self.start_host()
        name = self.computer_name().encode()
        self.assertTrue(name)
        first, second = self.connect(), self.connect()
        self.assertEqual(self.read_name(first), name)
        self.assertEqual(self.read_name(second), name)

    def test_connect_and_disconnect_show_their_balloons(self):
        self.start_host()
        device = self.connect()
        self.read_name(device)
        self.wait_trace('title = L"Device Connected"')
        self.wait_trace('add text L"Device IP : 127.0.0.1"')
        device.close()
        self.wait_trace('title = L"Device Disconnected"')
        self.assertEqual(self.trace_count('add text L"Device IP : 127.0.0.1"'), 2)

    def test_a_device_that_sends_data_keeps_its_connection(self):
        self.start_host()
        device = self.connect()
        self.read_name(device)
        device.sendall(b"hello host" * 100)
        device.settimeout(3)
        with self.assertRaises(socket.timeout):
            device.recv(100)  # neither an answer nor a close
        self.settle()

    def test_a_reset_connection_is_a_device_that_left_and_shows_no_box(self):
        self.start_host()
        device = self.connect()
        self.read_name(device)
        self.wait_trace('title = L"Device Connected"')
        device.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
        device.close()
        self.wait_trace('title = L"Device Disconnected"')
        code, output = self.run_wine(self.helper("read_message_box"), "3")
        self.assertEqual(output.strip(), "no message box")
        self.assertEqual(self.read_name(self.connect()), self.computer_name().encode())


class TrayMenu(ShellCase):

    def check_mark_shown(self, menu, words):
        """Dark pixels on the autostart line left of the text column (where
        "Exit" starts): the check mark."""
        line = self.find_word(words, "windows")
        text_column = self.find_word(words, "Exit")[1]
        shot = self.screenshot(os.path.join(self.workdir, "mark.png"))
        box = "%dx%d+%d+%d" % (text_column - menu[0] - 4, line[4] + 6, menu[0] + 2, line[2] - 3)
        dark = subprocess.run(["convert", shot, "-crop", box, "+repage", "-colorspace", "gray",
                               "-threshold", "50%", "-negate", "-format", "%[fx:mean]", "info:"],
                              capture_output=True, text=True, check=True).stdout
        return float(dark) > 0.02

    def save_screenshot(self, name):
        os.makedirs(OUTPUT, exist_ok=True)
        shutil.copy(self.screenshot(os.path.join(self.workdir, name)), os.path.join(OUTPUT, name))

    def test_right_click_shows_name_addresses_and_the_autostart_item(self):
        self.start_host()
        menu, words = self.open_menu()
        self.save_screenshot("tray-menu.png")
        text = " ".join(w[0] for w in words)
        self.assertIn(self.computer_name() + " Local IP Address", text)
        self.assertIn("Run with windows start", text)
        self.assertIn("127.0.0.1", text)
        self.assertFalse(self.check_mark_shown(menu, words), "no shortcut yet: no mark")
        self.xdotool("key", "Escape")

    def test_exit_ends_the_host_and_removes_its_icon(self):
        host = self.start_host()
        menu, words = self.open_menu()
        self.click_word(words, "Exit")
        wait_for(lambda: host.poll() is not None, 60, what="the host to end")
        self.assertEqual(host.returncode, 0)
        self.wait_trace("hide_icon id=0x1")

    def shortcut(self, folder):
        return self.unix_path(folder + "\\Mirovanta 2.lnk")

    def read_shortcut(self, folder):
        code, output = self.run_wine(self.helper("read_shortcut"), folder + "\\Mirovanta 2.lnk")
        self.assertEqual(code, 0, output)
        return output.replace("\r", "")

    def test_the_autostart_item_writes_and_removes_the_all_users_shortcut(self):
        self.start_host()
        menu, words = self.open_menu()
        self.click_word(words, "windows")
        wait_for(lambda: os.path.exists(self.shortcut(COMMON_STARTUP)), 60, what="the shortcut")
        shortcut = self.read_shortcut(COMMON_STARTUP)
        self.assertIn("description: Mirovanta 2\n", shortcut)
        self.assertRegex(shortcut, r"target: .*\\app\\Mirovanta2\.exe\n")
        menu, words = self.open_menu()
        self.save_screenshot("tray-menu-checked.png")
        self.assertTrue(self.check_mark_shown(menu, words))
        self.click_word(words, "windows")
        wait_for(lambda: not os.path.exists(self.shortcut(COMMON_STARTUP)), 60,
                 what="the shortcut to go")

    def test_an_unwritable_all_users_folder_puts_the_shortcut_in_the_users_folder(self):
        self.reg_add(SHELL_FOLDERS, "Common Startup", "C:\\No Such Folder")
        user_folder = "C:\\users\\%s\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\StartUp" % (
            os.path.basename(os.path.dirname(os.path.dirname(self.store_file()))))
        self.start_host()
        menu, words = self.open_menu()
        self.click_word(words, "windows")
        wait_for(lambda: os.path.exists(self.shortcut(user_folder)), 60, what="the user's shortcut")
        menu, words = self.open_menu()
        self.assertTrue(self.check_mark_shown(menu, words))
        self.xdotool("key", "Escape")

    def test_a_new_taskbar_gets_the_icon_again(self):
        self.start_host()
        self.wait_trace("add_icon id=0x1")
        code, output = self.run_wine(self.helper("tray_control"), "remove")
        self.assertEqual(code, 0, output)
        self.wait_trace("hide_icon id=0x1")
        code, output = self.run_wine(self.helper("tray_control"), "taskbar-created")
        self.assertEqual(code, 0, output)
        self.wait_trace("add_icon id=0x1", count=2)


if __name__ == "__main__":
    unittest.main()
