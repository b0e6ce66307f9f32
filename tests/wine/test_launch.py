"""Launching and closing players and utilities through the real host under
Wine: the registry, the store file, the shell and the process list are Wine's."""
import os
import shutil
import subprocess
import time
import unittest

from harness import PROBE, PROBE_REPLY, WineTestCase, past_repeat_gap, wait_for

PROGRAM_FILES = "C:\\Program Files"
PROGRAM_FILES_X86 = "C:\\Program Files (x86)"


class LaunchCase(WineTestCase):

    def settle(self, deadline=30):
        """Waits until the host has handled everything sent before."""
        peer = self.peer()
        peer.send(PROBE)
        got = peer.receive(deadline)
        self.assertEqual(got and got[0], PROBE_REPLY, "the host did not answer in time")

    def started(self, program_log, count=1):
        wait_for(lambda: sum(line.startswith("started") for line in self.log_lines(program_log))
                 >= count, 60, what="a start written to " + os.path.basename(program_log))
        return [line for line in self.log_lines(program_log) if line.startswith("started")]

    def store_bytes(self):
        with open(self.store_file(), "rb") as store:
            return store.read()

    def install_open_standin(self):
        shutil.copy(self.helper("open_standin"), os.path.join(self.app_dir(), "Open.exe"))
        return os.path.join(self.app_dir(), "open-standin.log")


class Launch(LaunchCase):

    def test_a_registry_value_with_an_icon_index_starts_the_player_and_is_stored(self):
        exe = PROGRAM_FILES + "\\Storm Player\\Storm.exe"
        log = self.install_program(exe) + ".log"
        self.reg_add("HKLM\\SOFTWARE\\Classes\\Storm\\DefaultIcon", None, exe + ",0")
        self.start_host()
        self.remote("page", "4", "launch")
        self.started(log)
        self.settle()
        self.assertEqual(self.store_bytes(), b"[1-4App]\r\nPath=" + exe.encode() + b"\r\n")
        # A second launch starts it again and leaves the store as it was.
        past_repeat_gap()
        self.remote("page", "4", "launch")
        self.started(log, 2)
        self.settle()
        self.assertEqual(self.store_bytes(), b"[1-4App]\r\nPath=" + exe.encode() + b"\r\n")

    def test_page_six_loses_its_quotes_and_icon_index(self):
        exe = PROGRAM_FILES + "\\K M Player\\KMPlayer.exe"
        log = self.install_program(exe) + ".log"
        self.reg_add("HKLM\\SOFTWARE\\Classes\\KMPlayer.kpl\\DefaultIcon", None, '"%s",1' % exe)
        self.start_host()
        self.remote("page", "6", "launch")
        self.started(log)
        self.settle()
        self.assertEqual(self.store_bytes(), b"[1-6App]\r\nPath=" + exe.encode() + b"\r\n")

    def test_an_environment_reference_is_expanded_before_the_start(self):
        exe = PROGRAM_FILES + "\\MPC\\mplayerc.exe"
        log = self.install_program(exe) + ".log"
        self.reg_add("HKLM\\SOFTWARE\\Kelvorn\\Media Player Classic", "ExePath",
                     "%ProgramFiles%\\MPC\\mplayerc.exe", kind="REG_EXPAND_SZ")
        self.start_host()
        self.remote("page", "3", "launch")
        self.started(log)
        self.settle()
        self.assertIn(b"Path=" + exe.encode(), self.store_bytes())

    def test_nothing_found_starts_open_exe_with_the_section_and_stores_nothing(self):
        open_log = self.install_open_standin()
        self.start_host()
        self.remote("page", "2", "launch")
        self.wait_for_line(open_log, "args=1_2App")
        self.remote("utility", "3", "launch")
        self.wait_for_line(open_log, "args=4_3App")
        self.settle()
        self.assertFalse(os.path.exists(self.store_file()))

    def test_a_quoted_command_value_names_no_file_and_nothing_happens(self):
        exe = PROGRAM_FILES + "\\Windows Media Player\\wmplayer.exe"
        log = self.install_program(exe) + ".log"
        open_log = self.install_open_standin()
        self.reg_add("HKLM\\SOFTWARE\\Clients\\Media\\Windows Media Player\\shell\\open\\command",
                     None, '"%s" /prefetch:1' % exe)
        self.start_host()
        self.remote("page", "8", "launch")
        self.settle()
        self.assertEqual(self.log_lines(log), [])
        self.assertEqual(self.log_lines(open_log), [])

    def test_a_value_of_the_wrong_type_ends_only_that_command(self):
        self.reg_add("HKLM\\SOFTWARE\\Kelvorn\\Media Player Classic", "ExePath", "7",
                     kind="REG_DWORD")
        open_log = self.install_open_standin()
        self.start_host()
        self.remote("page", "3", "launch")
        self.settle()
        self.assertEqual(self.log_lines(open_log), [])
        self.remote("page", "2", "launch")
        self.wait_for_line(open_log, "args=1_2App")

    def test_a_version_10_player_moves_page_eights_function_keys(self):
        exe = PROGRAM_FILES + "\\Windows Media Player\\wmplayer.exe"
        log = self.install_program(exe, helper="fake_player_v10") + ".log"
        os.makedirs(os.path.dirname(self.store_file()), exist_ok=True)
        with open(self.store_file(), "wb") as store:
            store.write(b"[1-8App]\r\nPath=" + exe.encode() + b"\r\n")
        self.start_host()
        target = os.path.join(self.workdir, "target.log")
        self.start_wine(self.helper("key_target"), target)
        self.wait_for_line(target, "ready")
        self.remote("page", "8", "mute")  # F7 before the launch
        self.wait_for_line(target, "key up vk=0x76 scan=0x41 ext=0")
        self.remote("page", "8", "launch")
        self.started(log)
        self.remote("page", "8", "mute")  # F8 once a version-10 player was started
        self.wait_for_line(target, "key up vk=0x77 scan=0x42 ext=0")


