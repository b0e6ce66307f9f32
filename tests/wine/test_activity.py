"""What the person at the PC sees of the remote's use, under Wine: the
activity log's lines for a real device's visit, a far sender's refusals, the
pause hotkey pressed on the X server's keyboard, muted balloons, the in-use
icon and the menu item that opens the log. Devices are test hosts in network
namespaces of their own, as in test_access."""
import os
import re
import subprocess
import time
import unittest

from harness import wait_for
from test_access import PLAY_ENTER, TAB_UP, AccessCase

UTILITY = "C:\\Program Files (x86)\\ZANTRIX\\Vostrel\\ORB.exe"
LAUNCH_ORLEMBA = "15650401" + "02"
TYPE_HELLO = "15650200" + b"hello".hex()


class ActivityCase(AccessCase):

    def log_path(self):
        return self.unix_path(self.windows_variable("LOCALAPPDATA") + "\\Mirovanta 2\\activity.log")

    def activity(self):
        """The log's lines without their time stamps."""
        try:
            with open(self.log_path(), encoding="utf-8") as log:
                return [line.rstrip("\r\n")[21:] for line in log]
        except FileNotFoundError:
            return []

    def wait_activity(self, text, deadline=60):
        return wait_for(lambda: [l for l in self.activity() if l.endswith(text)] or None, deadline,
                        what="%r in the activity log" % text)

    def icon_pixels(self):
        """The tray icon's crop, as the mean of its red, green and blue."""
        tray = self.window_rect("Shell_TrayWnd")
        x, y = tray[2] - 12, (tray[1] + tray[3]) // 2
        shot = self.screenshot(os.path.join(self.workdir, "tray.png"))
        mean = subprocess.run(["convert", shot, "-crop", "8x8+%d+%d" % (x, y), "+repage",
                               "-format", "%[fx:mean.r] %[fx:mean.g] %[fx:mean.b]", "info:"],
                              capture_output=True, text=True, check=True).stdout
        return tuple(float(v) for v in mean.split())

    def in_use_mark(self):
        """The green mark at the icon's bottom right: green well above red and blue."""
        r, g, b = self.icon_pixels()
        return g - max(r, b) > 0.05


class DeviceVisit(ActivityCase):

    def test_the_log_tells_a_visit_in_order_and_typed_text_only_by_its_length(self):
        self.install_program(UTILITY)
        self.start_with_target()
        # The device holds its presence connection through the visit.
        self.assertEqual(self.near.ask("storm", self.net.host_address, 1, "keep"),
                         "open 1 closed 0")
        self.answer("Allow")
        self.near_sends(TYPE_HELLO)
        self.near_sends(LAUNCH_ORLEMBA)
        self.wait_activity("started Orlemba")
        self.assertEqual(self.near.ask("release"), "released 1")
        self.wait_activity("disconnected")
        near = [l for l in self.activity() if l.startswith(self.net.near_address + " ")]
        words = [re.sub(r"^\S+( \([0-9a-f-]{17}\))?  ", "", l) for l in near]
        self.assertEqual(words, ["connected", "asked whether it may control this PC", "allowed",
                                 "typed 5 characters", "started Orlemba", "disconnected"])
        with open(self.log_path(), encoding="utf-8") as log:
            self.assertNotIn("hello", log.read())

    def test_a_far_senders_commands_make_one_refusal_line(self):
        self.start_with_target()
        for _ in range(5):
            self.far_sends(PLAY_ENTER)
        self.marker()
        self.wait_activity("refused: not on this PC's network")
        far = [l for l in self.activity() if l.startswith(self.net.far_address)]
        self.assertEqual(far, [self.net.far_address + "  refused: not on this PC's network"])


