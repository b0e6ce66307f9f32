"""The real companion programs beside the real host under Wine: the laser
pointer overlay and the application locator."""
import os
import shutil
import subprocess
import unittest

from harness import PROBE, PROBE_REPLY, WINDOWS_BIN, WineTestCase, past_repeat_gap, wait_for


# The dot's image at 100 % scaling: a 24-pixel dot whose glow reaches twice
# its radius, 49 pixels square.
DOT_WINDOW_MOST = 49


class CompanionCase(WineTestCase):

    def install_companion(self, name):
        shutil.copy(os.path.join(WINDOWS_BIN, name), os.path.join(self.app_dir(), name))

    def settle(self):
        peer = self.peer()
        peer.send(PROBE)
        got = peer.receive(30)
        self.assertEqual(got and got[0], PROBE_REPLY)

    def pixel(self, shot, x, y):
        """(r, g, b) of one screen pixel."""
        text = subprocess.run(["convert", shot, "-format", "%%[fx:int(255*p{%d,%d}.r)] "
                               "%%[fx:int(255*p{%d,%d}.g)] %%[fx:int(255*p{%d,%d}.b)]"
                               % (x, y, x, y, x, y), "info:"],
                              capture_output=True, text=True, check=True).stdout
        return tuple(int(v) for v in text.split())


