"""Keys, chords, pointer, text and the laser companion, from the remote into
real windows under Wine."""
import os
import re
import shutil
import unittest

from harness import PROBE, PROBE_REPLY, WineTestCase, wait_for

KEY_LINE = re.compile(r"key (down|up) vk=0x([0-9A-F]{2}) scan=0x([0-9A-F]{2}) ext=(\d)")

CTRL, SHIFT, ALT, ENTER, TAB, WIN = 0x11, 0x10, 0x12, 0x0D, 0x09, 0x5B
LEFT, PGUP, PGDN = 0x25, 0x21, 0x22
EXTENDED = {0x21, 0x22, 0x23, 0x24, 0x25, 0x26, 0x27, 0x28, 0x2D, 0x2E, 0x5B, 0x5C}


def press(*keys):
    """The events of keys pressed in order and released in reverse."""
    return [("down", k) for k in keys] + [("up", k) for k in reversed(keys)]


class KeyTargetCase(WineTestCase):
    """The host and a focused window that writes down what it receives."""

    def setUp(self):
        super().setUp()
        self.start_host()
        self.log = os.path.join(self.workdir, "target.log")
        self.start_wine(self.helper("key_target"), self.log)
        self.wait_for_line(self.log, "ready")

    def events_until_marker(self):
        """What the target received up to a Tab sent last as a marker: the host
        handles datagrams in order, so nothing sent before it can come later."""
        self.remote("page", "3", "tab")
        lines = self.wait_for_line(self.log, "key up vk=0x09 scan=0x0F ext=0")
        lines = lines[lines.index("ready") + 1:]
        return lines[:-1]  # the marker's own key-down

    def key_events(self, lines):
        events = []
        for line in lines:
            match = KEY_LINE.fullmatch(line)
            self.assertIsNotNone(match, line)
            direction, vk, scan, extended = match.groups()
            vk = int(vk, 16)
            self.assertNotEqual(int(scan, 16), 0, "every key carries its scan code: " + line)
            self.assertEqual(extended == "1", vk in EXTENDED, "extended flag: " + line)
            events.append((direction, vk))
        return events


class Keys(KeyTargetCase):

    def test_keys_and_chords_arrive_exactly_in_order(self):
        sent = [
            (["page", "3", "enter"], press(ENTER)),
            (["page", "3", "rewind"], press(CTRL, LEFT)),
            (["page", "1", "play"], press(CTRL, SHIFT, 0x50)),
            (["page", "6", "page-down"], press(PGDN)),
            (["page", "6", "page-up"], press(PGUP)),
            (["page", "1", "launch"], press(WIN, ALT, ENTER)),
            (["page", "2", "7"], press(0x37)),
            (["page", "5", "star"], press(SHIFT, 0x38)),
            (["page", "4", "f5"], press(0x74)),
            (["page", "8", "mute"], press(0x76)),  # F7 before any player was launched
            (["page", "3", "previous"], press(PGDN)),  # page 3 swaps Page Up and Down
        ]
        expected = []
        for words, events in sent:
            self.remote(*words)
            expected += events
        self.assertEqual(self.key_events(self.events_until_marker()), expected)

    def test_undefined_codes_and_empty_cells_send_nothing(self):
        for words in (["page", "3", "0x00"], ["page", "1", "0x01"], ["page", "4", "0x03"],
                      ["page", "2", "0x72"], ["page", "5", "previous"], ["page", "5", "next"],
                      ["page", "7", "fullscreen"], ["page", "7", "laser-on"],
                      ["send", "15 65 01 00 10"], ["send", "15 65 01 09 10"],
                      ["send", "15 65 01 03"], ["send", "15 65 03 05 00"]):
            self.remote(*words)
        self.assertEqual(self.events_until_marker(), [])


class Pointer(KeyTargetCase):

    def cursor(self):
        code, output = self.run_wine(self.helper("cursor_pos"))
        self.assertEqual(code, 0)
        return tuple(int(v) for v in output.split())

    def wait_cursor(self, position):
        wait_for(lambda: self.cursor() == position, 30, what="pointer at %s" % (position,))

    def test_relative_moves_with_negative_steps_and_at_the_screen_edge(self):
        self.xdotool("mousemove", "500", "400")
        self.wait_cursor((500, 400))
        self.remote("move", "-5", "-7")
        self.wait_cursor((495, 393))
        self.remote("move", "-128", "-128")
        self.wait_cursor((367, 265))
        self.xdotool("mousemove", "1000", "750")
        self.wait_cursor((1000, 750))
        self.remote("move", "127", "127")
        self.wait_cursor((1023, 767))

    def test_clicks_and_wheel_notches(self):
        self.xdotool("mousemove", "300", "300")
        self.wait_cursor((300, 300))
        for words in (["click", "left"], ["click", "right"], ["wheel", "up"], ["wheel", "down"]):
            self.remote(*words)
        self.assertEqual(self.events_until_marker(),
                         ["button left down 300 300", "button left up",
                          "button right down 300 300", "button right up",
                          "wheel delta=120", "wheel delta=-120"])


