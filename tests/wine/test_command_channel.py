"""The UDP command channel of the real host under Wine, driven from Linux."""
import os
import socket
import unittest

from harness import LOCAL, PORT, PROBE, PROBE_REPLY, WineTestCase, wait_for


class CommandChannel(WineTestCase):

    def setUp(self):
        super().setUp()
        self.host = self.start_host()

    def first_reply(self, peer, timeout=30.0):
        got = peer.receive(timeout)
        self.assertIsNotNone(got, "no reply within %.0f s" % timeout)
        return got

    def assert_only_reply_was_the_probes(self, peer):
        """Datagrams are handled in arrival order: once a second device's probe
        is answered, every reply to `peer` has arrived, and there must be
        exactly one, the probe's."""
        witness = self.peer()
        witness.send(PROBE)
        self.assertEqual(self.first_reply(witness)[0], PROBE_REPLY)
        self.assertEqual([data for data, _ in peer.waiting()], [PROBE_REPLY])

    def test_probe_reply_is_exact_and_goes_back_to_the_probes_own_port(self):
        for _ in range(3):
            peer = self.peer()
            self.assertNotEqual(peer.port, PORT)
            peer.send(PROBE)
            data, (address, port) = self.first_reply(peer)
            self.assertEqual(data, PROBE_REPLY)
            self.assertEqual((address, port), (LOCAL, PORT), "the reply leaves from port 1565")

    def test_datagrams_that_are_not_probes_get_no_reply(self):
        peer = self.peer()
        not_probes = [b"\x15\x65\x81", b"\x15\x65\x00", b"\x00\x00\x80", b"\x15\x65\x80\x00\x00",
                      b"", b"\x15", b"\x15\x65", b"\x15\x65\x03\x02", b"\x65\x15\x80"]
        for datagram in not_probes:
            peer.send(datagram)
        peer.send(PROBE)
        self.assert_only_reply_was_the_probes(peer)

    def test_a_datagram_larger_than_the_buffer_is_dropped_and_the_host_goes_on(self):
        peer = self.peer()
        peer.sock.setsockopt(socket.SOL_SOCKET, socket.SO_SNDBUF, 1 << 20)
        peer.send(b"\x15\x65\x80" + bytes(8997))
        peer.send(PROBE)
        self.assert_only_reply_was_the_probes(peer)

    def test_a_probe_whose_socket_closed_before_the_reply_does_not_stop_the_host(self):
        for _ in range(5):
            gone = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
            gone.sendto(PROBE, (LOCAL, PORT))
            gone.close()
        peer = self.peer()
        peer.send(PROBE)
        self.assertEqual(self.first_reply(peer)[0], PROBE_REPLY)

    def test_every_command_datagram_is_taken_and_the_host_keeps_answering(self):
        for words in (["page", "3", "play"], ["move", "-5", "7"], ["click", "left"],
                      ["wheel", "up"], ["utility", "2", "close"], ["send", "15 65 05 01 02"]):
            self.remote(*words)
        peer = self.peer()
        peer.send(PROBE)
        self.assertEqual(self.first_reply(peer)[0], PROBE_REPLY)

    def test_remote_discover_lists_the_host(self):
        done = self.remote("discover", LOCAL)
        self.assertTrue(done.stdout.decode().startswith(LOCAL), done.stdout)

    def test_a_second_copy_ends_at_once_with_exit_code_0_and_the_first_keeps_answering(self):
        second = self.start_wine(self.host_exe(), log_name="second.log")
        self.assertEqual(wait_for(lambda: second.poll() is not None, 60,
                                  what="the second copy to end") and second.returncode, 0)
        self.assertIsNone(self.host.poll())
        peer = self.peer()
        peer.send(PROBE)
        self.assertEqual(self.first_reply(peer)[0], PROBE_REPLY)

    def host_exe(self):
        return os.path.join(self.app_dir(), "Mirovanta2.exe")


class StartUpErrors(WineTestCase):

    def test_udp_port_taken_shows_the_bind_error_box_and_the_program_ends_with_0(self):
        blocker = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.addCleanup(blocker.close)
        blocker.bind(("0.0.0.0", PORT))
        host = self.start_wine(os.path.join(self.app_dir(), "Mirovanta2.exe"))
        code, output = self.run_wine(self.helper("read_message_box"), "90")
        self.assertEqual(code, 0, output)
        self.assertIn("caption: Mirovanta2", output)
        self.assertIn("text: Could not bind socket. Address and port are already in use.", output)
        wait_for(lambda: host.poll() is not None, 60, what="the host to end after the box")
        self.assertEqual(host.returncode, 0)


if __name__ == "__main__":
    unittest.main()
