#!/usr/bin/env python3
"""Probe round trip through the whole host beside a bare UDP echo, natively and
under Wine, in one run; under Wine also the time from a key datagram to the
key-down in a real window, beside the probe round trip; and the size of the exe.

    python3 bench/probe_bench.py [COUNT]

Needs the native-release and windows builds (tools/quickstart.sh builds windows;
cmake --preset native-release && cmake --build --preset native-release).
Everything goes to 127.0.0.1.
"""
import os
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, os.path.join(ROOT, "tests", "wine"))

import harness  # noqa: E402

NATIVE = os.path.join(ROOT, "build", "native-release", "bench")
WINDOWS = os.path.join(ROOT, "build", "windows")
ECHO_PORT = "1566"


def measure(count):
    done = subprocess.run([os.path.join(NATIVE, "probe_rtt"), "1565", ECHO_PORT, str(count)],
                          capture_output=True, text=True, timeout=600)
    return done.stdout.strip() or done.stderr.strip()


def wait_answering(port, deadline=120):
    peer = harness.UdpPeer()
    try:
        harness.wait_for(lambda: _answers(peer, port), deadline, what="port %d" % port)
    finally:
        peer.close()


def _answers(peer, port):
    peer.send(harness.PROBE, port)
    got = peer.receive(0.3)
    return got is not None


def native_run(count):
    processes = [subprocess.Popen([os.path.join(NATIVE, "native_host")], stdout=subprocess.DEVNULL),
                 subprocess.Popen([os.path.join(NATIVE, "udp_echo"), ECHO_PORT])]
    try:
        wait_answering(1565)
        wait_answering(int(ECHO_PORT))
        return measure(count)
    finally:
        for process in processes:
            process.kill()
            process.wait()


class _WineBench(harness.WineTestCase):
    def runTest(self):
        pass


def percentiles(values):
    values = sorted(values)
    return values[len(values) // 2], values[int(0.99 * (len(values) - 1))]


def key_latency(case, count):
    """Alternates a probe and an Enter key datagram; the target window reports
    each key-down back over UDP, so both are timed by the same clock."""
    notify = harness.UdpPeer()
    log = os.path.join(case.workdir, "target.log")
    case.start_wine(case.helper("key_target"), log, str(notify.port))
    case.wait_for_line(log, "ready")
    sender = harness.UdpPeer()
    key = bytes([0x15, 0x65, 0x01, 0x03, 0x10])  # page 3, Enter
    probes, keys = [], []
    try:
        for i in range(count + 20):
            start = time.perf_counter()
            sender.send(harness.PROBE)
            got = sender.receive(5)
            probe_time = time.perf_counter() - start
            start = time.perf_counter()
            sender.send(key)
            seen = notify.receive(5)
            key_time = time.perf_counter() - start
            if i >= 20 and got and seen:
                probes.append(probe_time * 1e6)
                keys.append(key_time * 1e6)
    finally:
        sender.close()
        notify.close()
    p50, p99 = percentiles(probes)
    k50, k99 = percentiles(keys)
    return ("probe round trip   p50 %8.1f us  p99 %8.1f us\n"
            "key to key-down    p50 %8.1f us  p99 %8.1f us  (%d keys)" % (p50, p99, k50, k99, len(keys)))


def resident_kb(pid):
    with open("/proc/%d/status" % pid) as status:
        return next(int(line.split()[1]) for line in status if line.startswith("VmRSS"))


def cpu_seconds(pid):
    with open("/proc/%d/stat" % pid) as stat:
        fields = stat.read().rsplit(")", 1)[1].split()
    return (int(fields[11]) + int(fields[12])) / os.sysconf("SC_CLK_TCK")


def resident_and_idle(case, host):
    """The host's resident memory beside a bare message loop, and its CPU use
    over ten idle seconds."""
    bare = case.start_wine(os.path.join(WINDOWS, "bench", "bare_message_loop.exe"))
    time.sleep(3)
    host_kb, bare_kb = resident_kb(host.pid), resident_kb(bare.pid)
    before = cpu_seconds(host.pid)
    time.sleep(10)
    idle = (cpu_seconds(host.pid) - before) / 10 * 100
    return ("resident memory: host %.1f MB, bare message loop %.1f MB\n"
            "CPU at idle over 10 s: %.2f %%" % (host_kb / 1024, bare_kb / 1024, idle))


def wine_run(count):
    case = _WineBench()
    case.setUp()
    try:
        # Start-up: the Wine session is already up (a helper ran first), as
        # after a logon; the clock runs from the start to the first reply.
        case.run_wine(case.helper("cursor_pos"))
        peer = case.peer()
        start = time.perf_counter()
        host = case.start_wine(os.path.join(case.app_dir(), "Mirovanta2.exe"))
        while time.perf_counter() - start < 120:
            peer.send(harness.PROBE)
            got = peer.receive(0.02)
            if got and got[0] == harness.PROBE_REPLY:
                break
        startup = time.perf_counter() - start
        print("start-up to the first answered probe: %.0f ms (a probe every 20 ms)" %
              (startup * 1000))
        print(resident_and_idle(case, host))
        case.start_wine(os.path.join(WINDOWS, "bench", "udp_echo.exe"), ECHO_PORT)
        wait_answering(int(ECHO_PORT))
        probe = measure(count)
        return probe + "\n-- key datagram to key-down in a window (Python client, same run)\n" + \
            key_latency(case, min(count, 1000))
    finally:
        case.doCleanups()


def main():
    count = int(sys.argv[1]) if len(sys.argv) > 1 else 5000
    print("machine: %s, %d cores" % (os.uname().machine, os.cpu_count()))
    print("== native (POSIX sockets), %d probes each" % count)
    print(native_run(count))
    print("== Wine (%s), %d probes each" % (
        subprocess.run(["wine", "--version"], capture_output=True, text=True).stdout.strip(),
        count))
    print(wine_run(count))
    exe = os.path.join(WINDOWS, "bin", "Mirovanta2.exe")
    print("Mirovanta2.exe: %d bytes" % os.path.getsize(exe))


if __name__ == "__main__":
    main()
