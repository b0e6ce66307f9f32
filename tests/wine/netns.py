"""Test hosts of their own for the end-to-end tests: two network namespaces
joined to this machine by veth pairs, made for one test and removed after it,
also when it fails.

    near  10.77.N.2/24   on a subnet of a veth adapter the host sees itself
    far   10.78.N.2/24   a subnet the host has no adapter on, routed through near
    near2 10.79.N.2/24   another device on an adapter of its own, made on demand

Traffic goes only to the addresses of these test hosts and of the host's own
end (10.77.N.1); nothing is broadcast.
"""
import json
import os
import subprocess
import sys

AGENT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "netns_agent.py")


def ip(*args, check=True):
    return subprocess.run(["ip"] + list(args), check=check, capture_output=True, text=True,
                          timeout=60)


def available():
    """Namespaces need root and iproute2."""
    return os.geteuid() == 0 and ip("netns", "list", check=False).returncode == 0


class TestNetwork:
    def __init__(self):
        n = os.getpid() % 200 + 20
        self.tag = "mv%d" % os.getpid()
        self.near, self.far = self.tag + "n", self.tag + "f"
        self.host_link, self.near_link = self.tag + "h", self.tag + "a"
        self.inner_near, self.inner_far = self.tag + "b", self.tag + "c"
        self.host_address = "10.77.%d.1" % n
        self.near_address = "10.77.%d.2" % n
        self.far_address = "10.78.%d.2" % n
        self.far_subnet = "10.78.%d.0/24" % n
        self.near2 = self.tag + "m"
        self.host_link2, self.near2_link = self.tag + "i", self.tag + "d"
        self.host_address2 = "10.79.%d.1" % n
        self.near2_address = "10.79.%d.2" % n
        self.n = n

    def __enter__(self):
        try:
            self._make()
        except BaseException:
            self.remove()
            raise
        return self

    def __exit__(self, *failure):
        self.remove()

    def _make(self):
        n = self.n
        ip("netns", "add", self.near)
        ip("netns", "add", self.far)
        ip("link", "add", self.host_link, "type", "veth", "peer", "name", self.near_link)
        ip("link", "set", self.near_link, "netns", self.near)
        ip("addr", "add", self.host_address + "/24", "dev", self.host_link)
        ip("link", "set", self.host_link, "up")
        ip("-n", self.near, "addr", "add", self.near_address + "/24", "dev", self.near_link)
        ip("-n", self.near, "link", "set", self.near_link, "up")
        ip("-n", self.near, "link", "set", "lo", "up")
        ip("link", "add", self.inner_near, "netns", self.near, "type", "veth", "peer", "name",
           self.inner_far, "netns", self.far)
        ip("-n", self.near, "addr", "add", "10.78.%d.1/24" % n, "dev", self.inner_near)
        ip("-n", self.near, "link", "set", self.inner_near, "up")
        ip("-n", self.far, "addr", "add", self.far_address + "/24", "dev", self.inner_far)
        ip("-n", self.far, "link", "set", self.inner_far, "up")
        ip("-n", self.far, "link", "set", "lo", "up")
        ip("-n", self.far, "route", "add", "default", "via", "10.78.%d.1" % n)
        subprocess.run(["ip", "netns", "exec", self.near, "sysctl", "-qw", "net.ipv4.ip_forward=1"],
                       check=True, timeout=60)
        # The way back to the far host, for the TCP handshake the system makes
        # before the host can refuse the connection.
        ip("route", "add", self.far_subnet, "via", self.near_address)

    def make_near2(self):
        """A second nearby device, with a hardware address of its own."""
        ip("netns", "add", self.near2)
        ip("link", "add", self.host_link2, "type", "veth", "peer", "name", self.near2_link)
        ip("link", "set", self.near2_link, "netns", self.near2)
        ip("addr", "add", self.host_address2 + "/24", "dev", self.host_link2)
        ip("link", "set", self.host_link2, "up")
        ip("-n", self.near2, "addr", "add", self.near2_address + "/24", "dev", self.near2_link)
        ip("-n", self.near2, "link", "set", self.near2_link, "up")
        ip("-n", self.near2, "link", "set", "lo", "up")

    def near_addresses(self, count, first=100):
        """More addresses of the near namespace's subnet, for sending from."""
        addresses = ["10.77.%d.%d" % (self.n, first + i) for i in range(count)]
        for address in addresses:
            ip("-n", self.near, "addr", "add", address + "/24", "dev", self.near_link)
        return addresses

    def as_separate_devices(self, addresses):
        """Makes this machine's neighbour table give each address a hardware
        address of its own, as if each were a device apart. Nothing is ever
        sent to them: the host does not answer commands."""
        for i, address in enumerate(addresses):
            ip("neigh", "replace", address, "lladdr", "02:00:4d:32:%02x:%02x" % (i // 256, i % 256),
               "dev", self.host_link, "nud", "permanent")

    def near_hardware_address(self):
        links = json.loads(ip("-n", self.near, "-j", "link", "show", self.near_link).stdout)
        return links[0]["address"]

    def move_near(self, address):
        """The near device gets another address of its subnet, as after a
        DHCP renewal; its next datagram makes this machine learn it anew."""
        ip("-n", self.near, "addr", "del", self.near_address + "/24", "dev", self.near_link)
        ip("-n", self.near, "addr", "add", address + "/24", "dev", self.near_link)
        ip("-n", self.near, "neigh", "flush", "all")
        self.near_address = address

    def remove(self):
        ip("route", "del", self.far_subnet, check=False)
        ip("link", "del", self.host_link, check=False)
        ip("link", "del", self.host_link2, check=False)
        for namespace in (self.near, self.far, self.near2):
            ip("netns", "del", namespace, check=False)

    def agent(self, namespace):
        return Agent(namespace)

    def host_rx_packets(self):
        """Packets this machine took in on the host's end of the near link."""
        stats = json.loads(ip("-s", "-j", "link", "show", self.host_link).stdout)
        return stats[0]["stats64"]["rx"]["packets"]


class Agent:
    """A device in a namespace: a small process that sends and receives on
    command, so that one socket lives across the steps of a test."""

    def __init__(self, namespace):
        self.process = subprocess.Popen(["ip", "netns", "exec", namespace, sys.executable, AGENT],
                                        stdin=subprocess.PIPE, stdout=subprocess.PIPE, text=True)

    def ask(self, *words):
        self.process.stdin.write(" ".join(str(w) for w in words) + "\n")
        self.process.stdin.flush()
        return self.process.stdout.readline().strip()

    def close(self):
        if self.process.poll() is None:
            self.process.stdin.close()
            try:
                self.process.wait(10)
            except subprocess.TimeoutExpired:
                self.process.kill()
                self.process.wait(10)
        self.process.stdout.close()