class Laser(CompanionCase):

    def test_the_dot_follows_remote_moves_and_clicks_pass_through(self):
        self.install_companion("Laser.exe")
        self.start_host()
        target = os.path.join(self.workdir, "target.log")
        self.start_wine(self.helper("key_target"), target)
        self.wait_for_line(target, "ready")
        self.xdotool("mousemove", "400", "300")
        before = self.screenshot(os.path.join(self.workdir, "before.png"))
        self.remote("page", "3", "laser-on")
        wait_for(lambda: self.window_rect("TLaserForm"), 60, what="the laser window")
        self.remote("move", "50", "40")

        def dot_at_pointer():
            shot = self.screenshot(os.path.join(self.workdir, "laser.png"))
            # Just off the white-hot centre the dot is plain red.
            r, g, b = self.pixel(shot, 455, 340)
            return r > 180 and r - max(g, b) > 100 and shot
        shot = wait_for(dot_at_pointer, 60, what="the red dot at the pointer")
        for x, y in ((100, 100), (700, 500), (450, 250), (300, 340)):
            self.assertEqual(self.pixel(shot, x, y), self.pixel(before, x, y),
                             "nothing else on screen changes at %d,%d" % (x, y))
        self.assert_dot_window_at(450, 340)
        # The click lands on the window under the dot, not on the dot.
        self.remote("click", "left")
        self.wait_for_line(target, "button left up")
        self.remote("page", "3", "laser-off")
        wait_for(lambda: self.window_rect("TLaserForm") is None, 60, what="the overlay to close")

    def assert_dot_window_at(self, x, y):
        """The overlay is a window the size of the dot with its glow, on the pointer."""
        left, top, right, bottom = self.window_rect("TLaserForm")
        self.assertLessEqual(right - left, DOT_WINDOW_MOST, "no larger than the dot")
        self.assertLessEqual(bottom - top, DOT_WINDOW_MOST, "no larger than the dot")
        self.assertEqual(((left + right) // 2, (top + bottom) // 2), (x, y), "centred on the pointer")

    def test_the_dot_follows_the_pointer_across_the_screen(self):
        self.install_companion("Laser.exe")
        self.start_host()
        self.xdotool("mousemove", "400", "300")
        self.remote("page", "3", "laser-on")
        wait_for(lambda: self.red_at(405, 300), 60, what="the red dot at the pointer")
        for x, y in ((30, 30), (990, 40), (980, 730), (40, 720), (512, 384)):
            self.xdotool("mousemove", str(x), str(y))
            wait_for(lambda: self.red_at(x + 5, y), 60, what="the dot at %d,%d" % (x, y))
            self.assert_dot_window_at(x, y)
        self.remote("page", "3", "laser-off")
        wait_for(lambda: self.window_rect("TLaserForm") is None, 60, what="the overlay to close")

    def red_at(self, x, y):
        shot = self.screenshot(os.path.join(self.workdir, "laser.png"))
        r, g, b = self.pixel(shot, x, y)
        return r > 180 and r - max(g, b) > 100

    def test_after_a_display_change_the_dot_comes_back_at_the_pointer(self):
        self.install_companion("Laser.exe")
        self.start_host()
        self.xdotool("mousemove", "400", "300")
        self.remote("page", "3", "laser-on")
        wait_for(lambda: self.red_at(405, 300), 60, what="the red dot at the pointer")
        # What Windows sends every top-level window after a resolution or
        # monitor change: WM_DISPLAYCHANGE with the new depth and size.
        code, output = self.run_wine(self.helper("close_window"), "TLaserForm", "Laser", "0x7E",
                                     "32", str(768 << 16 | 1024))
        self.assertEqual(code, 0, output)
        self.xdotool("mousemove", "600", "500")
        wait_for(lambda: self.red_at(605, 500), 60, what="the dot at the pointer after the change")
        self.assert_dot_window_at(600, 500)
        # The host still counts it as running: laser-off closes it.
        self.remote("page", "3", "laser-off")
        wait_for(lambda: self.window_rect("TLaserForm") is None, 60, what="the overlay to close")

    def test_a_second_start_leaves_the_running_dot_alone(self):
        self.install_companion("Laser.exe")
        self.start_host()
        first = self.start_wine(os.path.join(self.app_dir(), "Laser.exe"), "-d")
        wait_for(lambda: self.window_rect("TLaserForm"), 60, what="the laser window")
        second = self.start_wine(os.path.join(self.app_dir(), "Laser.exe"), "-d")
        wait_for(lambda: second.poll() is not None, 60, what="the second copy to end")
        self.assertIsNone(first.poll())


class Locator(CompanionCase):

    def setUp(self):
        super().setUp()
        self.install_companion("Open.exe")
        self.player = "C:\\My Players\\MyStorm.exe"
        self.player_log = self.install_program(self.player) + ".log"

    def store_text(self):
        try:
            with open(self.store_file(), "rb") as store:
                return store.read()
        except FileNotFoundError:
            return b""

    def dialog_title(self):
        code, output = self.run_wine(self.helper("read_window_text"), "#32770")
        return output.strip() if code == 0 else None

    def test_a_located_program_is_stored_and_started_by_the_next_launch(self):
        self.start_host()
        self.remote("page", "4", "launch")
        self.assertEqual(wait_for(self.dialog_title, 60, what="the open dialog"), "Locate Storm")
        self.xdotool("type", "--delay", "20", self.player)
        self.xdotool("key", "Return")
        # The file exists a moment before its lines are in it: wait for a whole line.
        wait_for(lambda: self.store_text().endswith(b"\r\n"), 60, what="the store file's line")
        self.assertEqual(self.store_text(), b"[1-4App]\r\nPath=" + self.player.encode() + b"\r\n")
        past_repeat_gap()
        self.remote("page", "4", "launch")
        wait_for(lambda: self.log_lines(self.player_log), 60, what="the located player to start")

    def dialogs(self):
        """(work area, [(left, top, right, bottom, foreground, title)]) of the open dialogs."""
        code, output = self.run_wine(self.helper("list_windows"), "#32770")
        self.assertEqual(code, 0, output)
        area, found = None, []
        for line in output.splitlines():
            words = line.split(" ", 6)
            if words[0] == "workarea":
                area = tuple(int(v) for v in words[1:5])
            elif words[0] == "window" and words[6].startswith("Locate "):
                found.append(tuple(int(v) for v in words[1:6]) + (words[6].strip(),))
        return area, found

    def locators_running(self):
        return int(self.run_wine(self.helper("count_processes"), "Open.exe")[1].strip() or -1)

    def test_one_locator_at_a_time_centred_and_in_front(self):
        self.start_host()
        self.remote("page", "4", "launch")
        self.assertEqual(wait_for(self.dialog_title, 60, what="the open dialog"), "Locate Storm")
        # Another program the host cannot find: a second Open.exe starts and
        # hands over to the first.
        self.remote("utility", "2", "launch")
        self.settle()
        wait_for(lambda: self.locators_running() == 1, 60, what="the second Open.exe to leave")
        area, dialogs = wait_for(lambda: (lambda d: d if len(d[1]) == 1 and d[1][0][4] else None)(
            self.dialogs()), 60, what="the first dialog alone and in front")
        left, top, right, bottom, _, title = dialogs[0]
        self.assertEqual(title, "Locate Storm")
        self.assertLessEqual(abs((left + right) - (area[0] + area[2])), 2, "centred across")
        self.assertLessEqual(abs((top + bottom) - (area[1] + area[3])), 2, "centred down")

    def test_cancel_writes_nothing(self):
        self.start_host()
        self.remote("utility", "2", "launch")
        self.assertEqual(wait_for(self.dialog_title, 60, what="the open dialog"), "Locate QUELLIN")
        self.xdotool("key", "Escape")
        wait_for(lambda: self.dialog_title() is None, 60, what="the dialog to close")
        self.assertFalse(os.path.exists(self.store_file()))

    def test_an_unknown_parameter_shows_what_it_accepts_and_writes_nothing(self):
        locator = self.start_wine(os.path.join(self.app_dir(), "Open.exe"), "1_9App")
        code, output = self.run_wine(self.helper("read_message_box"), "60")
        self.assertEqual(code, 0, output)
        self.assertIn("1_2App", output)
        self.assertIn("4_4App", output)
        wait_for(lambda: locator.poll() is not None, 60, what="Open.exe to end")
        self.assertFalse(os.path.exists(self.store_file()))


if __name__ == "__main__":
    unittest.main()
