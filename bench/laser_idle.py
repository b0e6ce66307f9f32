#!/usr/bin/env python3
"""CPU use of "Laser.exe" under Wine beside its floor (bench/floors/floor_laser:
a dot-sized layered window moved to the pointer at the overlay's own pace),
both running through the same ten seconds with the pointer still, and the same
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
        floor = case.start_wine(os.path.join(os.path.dirname(harness.WINDOWS_BIN), "bench",
                                             "floor_laser.exe"))
        harness.wait_for(lambda: case.window_rect("TLaserForm"), 60, what="the overlay")
        harness.wait_for(lambda: case.window_rect("FloorLaser"), 60, what="the floor's dot")
        case.xdotool("mousemove", "500", "400")
        time.sleep(2)  # both settle to their resting pace: a measurement window, not a wait
        pids = (laser.pid, floor.pid)
        before = [cpu_seconds(pid) for pid in pids]
        time.sleep(10)
        still = [(cpu_seconds(pid) - b) / 10 * 100 for pid, b in zip(pids, before)]
        before = [cpu_seconds(pid) for pid in pids]
        start = time.monotonic()
        step = 0
        while time.monotonic() - start < 10:
            step += 1
            case.xdotool("mousemove", str(300 + step % 400), str(300 + (step * 3) % 300))
            time.sleep(0.02)
        took = time.monotonic() - start
        moving = [(cpu_seconds(pid) - b) / took * 100 for pid, b in zip(pids, before)]
        print("CPU under Wine, pointer still:  Laser.exe %.2f %%  floor_laser %.2f %%"
              % tuple(still))
        print("CPU under Wine, pointer moving: Laser.exe %.1f %%  floor_laser %.1f %%  "
              "ratio %.1f  (%d moves in 10 s)"
              % (moving[0], moving[1], moving[0] / max(moving[1], 0.01), step))
    finally:
        case.doCleanups()


if __name__ == "__main__":
    main()
