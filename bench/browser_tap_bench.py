#!/usr/bin/env python3
"""How long a tap on the browser remote's "Enter" takes to reach a window as
a key-down under Wine, beside the app's datagram path for the same key, taken
in turns from the same nearby test namespace:

  - tap: Chromium (headless, driven by playwright-core) taps "Enter" on the
    paired page; the page seals the command and sends it on its WebSocket;
  - click: the same button clicked from inside the page (its own click event,
    without Playwright's checks before a tap): the page's and the host's part;
  - datagram: the app's command for Enter (page 3's "enter", 15 65 01 03 10)
    from a UDP socket in the same namespace.

Each time runs from the moment the test asks for the tap or the datagram to
the moment the key-down is in the target window's log (read every
millisecond), so the tap's figure includes Playwright's dispatch of the tap and the click's
one round trip of the driver to the page.

    python3 bench/browser_tap_bench.py [ROUNDS]      (default 30 of each)

Needs the windows build, root (a test namespace of its own, removed after),
Chromium and the page's npm packages. Sends only to that namespace and the
host's own end of its link.
"""
import os
import statistics
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "tests", "wine"))

import test_browser  # noqa: E402
from test_access import PLAY_ENTER  # noqa: E402


class _Bench(test_browser.BrowserRemote):
    def runTest(self):
        pass

    def enter_downs(self):
        with open(self.log, errors="replace") as log:
            return log.read().count("key down vk=0x0D")

    def timed(self, send):
        before = self.enter_downs()
        start = time.monotonic()
        send()
        deadline = start + 30
        while self.enter_downs() == before:
            if time.monotonic() > deadline:
                raise AssertionError("no key-down within 30 s")
            time.sleep(0.001)
        return (time.monotonic() - start) * 1000


def summary(name, values):
    values = sorted(values)
    return "%-9s median %7.2f ms   p90 %7.2f ms   min %7.2f ms   (%d)" % (
        name, statistics.median(values), values[int(len(values) * 0.9) - 1], values[0],
        len(values))


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 30
    case = _Bench()
    case.setUp()
    try:
        case.start_host()
        case.near_sends(PLAY_ENTER)
        case.answer("Allow")
        url = case.pair()
        phone = case.phone()
        phone.do("open", url)
        case.start_target()
        taps, clicks, datagrams = [], [], []
        for _ in range(rounds):
            taps.append(case.timed(lambda: phone.do("click", "Enter")))
            clicks.append(case.timed(lambda: phone.do("press", "Enter")))
            datagrams.append(case.timed(lambda: case.near_sends(PLAY_ENTER)))
        print(summary("tap", taps))
        print(summary("click", clicks))
        print(summary("datagram", datagrams))
        for name, values in (("tap", taps), ("click", clicks)):
            print("%s / datagram (medians): %.2f" % (name, statistics.median(values) /
                                                     statistics.median(datagrams)))
    finally:
        case.doCleanups()


if __name__ == "__main__":
    main()
