"""The browser remote end to end: the user pairs a phone's browser from the
tray menu, Debian's Chromium (headless, in a nearby test namespace) reads the
QR code the pairing window shows, opens the page it holds and drives the PC.
Traffic goes only to the test hosts and the host's own address."""
import json
import os
import shutil
import subprocess
import unittest

import netns
from harness import ROOT, wait_for
from test_access import AccessCase

PAIRING_CLASS = "TMirovantaPairing"
PROGRAM_FILES = "C:\\Program Files"
PROGRAM_FILES_X86 = "C:\\Program Files (x86)"
# The key map's table, as the players' remotes must show it: each page's
# player and the codes of its column that do something.
PLAYERS = ["Windows Media Center", "PowerDVD 10", "Media Player Classic", "Storm", "PPStream",
           "KMPlayer", "TTPlayer", "Windows Media Player"]
DRIVER = os.path.join(os.path.dirname(os.path.abspath(__file__)), "browser_driver.mjs")
CHROMIUM = shutil.which("chromium")
NODE = shutil.which("node")
PLAYWRIGHT = os.path.join(ROOT, "page", "node_modules", "playwright-core")


class Phone:
    """The page in Chromium inside a namespace, one command at a time."""

    def __init__(self, namespace):
        self.process = subprocess.Popen(
            ["ip", "netns", "exec", namespace, NODE, DRIVER], stdin=subprocess.PIPE,
            stdout=subprocess.PIPE, text=True)
        assert self.read() == {"ready": True}

    def read(self):
        line = self.process.stdout.readline()
        if not line:
            raise AssertionError("the browser driver ended")
        return json.loads(line)

    def do(self, *command):
        self.process.stdin.write(json.dumps(list(command)) + "\n")
        self.process.stdin.flush()
        answer = self.read()
        if "error" in answer:
            raise AssertionError(answer["error"])
        return answer

    def close(self):
        if self.process.poll() is None:
            try:
                self.process.stdin.write('["quit"]\n')
                self.process.stdin.close()
                self.process.wait(30)
            except (OSError, subprocess.TimeoutExpired):
                self.process.kill()
                self.process.wait()
        self.process.stdout.close()


def code_in_window(case):
    """What the QR code on screen holds, as zbar reads it off a screenshot."""
    rect = case.window_rect(PAIRING_CLASS)
    if rect is None:
        return None
    shot = case.screenshot(os.path.join(case.workdir, "pairing.png"))
    crop = os.path.join(case.workdir, "code.png")
    subprocess.run(["convert", shot, "-crop", "%dx%d+%d+%d" % (rect[2] - rect[0], rect[3] - rect[1],
                                                                rect[0], rect[1]), "+repage", crop],
                   check=True, timeout=60)
    read = subprocess.run(["zbarimg", "--raw", "-q", crop], capture_output=True, text=True,
                          timeout=60)
    return read.stdout.strip() or None


def chosen_address(case):
    code, output = case.run_wine(case.helper("read_window_text"), PAIRING_CLASS, "ComboBox")
    return output.strip() if code == 0 else None


def address_list(case):
    code, output = case.run_wine(case.helper("child_rect"), PAIRING_CLASS, "class:ComboBox")
    return tuple(int(v) for v in output.split()) if code == 0 else None