class PauseHotkey(ActivityCase):

    def test_ctrl_alt_shift_p_pauses_and_resumes(self):
        self.start_with_target()
        self.xdotool("key", "ctrl+alt+shift+p")
        self.wait_activity("remote control paused")
        tabs = sum(1 for l in self.target_lines() if l.startswith(TAB_UP))
        self.remote("page", "3", "tab")
        self.assertTrue(self.probe_answered(self.peer(), 30), "the host still answers")
        self.assertEqual(sum(1 for l in self.target_lines() if l.startswith(TAB_UP)), tabs,
                         "a command while paused did nothing")
        self.xdotool("key", "ctrl+alt+shift+p")
        self.wait_activity("remote control resumed")
        self.marker()


class TrayShows(ActivityCase):

    def test_the_icon_shows_a_connected_device_and_turns_back_a_minute_after_it_left(self):
        self.start_host()
        self.settle()
        self.assertFalse(self.in_use_mark())
        device = self.connect()
        self.read_name(device)
        wait_for(self.in_use_mark, 60, what="the in-use icon")
        self.remote("page", "3", "tab")
        commanded = time.monotonic()
        device.close()
        self.wait_activity("disconnected")
        self.assertTrue(self.in_use_mark(), "a command in the last minute keeps it in use")
        wait_for(lambda: not self.in_use_mark(), 180, interval=1, what="the usual icon again")
        took = time.monotonic() - commanded
        print("in-use icon: back to the usual one %.0f s after the last command" % took)
        self.assertGreaterEqual(took, 55)

    def menu_windows(self, window_class="#32768"):
        code, output = self.run_wine(self.helper("list_windows"), window_class)
        return [tuple(int(v) for v in line.split()[1:5]) for line in output.splitlines()
                if line.startswith("window ")]

    def words_near(self, rect, text):
        words = self.words_on_screen(*rect)
        return words if any(text in word[0] for word in words) else None

    def test_the_tip_and_the_devices_menu_name_a_connected_device(self):
        self.start_host()
        # Without the "Device Connected" balloon, which is a tooltip window
        # too, names the address, and keeps the tip away while it shows.
        self.click_menu_item("balloons")
        self.read_name(self.connect())
        self.wait_activity("127.0.0.1  connected")
        tray = wait_for(lambda: self.window_rect("Shell_TrayWnd"), 60, what="the taskbar")
        x, y = tray[2] - 12, (tray[1] + tray[3]) // 2
        hovered = [0.0, 0]

        def tip_words():
            # A tip that did not come, or went, comes back after the pointer
            # moves over the icon again, as a user's would.
            if time.monotonic() - hovered[0] > 5:
                hovered[1] ^= 1
                self.xdotool("mousemove", str(x - hovered[1]), str(y))
                hovered[0] = time.monotonic()
            for rect in self.menu_windows("tooltips_class32"):
                words = self.words_near(rect, "127.0.0.1")
                if words and "connected" in [w[0] for w in words]:
                    return words
            return None

        wait_for(tip_words, 60, what="the tip naming the device as connected")
        menu, words = self.open_menu()
        self.click_word(words, "Devices")
        submenu = wait_for(lambda: [r for r in self.menu_windows() if r != menu] or None, 30,
                           what="the Devices submenu")[0]
        words = wait_for(lambda: self.words_near(submenu, "connected"), 30,
                         what="the submenu's words")
        self.assertIn("127.0.0.1", " ".join(w[0] for w in words))

    def test_with_balloons_off_a_connection_shows_none_and_the_log_has_it(self):
        self.start_host()
        self.click_menu_item("balloons")
        self.read_name(self.connect())
        self.wait_activity("127.0.0.1  connected")
        self.assertEqual(self.trace_count("Device IP : 127.0.0.1"), 0)

    def test_open_activity_log_starts_an_editor_on_the_file(self):
        self.start_host()
        self.click_menu_item("log")
        # Wine opens .log files in its Notepad.
        wait_for(lambda: self.window_rect("Notepad") is not None, 60, what="Notepad")
        code, output = self.run_wine(self.helper("read_window_text"), "Notepad", "Edit")
        self.assertIn("Mirovanta 2 started", output)


if __name__ == "__main__":
    unittest.main()
