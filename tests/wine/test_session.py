"""Sleep, the lock screen and another user of the PC, under Wine: the
system's reports are posted to the host's session window as Windows would
send them, a network appears in a test namespace, and a second host plays
another user's (a test hook gives it a session of its own)."""
import os
import shutil
import subprocess
import time
import unittest

from harness import HOST_EXE, PROBE, PROBE_REPLY, wait_for
from test_access import ENTER_DOWN
from test_activity import ActivityCase

SESSION_CLASS = "TMirovantaSession"
WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC = 0x218, 0x12
WM_WTSSESSION_CHANGE = 0x2B1
WTS_CONSOLE_CONNECT, WTS_CONSOLE_DISCONNECT = 1, 2
WTS_SESSION_LOCK, WTS_SESSION_UNLOCK = 7, 8
# Wine runs every program in session 1; the test hook's host is in session 2.
OWN_SESSION, OTHER_SESSION = 1, 2
OTHER_USER_TIP = "Mirovanta 2 of another user of this PC answers the remote"


class SessionCase(ActivityCase):

    def post(self, message, wparam, session=OWN_SESSION):
        """As Windows sends it: to the session window of the host of that session."""
        code, output = self.run_wine(self.helper("close_window"), SESSION_CLASS,
                                     "Mirovanta 2 session %d" % session, hex(message),
                                     hex(wparam), str(session))
        self.assertEqual(code, 0, output)

    def near2_answered(self, phone):
        self.assertEqual(phone.ask("udp", self.net.host_address2, PROBE.hex()), "sent")
        return phone.ask("wait", 0.5) == PROBE_REPLY.hex()


class Resume(SessionCase):

    def test_a_network_joined_in_sleep_is_served_within_5_s_of_the_wake(self):
        self.start_host()
        # The far sender makes the host read its adapters: the network that
        # comes next is not among them, and Wine reports no address change.
        self.far_sends(PROBE.hex())
        self.net.make_near2()
        phone = self.net.agent(self.net.near2)
        self.addCleanup(phone.close)
        self.post(WM_POWERBROADCAST, PBT_APMRESUMEAUTOMATIC)
        woke = time.monotonic()
        wait_for(lambda: self.near2_answered(phone), 5, interval=0,
                 what="the new network's probe to be answered")
        self.wait_activity("resumed from sleep")
        self.settle()  # the host still answers loopback after its check


class LockScreen(SessionCase):

    def test_a_key_sent_while_locked_does_nothing_and_one_after_the_unlock_arrives(self):
        self.start_with_target()
        self.post(WM_WTSSESSION_CHANGE, WTS_SESSION_LOCK)
        self.remote("page", "3", "enter")
        self.wait_activity("dropped: this PC is locked")
        self.post(WM_WTSSESSION_CHANGE, WTS_SESSION_UNLOCK)
        self.marker()
        self.assertEqual(self.enters(), 0, "the key sent while locked never arrives")
        self.remote("page", "3", "enter")
        wait_for(lambda: self.enters() == 1, 30, what="the key sent after the unlock")


class OtherUser(SessionCase):

    def setUp(self):
        super().setUp()
        self.hovered = 0

    def tip_shown(self):
        """The pointer rests on each icon of the taskbar in turn, right to
        left, as a user looks for the one whose tip they want, and the tip
        that shows is read off the screen."""
        tray = self.window_rect("Shell_TrayWnd")
        x = tray[2] - 6 - 8 * (self.hovered % 6)
        self.hovered += 1
        self.xdotool("mousemove", str(x), str((tray[1] + tray[3]) // 2))
        deadline = time.monotonic() + 3
        while time.monotonic() < deadline:
            code, output = self.run_wine(self.helper("list_windows"), "tooltips_class32")
            for line in output.splitlines():
                if not line.startswith("window "):
                    continue
                rect = tuple(int(v) for v in line.split()[1:5])
                words = [w[0] for w in self.words_on_screen(*rect)]
                if all(word in words for word in ("another", "user", "answers")):
                    return True
            time.sleep(0.2)
        return False

    def test_a_second_users_host_waits_without_a_box_and_serves_once_the_first_gives_up(self):
        self.start_host()
        exe = os.path.join(self.app_dir(), "Mirovanta2_as_session.exe")
        shutil.copy(self.helper("Mirovanta2_as_session"), exe)
        self.start_wine(exe, log_name="second.log",
                        extra_env={"MIROVANTA2_TEST_SESSION": str(OTHER_SESSION)})

        self.wait_trace("add_icon id=0x1", 2)
        wait_for(self.tip_shown, 90, interval=0, what="the second host's tip naming the other user's host")
        code, output = self.run_wine(self.helper("read_message_box"), "2")
        self.assertEqual(output.strip(), "no message box")
        # Fast user switching: the second user's session comes to the screen
        # and the first user's leaves it.
        self.post(WM_WTSSESSION_CHANGE, WTS_CONSOLE_CONNECT, OTHER_SESSION)
        self.post(WM_WTSSESSION_CHANGE, WTS_CONSOLE_DISCONNECT, OWN_SESSION)
        given_up = time.monotonic()
        self.wait_activity("this user has this PC's screen: Mirovanta 2 answers the remote", 5)
        self.assertLess(time.monotonic() - given_up, 5.5)
        self.wait_activity("this user's session left the PC's screen: the remote's ports are given up")
        self.settle()

    def test_a_name_another_program_made_does_not_keep_the_host_from_serving(self):
        holder = subprocess.Popen(["wine", self.helper("hold_name"), "Global\\Mirovanta 2 ports"],
                                  env=self.env, stdout=subprocess.PIPE, text=True)
        self.processes.append(holder)
        self.assertEqual(holder.stdout.readline().strip(), "holding")
        self.start_host()  # waits until the probe is answered and presence listens
        self.wait_activity("the name of the remote's ports is held by another program: "
                           "Mirovanta 2 answers the remote all the same")
        code, output = self.run_wine(self.helper("read_message_box"), "2")
        self.assertEqual(output.strip(), "no message box")

    def test_the_shipped_host_reads_no_session_hook(self):
        with open(HOST_EXE, "rb") as exe:
            self.assertNotIn(b"MIROVANTA2_TEST_SESSION", exe.read())
        with open(self.helper("Mirovanta2_as_session"), "rb") as exe:
            self.assertIn(b"MIROVANTA2_TEST_SESSION", exe.read())


if __name__ == "__main__":
    unittest.main()