class Text(WineTestCase):

    def clipboard(self):
        code, output = self.run_wine(self.helper("read_clipboard"))
        return output.replace("\r", "")

    def test_text_typed_from_the_remote_lands_in_notepad(self):
        self.start_host()
        self.start_wine("notepad")
        wait_for(lambda: self.run_wine(self.helper("read_window_text"), "Notepad", "Edit")[0] == 0,
                 60, what="Notepad")
        self.remote("type", "Hello from Mirovanta 2")
        wait_for(lambda: self.run_wine(self.helper("read_window_text"), "Notepad", "Edit")[1]
                 .strip() == "Hello from Mirovanta 2", 60, what="the text in Notepad")

    def test_a_datagram_of_8192_bytes_reaches_the_handler_whole(self):
        self.start_host()
        text = b"x" * 8187 + b"Z"
        self.peer().send(b"\x15\x65\x02\x00" + text)
        output = wait_for(lambda: "text-length: 8188" in self.clipboard() and self.clipboard(),
                          60, what="the whole text on the clipboard")
        self.assertIn("text: xxxxxxxxxxxxxxxxxxxx...xxxxxxxxxxxxxxxxxxxZ", output)
        self.assertIn("unicode-length: 8188", output)
        for name in ("ExcludeClipboardContentFromMonitorProcessing",
                     "CanIncludeInClipboardHistory", "CanUploadToCloudClipboard"):
            self.assertIn("format: " + name, output)

    def test_text_stops_at_the_first_zero_byte(self):
        self.start_host()
        self.peer().send(b"\x15\x65\x02\x01A\x00B")
        wait_for(lambda: "text: A\n" in self.clipboard(), 60, what="'A' on the clipboard")


class LaserCompanion(WineTestCase):

    def settle(self):
        """Waits until the host has handled everything sent so far."""
        peer = self.peer()
        peer.send(PROBE)
        got = peer.receive(30)
        self.assertEqual(got and got[0], PROBE_REPLY)

    def standin_log(self):
        return os.path.join(self.app_dir(), "laser-standin.log")

    def install_standin(self):
        shutil.copy(self.helper("laser_standin"), os.path.join(self.app_dir(), "Laser.exe"))

    def test_start_once_stop_and_start_again(self):
        self.install_standin()
        self.start_host()
        self.remote("page", "3", "laser-on")
        self.wait_for_line(self.standin_log(), "started args=-d show=3")
        self.remote("page", "3", "laser-on")
        self.remote("page", "7", "laser-off")  # page 7 has no laser buttons
        self.settle()
        self.assertEqual(self.log_lines(self.standin_log()), ["started args=-d show=3"])
        self.remote("page", "3", "laser-off")
        self.wait_for_line(self.standin_log(), "closed")
        self.remote("page", "1", "laser-on")
        wait_for(lambda: self.log_lines(self.standin_log()).count("started args=-d show=3") == 2,
                 60, what="the second start")

    def test_a_missing_companion_is_tried_again_at_the_next_start(self):
        self.start_host()
        self.remote("page", "3", "laser-on")  # nothing there to start
        self.settle()
        self.install_standin()
        self.remote("page", "3", "laser-on")
        self.wait_for_line(self.standin_log(), "started args=-d show=3")

    def test_host_exit_closes_the_companion_it_started(self):
        self.install_standin()
        host = self.start_host()
        self.remote("page", "2", "laser-on")
        self.wait_for_line(self.standin_log(), "started args=-d show=3")
        # Closing the hidden main form is what "Exit" does.
        code, output = self.run_wine(self.helper("close_window"), "TForm1", "Form1")
        self.assertEqual(code, 0, output)
        self.wait_for_line(self.standin_log(), "closed")
        wait_for(lambda: host.poll() is not None, 60, what="the host to end")
        self.assertEqual(host.returncode, 0)

    def laser_count(self):
        code, output = self.run_wine(self.helper("count_processes"), "Laser.exe")
        return int(output.strip()) if code == 0 and output.strip().isdigit() else -1

    def start_held_standin(self):
        """A companion that is started and has no window yet."""
        self.install_standin()
        with open(os.path.join(self.app_dir(), "laser-standin.hold"), "w"):
            pass
        host = self.start_host()
        self.remote("page", "3", "laser-on")
        self.wait_for_line(self.standin_log(), "launched")
        return host

    def test_an_off_before_the_companion_has_its_window_ends_it(self):
        self.start_held_standin()
        self.remote("page", "3", "laser-off")
        wait_for(lambda: self.laser_count() == 0, 60, interval=0.5, what="the companion to end")
        self.assertNotIn("started args=-d show=3", self.log_lines(self.standin_log()))
        # The next "on" starts it again.
        os.remove(os.path.join(self.app_dir(), "laser-standin.hold"))
        self.remote("page", "3", "laser-on")
        self.wait_for_line(self.standin_log(), "started args=-d show=3")

    def test_host_exit_ends_a_companion_that_has_no_window_yet(self):
        host = self.start_held_standin()
        code, output = self.run_wine(self.helper("close_window"), "TForm1", "Form1")
        self.assertEqual(code, 0, output)
        wait_for(lambda: host.poll() is not None, 60, what="the host to end")
        wait_for(lambda: self.laser_count() == 0, 60, interval=0.5, what="the companion to end")


if __name__ == "__main__":
    unittest.main()
