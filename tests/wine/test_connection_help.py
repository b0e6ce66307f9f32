"""The connection help under Wine: opened from the tray menu with the mouse, it
lists the PC's adapters, a far test host that sent a command with the subnet it
would need, and a nearby new device as waiting; Copy puts the same words on
the X clipboard; a second click leaves one window; with the firewall and the
network list unavailable it reads "unknown" and shows no error box. Devices
are test hosts in network namespaces of their own, as in test_access."""
import os
import subprocess
import unittest

from harness import wait_for
from test_access import PLAY_ENTER, QUESTION_CLASS, AccessCase

REPORT_CLASS = "TMirovantaReport"


class ConnectionHelpCase(AccessCase):

    def open_help(self):
        self.click_menu_item("Connection")
        wait_for(lambda: self.window_rect(REPORT_CLASS), 60, what="the connection help")

    def shown(self):
        code, output = self.run_wine(self.helper("read_window_text"), REPORT_CLASS, "Edit")
        return output.replace("\r", "") if code == 0 else None

    def wait_shown(self, text):
        return wait_for(lambda: (lambda s: s if s and text in s else None)(self.shown()), 60,
                        what="%r in the connection help" % text)

    def report_windows(self):
        code, output = self.run_wine(self.helper("list_windows"), REPORT_CLASS)
        return [line for line in output.splitlines() if line.startswith("window ")]

    def x_clipboard(self):
        done = subprocess.run(["xclip", "-o", "-selection", "clipboard"], capture_output=True,
                              env=dict(os.environ, DISPLAY=self.env["DISPLAY"]), timeout=30)
        return done.stdout.decode("utf-8", "replace").replace("\r", "") if done.returncode == 0 else None

    def message_boxes(self):
        code, output = self.run_wine(self.helper("list_windows"), "#32770")
        return [line for line in output.splitlines() if line.startswith("window ")]


class ConnectionHelp(ConnectionHelpCase):

    def test_the_view_names_adapters_a_far_sender_and_a_waiting_device_and_copies_itself(self):
        self.start_host()
        self.far_sends(PLAY_ENTER)
        self.near_sends(PLAY_ENTER)
        wait_for(lambda: self.window_rect(QUESTION_CLASS), 60, what="the question")
        self.open_help()
        host, near, far = self.net.host_address, self.net.near_address, self.net.far_address
        subnet = host.rsplit(".", 1)[0] + ".0/24"
        text = self.wait_shown(near + " (")
        print("the connection help on this machine:\n" + text)
        self.assertIn("127.0.0.1/8: this PC itself, always served.", text)
        self.assertIn(host + "/24: served: devices with an address in " + subnet, text)
        self.assertIn("UDP 1565 (commands and the app's search): listening.", text)
        self.assertRegex(text, r"%s \([0-9a-f-]{17}\): waiting for your answer" % near)
        far_line = [l for l in text.splitlines() if "  %s: " % far in l]
        self.assertEqual(len(far_line), 1, text)
        self.assertIn("not on this PC's network (it would need an address in ", far_line[0])
        self.assertIn(subnet, far_line[0])
        # Newest first: the near device spoke after the far one.
        self.assertLess(text.index(near + " ("), text.index("  %s: " % far))

        rect = wait_for(lambda: self.child_rect(REPORT_CLASS, "Copy"), 60, what="the Copy button")
        self.xdotool("mousemove", str((rect[0] + rect[2]) // 2), str((rect[1] + rect[3]) // 2))
        self.xdotool("click", "1")
        copied = wait_for(lambda: (lambda c: c if c and "Connection help" in c else None)(
            self.x_clipboard()), 60, what="the view on the X clipboard")
        self.assertEqual(copied.rstrip("\n"), self.shown().rstrip("\n"))

        self.open_help()
        self.assertEqual(len(self.report_windows()), 1, "a second click leaves one window")


class SystemSilent(ConnectionHelpCase):

    def test_without_the_firewall_and_network_list_the_view_reads_unknown(self):
        # Neither COM server loads: every question to them fails.
        self.env["WINEDLLOVERRIDES"] += ";hnetcfg=d;netprofm=d"
        self.start_host()
        self.open_help()
        text = self.wait_shown("Ports")
        self.assertIn("The networks this PC is connected to and their profiles: unknown.", text)
        self.assertEqual(self.message_boxes(), [], "no error box")


if __name__ == "__main__":
    unittest.main()
