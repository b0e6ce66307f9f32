"""The browser remote's channel, seen from the Wi-Fi: what a paired phone
types crosses it encrypted, and the pairing code pairs one browser only.
Debian's Chromium runs the real page in the near namespace; the traffic is
captured on the test's own veth link to the PC."""
import os
import time
import unittest

import netns
from capture import Capture
from harness import PROBE, PROBE_REPLY, wait_for
from test_activity import ActivityCase
from test_browser import CHROMIUM, NODE, PAIRING_CLASS, PLAYWRIGHT, Phone, pair

USED = "This code paired another browser already: open a new one from Mirovanta 2's tray menu"


@unittest.skipUnless(netns.available() and CHROMIUM and NODE and os.path.isdir(PLAYWRIGHT),
                     "needs root, Chromium, node and the page's npm packages")
class BrowserChannel(ActivityCase):

    def phone(self):
        phone = Phone(self.net.near)
        self.addCleanup(phone.close)
        return phone

    def clipboard(self):
        return self.run_wine(self.helper("read_clipboard"))[1]

    def test_a_line_typed_on_the_page_is_in_no_frame_on_the_network(self):
        self.start_host()
        phone = self.phone()
        # A line of its own each run, so that nothing else could hold it.
        marker = "hunter2 my password %d" % os.getpid()
        with Capture(self.net.host_link, 1566) as seen:
            self.assertEqual(phone.do("open", pair(self, self.net.host_address))["status"],
                             "Connected")
            phone.do("type", marker)
            wanted = "unicode-hex: " + marker.encode("utf-16-be").hex()
            wait_for(lambda: wanted in self.clipboard(), 30, what="the typed line on the clipboard")
        payloads = seen.websocket_payloads()
        from_page = [p for from_client, p in payloads if from_client]
        # The hello, the page's "ok" and the line at least: the capture saw the talk.
        self.assertGreaterEqual(len(from_page), 3, "no WebSocket frames were captured")
        self.assertTrue(any(len(p) >= len(marker) for p in from_page))
        needle = marker.encode()
        self.assertFalse([p for _, p in payloads if needle in p], "the line stands in a frame")
        self.assertFalse([k for k, data in seen.streams().items() if needle in data],
                         "the line stands in the bytes on the link")
        print("channel: %d frames from the page, %d from the PC; none holds the typed line"
              % (len(from_page), len(payloads) - len(from_page)))

    def test_the_code_pairs_one_browser_and_a_second_with_it_is_refused(self):
        self.start_host()
        url = pair(self, self.net.host_address)
        phone = self.phone()
        self.assertEqual(phone.do("open", url)["status"], "Connected")
        wait_for(lambda: self.window_rect(PAIRING_CLASS) is None, 30,
                 what="the pairing window to close once paired")
        # Someone who photographed the code opens it later in a browser of their own.
        other = self.phone()
        self.assertEqual(other.do("open", url)["status"], USED)
        self.wait_activity("a pairing code was used again: refused")
        # The phone keeps its own key: it is still connected, and after a reload too.
        self.assertEqual(phone.do("status")["status"], "Connected")
        self.assertEqual(phone.do("open", url.split("#")[0])["status"], "Connected")
        self.assertEqual(len(self.paired_values()), 1, "the second browser was paired")

    def test_with_only_paired_browsers_the_app_gets_nothing_and_the_page_still_works(self):
        self.start_host()
        phone = self.phone()
        self.assertEqual(phone.do("open", pair(self, self.net.host_address))["status"],
                         "Connected")
        host = self.net.host_address
        self.near.ask("udp", host, PROBE.hex())
        self.assertEqual(self.near.ask("wait", 30), PROBE_REPLY.hex(), "the app finds the PC")
        self.click_menu_item("Only")
        self.wait_activity("only paired browsers may control this PC: the app's datagrams are "
                           "dropped")
        # The app's search, a command and its presence connection: nothing answers.
        self.near.ask("udp", host, PROBE.hex())
        self.assertEqual(self.near.ask("wait", 5), "none")
        self.assertEqual(self.near.ask("tcp", host), "closed -")
        self.near.ask("udp", host, "15650103" + "10")
        self.wait_activity("dropped: only paired browsers may control this PC")
        # The page types as before.
        phone.do("type", "ok")
        wanted = "unicode-hex: " + "ok".encode("utf-16-be").hex()
        wait_for(lambda: wanted in self.clipboard(), 30, what="the page's line on the clipboard")

    def test_sixteen_sockets_that_never_prove_do_not_keep_the_phone_out(self):
        self.start_host()
        url = pair(self, self.net.host_address)
        # Four addresses of the Wi-Fi, four sockets each: every place the
        # server has, each socket answering pings and sending frames.
        sources = self.net.near_addresses(4)
        phone = self.phone()
        self.assertEqual(self.near.ask("squat", self.net.host_address, 1566, 16, ",".join(sources)),
                         "squatting 16")
        opened = time.monotonic()
        self.assertEqual(phone.do("open", url)["status"], "Connected")
        opened = time.monotonic() - opened
        # One gave its place to the phone, or the proof's clock ended more.
        still_open = int(self.near.ask("squatopen"))
        self.assertLessEqual(still_open, 15)
        closed = self.near.ask("squatclosed", 60)
        self.assertTrue(closed.startswith("closed 16 of 16"), closed)
        print("squatters: %d open once the phone was in (%.1f s); %s"
              % (still_open, opened, closed))
        self.assertEqual(phone.do("status")["status"], "Connected")

    def paired_values(self):
        code, output = self.run_wine("reg", "query", "HKCU\\Software\\Mirovanta 2\\Browsers")
        return [line for line in output.splitlines() if line.strip().startswith("b")]


if __name__ == "__main__":
    unittest.main()
