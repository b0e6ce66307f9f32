#!/usr/bin/env python3
"""Takes the README's pictures under Wine, so they can be taken again when the
look changes: the tray menu, the "Device Connected" balloon and the window
that asks about a new device, the connection help, the pairing window and the
browser remote's page in a phone-sized Chromium; and the tray icon's three
variants, at the size the notification area shows them on a high-DPI screen,
from the icons.

    python3 tools/take_screenshots.py [OUTPUT_FOLDER]     (default: docs/images)

Needs the windows build and root (the asking device is a test host in a
network namespace of its own, removed afterwards). Traffic goes only to
127.0.0.1 and to that test host.
"""
import os
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
sys.path.insert(0, os.path.join(ROOT, "tests", "wine"))

import harness  # noqa: E402
import netns  # noqa: E402
import test_browser  # noqa: E402

QUESTION_CLASS = "TMirovantaQuestion"
REPORT_CLASS = "TMirovantaReport"
PLAY_ENTER = "1565010310"
MARGIN = 12


class _Pictures(harness.ShellCase):
    def runTest(self):
        pass

    def crop(self, name, left, top, right, bottom):
        shot = self.screenshot(os.path.join(self.workdir, "screen.png"))
        left, top = max(0, left - MARGIN), max(0, top - MARGIN)
        right, bottom = min(1024, right + MARGIN), min(768, bottom + MARGIN)
        subprocess.run(["convert", shot, "-crop", "%dx%d+%d+%d" % (right - left, bottom - top,
                                                                    left, top), "+repage",
                        os.path.join(self.output, name)], check=True, timeout=60)
        print("wrote", os.path.join(self.output, name))

    def tray_menu(self):
        menu, _ = self.open_menu()
        tray = self.window_rect("Shell_TrayWnd")
        self.crop("tray-menu.png", menu[0], menu[1], max(menu[2], tray[2]), tray[3])

    def balloon(self):
        self.connect()
        self.wait_trace('title = L"Device Connected"')
        rect = harness.wait_for(lambda: self.balloon_rect(), 30, what="the balloon")
        tray = self.window_rect("Shell_TrayWnd")
        self.crop("balloon.png", rect[0], rect[1], tray[2], tray[3])

    def balloon_rect(self):
        """The shell's balloon: a visible tooltip wider than an icon's tip."""
        rect = self.window_rect("tooltips_class32")
        return rect if rect and rect[2] - rect[0] > 120 else None

    def approval(self, net):
        near = net.agent(net.near)
        try:
            near.ask("udp", net.host_address, PLAY_ENTER)
            rect = harness.wait_for(lambda: self.window_rect(QUESTION_CLASS), 60,
                                    what="the question")
            time.sleep(2)  # past the 1.5 s in which Allow is grey, as the user sees it then
            self.crop("approval.png", *rect)
        finally:
            near.close()

    def click_child(self, window_class, caption):
        code, output = self.run_wine(self.helper("child_rect"), window_class, caption)
        rect = [int(v) for v in output.split()]
        self.xdotool("mousemove", str((rect[0] + rect[2]) // 2), str((rect[1] + rect[3]) // 2))
        self.xdotool("click", "1")

    def connection_help(self, net):
        """After the device asked about is allowed and a far one sent a command;
        closed again with its Close button."""
        self.click_child(QUESTION_CLASS, "Allow")
        harness.wait_for(lambda: self.window_rect(QUESTION_CLASS) is None, 60,
                         what="the question to close")
        for namespace in (net.far, net.near):
            agent = net.agent(namespace)
            try:
                agent.ask("udp", net.host_address, PLAY_ENTER)
            finally:
                agent.close()
        menu, words = self.open_menu()
        self.click_word(words, "Connection")
        rect = harness.wait_for(lambda: self.window_rect(REPORT_CLASS), 60,
                                what="the connection help")
        time.sleep(1)  # drawn in full
        self.crop("connection-help.png", *rect)
        self.click_child(REPORT_CLASS, "Close")
        harness.wait_for(lambda: self.window_rect(REPORT_CLASS) is None, 60,
                         what="the connection help to close")


    def browser(self, net):
        """The pairing window showing the near address, then the page the
        near namespace's Chromium opens from its code."""
        url = test_browser.pair(self, net.host_address)
        self.crop("pairing.png", *self.window_rect(test_browser.PAIRING_CLASS))
        phone = test_browser.Phone(net.near)
        try:
            phone.do("open", url)
            phone.do("screenshot", os.path.join(self.output, "browser-page.png"))
            print("wrote", os.path.join(self.output, "browser-page.png"))
        finally:
            phone.close()


ICONS = {"icon-normal.png": "mirovanta2.ico", "icon-in-use.png": "inuse.ico",
         "icon-paused.png": "paused.ico"}


def icons(output):
    for picture, icon in ICONS.items():
        # The third image of each icon is 24 pixels.
        subprocess.run(["convert", os.path.join(ROOT, "shell", "resources", icon) + "[2]",
                        os.path.join(output, picture)], check=True, timeout=60)
        print("wrote", os.path.join(output, picture))


def main():
    output = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "docs",
                                                                                   "images"))
    os.makedirs(output, exist_ok=True)
    icons(output)
    case = _Pictures()
    case.output = output
    case.setUp()
    try:
        # The test network is there before the host starts, so that the menu
        # shows an adapter's address beside loopback.
        with netns.TestNetwork() as net:
            case.start_host()
            case.settle()
            case.balloon()
            case.approval(net)
            case.connection_help(net)
            case.browser(net)
            # Last: a menu that closes leaves its picture on Wine's desktop for a while.
            case.tray_menu()
    finally:
        case.doCleanups()


if __name__ == "__main__":
    main()