class Close(LaunchCase):

    def run_program(self, windows_path, helper="fake_player"):
        log = self.install_program(windows_path, helper) + ".log"
        process = self.start_wine(self.unix_path(windows_path))
        self.started(log)
        return process, log

    def test_close_ends_every_instance_by_file_name_from_any_folder(self):
        first, _ = self.run_program("C:\\Apps\\mplayerc.exe")
        second, _ = self.run_program("C:\\Other Place\\MPlayerC.exe")
        bystander, _ = self.run_program("C:\\Apps\\mplayerc2.exe")
        self.start_host()
        self.remote("page", "3", "close")
        wait_for(lambda: first.poll() is not None and second.poll() is not None, 60,
                 what="both players to end")
        self.assertEqual((first.returncode, second.returncode), (0, 0))
        self.settle()
        self.assertIsNone(bystander.poll())

    def test_the_stored_file_name_is_what_close_looks_for(self):
        renamed, _ = self.run_program("C:\\Players\\classic.exe")
        os.makedirs(os.path.dirname(self.store_file()), exist_ok=True)
        with open(self.store_file(), "wb") as store:
            store.write(b"[1-3App]\r\nPath=D:\\Somewhere\\classic.exe\r\n")
        self.start_host()
        self.remote("page", "3", "close")
        wait_for(lambda: renamed.poll() is not None, 60, what="the renamed player to end")

    def test_ppstream_windows_titled_pps_are_asked_to_close_and_the_rest_stay(self):
        player, log = self.run_program("C:\\PPS\\PPStream.exe")
        self.start_host()
        self.remote("page", "5", "close")
        self.wait_for_line(log, "closed PPS player")
        self.settle()
        self.assertNotIn("closed Settings", self.log_lines(log))
        self.assertIsNone(player.poll(), "the process is not terminated")

    def test_a_window_that_does_not_answer_does_not_freeze_the_host(self):
        path = "C:\\PPS\\PPStream.exe"
        open(self.install_program(path) + ".hang", "w").close()
        player = self.start_wine(self.unix_path(path))
        self.wait_for_line(self.unix_path(path) + ".log", "hanging")
        self.start_host()
        self.settle()
        start = time.monotonic()
        self.remote("page", "5", "close")
        self.settle(deadline=60)
        # The close gives up on the window after 5 s; the host answers again
        # within a second of that.
        self.assertLess(time.monotonic() - start, 6.0)
        self.assertIsNone(player.poll())


class Utilities(LaunchCase):

    def test_a_utility_at_its_second_location_starts_and_its_folder_carries_over(self):
        utility = PROGRAM_FILES_X86 + "\\ZANTRIX\\Vostrel\\ORB.exe"
        utility_log = self.install_program(utility) + ".log"
        player = PROGRAM_FILES + "\\MPC\\mplayerc.exe"
        player_log = self.install_program(player) + ".log"
        os.makedirs(os.path.dirname(self.store_file()), exist_ok=True)
        with open(self.store_file(), "wb") as store:
            store.write(b"[1-3App]\r\nPath=" + player.encode() + b"\r\n")
        self.start_host()
        self.remote("utility", "1", "launch")
        folder = PROGRAM_FILES_X86 + "\\ZANTRIX\\Vostrel"
        self.assertTrue(self.started(utility_log)[0].startswith("started cwd=" + folder))
        self.remote("page", "3", "launch")
        self.assertTrue(self.started(player_log)[0].startswith("started cwd=" + folder),
                        "the player inherits the utility's folder")
        self.settle()
        self.assertIn(b"[4-1App]\r\nPath=" + utility.encode() + b"\r\n", self.store_bytes())

    def test_a_held_down_button_starts_the_program_once_per_two_seconds(self):
        path = PROGRAM_FILES_X86 + "\\Brisana\\Brisana.exe"
        log = self.install_program(path) + ".log"
        self.start_host()
        for _ in range(5):
            self.remote("utility", "3", "launch")
        self.started(log)
        self.settle()
        past_repeat_gap()
        self.remote("utility", "3", "launch")
        self.started(log, 2)
        self.settle()
        self.assertEqual(len(self.started(log)), 2, "the four repeats started nothing")

    def test_close_ends_the_utility_by_its_fixed_name(self):
        path = PROGRAM_FILES_X86 + "\\Brisana\\Brisana.exe"
        log = self.install_program(path) + ".log"
        process = self.start_wine(self.unix_path(path))
        self.started(log)
        self.start_host()
        self.remote("utility", "3", "close")
        wait_for(lambda: process.poll() is not None, 60, what="the utility to end")


if __name__ == "__main__":
    unittest.main()