def pair(case, near):
    """Opens the pairing window from the tray menu and makes it show the
    address `near`, as the user picks it from the list; returns what the
    code holds."""
    case.click_menu_item("Pair")
    wait_for(lambda: case.window_rect(PAIRING_CLASS), 60, what="the pairing window")
    for _ in range(8):
        if chosen_address(case) in (near, ""):
            break
        rect = wait_for(lambda: address_list(case), 30, what="the address list")
        case.xdotool("mousemove", str((rect[0] + rect[2]) // 2), str((rect[1] + rect[3]) // 2))
        case.xdotool("click", "1")
        case.xdotool("key", "Down", "Return")
    want = "http://%s:1566/#" % near
    return wait_for(lambda: (lambda text: text if text and text.startswith(want) else None)(
        code_in_window(case)), 60, what="a code of the near address")


@unittest.skipUnless(netns.available() and CHROMIUM and NODE and os.path.isdir(PLAYWRIGHT),
                     "needs root, Chromium, node and the page's npm packages")
class BrowserRemote(AccessCase):

    def phone(self, namespace=None):
        phone = Phone(namespace or self.net.near)
        self.addCleanup(phone.close)
        return phone

    def clipboard(self):
        return self.run_wine(self.helper("read_clipboard"))[1]

    def pair(self):
        return pair(self, self.net.host_address)

    def start_target(self):
        """The window keys go to; it covers the taskbar, so it comes after the menu."""
        self.log = os.path.join(self.workdir, "target.log")
        self.start_wine(self.helper("key_target"), self.log)
        self.wait_for_line(self.log, "ready")

    def pastes(self):
        """Ctrl+V presses the window got: how typed text reaches it."""
        lines = self.target_lines()
        return sum(1 for i, l in enumerate(lines) if l.startswith("key down vk=0x56")
                   and any(p.startswith("key down vk=0x11") for p in lines[max(0, i - 2):i]))

    def test_a_phone_pairs_by_the_code_and_drives_the_pc(self):
        self.start_host()
        url = self.pair()
        self.assertEqual(len(url.split("#")[1]), 64, "a 256-bit key in the fragment")
        phone = self.phone()
        opened = phone.do("open", url)
        self.assertEqual(opened["status"], "Connected")
        self.assertEqual(opened["hash"], "", "the key left the address bar")
        self.assertTrue(opened["stored"])
        wait_for(lambda: self.window_rect(PAIRING_CLASS) is None, 30,
                 what="the pairing window to close once paired")
        self.start_target()

        enters = self.enters()
        phone.do("click", "Enter")
        wait_for(lambda: self.enters() > enters, 30, what="Enter from the page")

        pastes = self.pastes()
        line = "Grüße ✓"
        phone.do("type", line)
        wanted = "unicode-hex: " + line.encode("utf-16-be").hex()
        wait_for(lambda: wanted in self.clipboard(), 30, what="the typed line on the clipboard")
        wait_for(lambda: self.pastes() > pastes, 30, what="Ctrl+V in the window")

        code, before = self.run_wine(self.helper("cursor_pos"))
        phone.do("drag", 40, 30)
        wait_for(lambda: self.run_wine(self.helper("cursor_pos"))[1] != before, 30,
                 what="the pointer to move")

    def new_keys(self, send, count):
        """The key lines the target window gets from `send`: `count` of them."""
        before = len(self.target_lines())
        send()
        wait_for(lambda: len(self.target_lines()) >= before + count, 30,
                 what="%d key lines" % count)
        self.marker()  # nothing more came after them
        return self.target_lines()[before:before + count]

    def test_the_players_remotes_and_the_utilities_do_what_the_apps_do(self):
        storm = PROGRAM_FILES + "\\Storm Player\\Storm.exe"
        storm_log = self.install_program(storm) + ".log"
        self.reg_add("HKLM\\SOFTWARE\\Classes\\Storm\\DefaultIcon", None, storm + ",0")
        quellin = PROGRAM_FILES_X86 + "\\ZANTRIX\\QUELLIN\\QLN.exe"
        quellin_log = self.install_program(quellin) + ".log"
        self.start_host()
        phone = self.phone()
        self.assertEqual(phone.do("open", self.pair())["status"], "Connected")
        shown = phone.do("players")["players"]
        self.assertEqual([player["name"] for player in shown], PLAYERS)
        for player in shown:
            self.assertIn("02", player["codes"], "each remote starts its player")
            self.assertIn("FF", player["codes"], "and closes it")
            self.assertTrue(all(len(code) == 2 for code in player["codes"]), player)
        self.assertNotIn("FD", shown[6]["codes"], "TTPlayer has no laser")
        self.start_target()

        # A key, a chord of three and a version-dependent key, as the app's datagram.
        cells = [("Media Player Classic", "20", ["page", "3", "0x20"], 2, "Play: Space"),
                 ("Windows Media Center", "20", ["page", "1", "0x20"], 6, "Play: Ctrl+Shift+P"),
                 ("Windows Media Player", "30", ["page", "8", "0x30"], 2,
                  "Mute: F8 (player 9 or 10) or F7")]
        for name, code, app, count, label in cells:
            answer = {}
            from_page = self.new_keys(lambda: answer.update(phone.do("player", name, code)), count)
            self.assertEqual(answer["label"], label)
            self.assertEqual(from_page, self.new_keys(lambda: self.remote(*app), count), name)

        # Storm's Start starts the stand-in, as the app's launch does.
        phone.do("player", "Storm", "02")
        wait_for(lambda: any(l.startswith("started") for l in self.log_lines(storm_log)), 60,
                 what="Storm started from the page")

        # A utility starts and closes.
        phone.do("click", "Start QUELLIN")
        wait_for(lambda: any(l.startswith("started") for l in self.log_lines(quellin_log)), 60,
                 what="QUELLIN started from the page")
        phone.do("click", "Close QUELLIN")
        wait_for(lambda: self.run_wine(self.helper("count_processes"), "QLN.exe")[1].strip() == "0",
                 60, what="QUELLIN to end")

    def agent_http(self, agent, request):
        return agent.ask("http", self.net.host_address, "1566", request.encode().hex())

    def cursor(self):
        return self.run_wine(self.helper("cursor_pos"))[1]

    def test_what_breaks_the_rules_is_refused_the_pause_holds_and_forget_ends_it(self):
        self.start_host()
        url = self.pair()
        phone = self.phone()
        self.assertEqual(phone.do("open", url)["status"], "Connected")
        page = "http://%s:1566/" % self.net.host_address

        # Far: closed before a byte is read. Another site's Host: refused.
        get = "GET / HTTP/1.1\r\nHost: %s\r\n\r\n"
        self.assertEqual(self.agent_http(self.far, get % (self.net.host_address + ":1566")),
                         "closed -")
        forged = self.agent_http(self.near, get % "evil.example:1566")
        self.assertTrue(bytes.fromhex(forged.split()[1]).startswith(b"HTTP/1.1 421"), forged)
        served = self.agent_http(self.near, get % (self.net.host_address + ":1566"))
        self.assertIn(b"frame-ancestors 'none'", bytes.fromhex(served.split()[1]))
        # A WebSocket from another site's page: refused before it opens.
        upgrade = ("GET /ws HTTP/1.1\r\nHost: %s:1566\r\nUpgrade: websocket\r\n"
                   "Connection: Upgrade\r\nSec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\n"
                   "Sec-WebSocket-Version: 13\r\nOrigin: %s\r\n\r\n")
        foreign = self.agent_http(self.near, upgrade % (self.net.host_address, "http://evil.example"))
        self.assertTrue(bytes.fromhex(foreign.split()[1]).startswith(b"HTTP/1.1 403"), foreign)
        own = self.agent_http(self.near, upgrade % (self.net.host_address, page.rstrip("/")))
        self.assertTrue(bytes.fromhex(own.split()[1]).startswith(b"HTTP/1.1 101"), own)

        # A browser without the key, and one with a key this PC never gave.
        stranger = self.phone()
        self.assertEqual(stranger.do("open", page)["status"],
                         "Not paired: scan the code from Mirovanta 2's tray menu")
        self.assertEqual(stranger.do("open", page + "#" + "ab" * 32)["status"],
                         "This PC forgot this browser")

        # A message sent again on its connection ends it; the page comes back.
        before = self.cursor()
        phone.do("drag", 30, 20)
        moved = wait_for(lambda: (lambda now: now if now != before else None)(self.cursor()), 30,
                         what="the pointer to move")
        self.assertEqual(phone.do("replay")["status"], "Refused by this PC; trying again…")
        wait_for(lambda: phone.do("status")["status"] == "Connected", 30,
                 what="the page to connect again")
        self.assertEqual(self.cursor(), moved, "the replayed move was carried out")

        # Paused, the page's text is dropped; after, the next one is typed.
        self.click_menu_item("Pause")
        phone.do("type", "abc")
        self.click_menu_item("Pause")
        phone.do("type", "z")
        wait_for(lambda: "unicode-length: 1" in self.clipboard(), 30, what="the text after the pause")

        # Forget… in the Devices menu: the page's next command ends it.
        self.forget_browser()
        phone.do("type", "qq")
        wait_for(lambda: phone.do("status")["status"] == "This PC forgot this browser", 30,
                 what="the page to say it was forgotten")
        self.assertIn("unicode-length: 1", self.clipboard(), "the forgotten page's text was typed")

    def menus(self):
        code, output = self.run_wine(self.helper("list_windows"), "#32768")
        return [tuple(int(v) for v in line.split()[1:5]) for line in output.splitlines()
                if line.startswith("window ")]

    def next_menu(self, shown, word):
        """The menu window that opened after those shown, once OCR reads `word` in it."""
        def words():
            for rect in self.menus():
                if rect in shown:
                    continue
                found = self.words_on_screen(*rect)
                if any(w[0].startswith(word) for w in found):
                    return rect, found
            return None
        return wait_for(words, 30, what="a menu with " + word)

    def forget_browser(self):
        """Devices > the browser's row > Forget…, then Yes, as the user clicks them."""
        menu, words = self.open_menu()
        self.click_word(words, "Devices")
        devices, words = self.next_menu([menu], "Browser")
        row = [w for w in words if w[0] == "paired"][0]
        self.xdotool("mousemove", str(row[1] + row[3] // 2), str(row[2] + row[4] // 2))
        self.xdotool("click", "1")
        # The row's own submenu holds one item, "Forget…": its middle.
        forget = wait_for(lambda: [r for r in self.menus() if r not in (menu, devices)] or None, 30,
                          what="the browser's submenu")[0]
        self.xdotool("mousemove", str((forget[0] + forget[2]) // 2),
                     str((forget[1] + forget[3]) // 2))
        self.xdotool("click", "1")
        rect = wait_for(lambda: self.child_rect("#32770", "&Yes"), 30, what="the question")
        self.xdotool("mousemove", str((rect[0] + rect[2]) // 2), str((rect[1] + rect[3]) // 2))
        self.xdotool("click", "1")
        wait_for(lambda: self.window_rect("#32770") is None, 30, what="the question to close")
