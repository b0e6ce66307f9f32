#!/usr/bin/env python3
"""CPU use of "Laser.exe" under Wine: ten seconds with the pointer still, and
ten seconds with the pointer moving a few pixels every 20 ms.

    python3 bench/laser_idle.py

Needs the windows build. Starts nothing on the network.
"""
import os
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "wine"))

import harness  # noqa: E402


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


class _LaserBench(harness.WineTestCase):
    def runTest(self):
        pass


def main():
    case = _LaserBench()
    case.setUp()
    try:
        laser = case.start_wine(os.path.join(harness.WINDOWS_BIN, "Laser.exe"), "-d")
        harness.wait_for(lambda: case.window_rect("TLaserForm"), 60, what="the overlay")
        case.xdotool("mousemove", "500", "400")
        time.sleep(2)
        before = cpu_seconds(laser.pid)
        time.sleep(10)
        still = (cpu_seconds(laser.pid) - before) / 10 * 100
        before = cpu_seconds(laser.pid)
        start = time.monotonic()
        step = 0
        while time.monotonic() - start < 10:
            step += 1
            case.xdotool("mousemove", str(300 + step % 400), str(300 + (step * 3) % 300))
            time.sleep(0.02)
        moving = (cpu_seconds(laser.pid) - before) / (time.monotonic() - start) * 100
        print("Laser.exe CPU under Wine: %.2f %% with the pointer still, %.1f %% while it moves "
              "(%d moves in 10 s)" % (still, moving, step))
    finally:
        case.doCleanups()


if __name__ == "__main__":
    main()
