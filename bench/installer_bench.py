#!/usr/bin/env python3
"""Sizes of the installer and the portable zip, and how long a silent install
and a silent uninstall take under Wine, each beside its floor:

  - install: "Mirovanta2-Setup-<version>.exe /S" on a fresh prefix, against
    the simplest way to put the same four programs there: cmd's copy into
    the same folder;
  - uninstall: the entry's quiet uninstall command until the folder and the
    entry are gone, against cmd's rmdir /s of the folder.

    python3 bench/installer_bench.py [ROUNDS]

Needs the windows build (tools/quickstart.sh builds it). Sends nothing.
"""
import os
import statistics
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "tests", "wine"))

import harness  # noqa: E402
import installed  # noqa: E402
from installed import INSTALL_DIR, PROGRAMS  # noqa: E402


class _Round(installed.InstallerCase):
    def runTest(self):
        pass

    def timed(self, *command):
        start = time.monotonic()
        self.run_to_end(*command)
        return time.monotonic() - start

    def batch(self, name, lines):
        """A batch file in the prefix: cmd reads its quotes as written."""
        with open(self.unix_path("C:\\" + name), "w", newline="\r\n") as batch:
            batch.write("\n".join(["@echo off"] + lines) + "\n")
        return "C:\\" + name

    def floor_install(self):
        os.makedirs(self.unix_path(INSTALL_DIR), exist_ok=True)
        batch = self.batch("floor_install.bat", [
            'copy /y "Z:%s" "%s" >nul' % (os.path.join(harness.WINDOWS_BIN, name).replace("/", "\\"),
                                          INSTALL_DIR) for name in PROGRAMS])
        took = self.timed("cmd", "/c", batch)
        if sorted(os.listdir(self.unix_path(INSTALL_DIR))) != sorted(PROGRAMS):
            raise RuntimeError("the floor did not copy the programs")
        return took

    def floor_uninstall(self):
        batch = self.batch("floor_uninstall.bat", ['rmdir /s /q "%s"' % INSTALL_DIR])
        took = self.timed("cmd", "/c", batch)
        if os.path.exists(self.unix_path(INSTALL_DIR)):
            raise RuntimeError("the floor did not remove the folder")
        return took


def one_round():
    case = _Round()
    case.setUp()
    try:
        # The Wine session is up first, as it is for a user who runs the setup.
        case.run_wine(case.helper("cursor_pos"))
        floor_in = case.floor_install()
        floor_out = case.floor_uninstall()
        setup_in = case.install()
        setup_out = case.uninstall()
        return setup_in, floor_in, setup_out, floor_out
    finally:
        case.doCleanups()


def main():
    rounds = int(sys.argv[1]) if len(sys.argv) > 1 else 5
    programs = sum(os.path.getsize(os.path.join(harness.WINDOWS_BIN, n)) for n in PROGRAMS)
    print("%s: %d bytes; %s: %d bytes; the four programs: %d bytes" % (
        os.path.basename(installed.SETUP), os.path.getsize(installed.SETUP),
        os.path.basename(installed.PORTABLE_ZIP), os.path.getsize(installed.PORTABLE_ZIP),
        programs))
    results = [one_round() for _ in range(rounds)]
    for label, index, floor_label in (("silent install", 0, "cmd copy of the four programs"),
                                      ("silent uninstall", 2, "cmd rmdir /s of the folder")):
        setup = [r[index] for r in results]
        floor = [r[index + 1] for r in results]
        print("%-17s under Wine: p50 %5.2f s  max %5.2f s   floor (%s): p50 %5.2f s  ratio p50 "
              "%.1f  (%d rounds, a fresh prefix each)"
              % (label, statistics.median(setup), max(setup), floor_label,
                 statistics.median(floor), statistics.median(setup) / statistics.median(floor),
                 rounds))


if __name__ == "__main__":
    main()
