"""What crosses one of the test's own veth links, as an observer on the Wi-Fi
would see it: every TCP segment to or from one port, captured with a packet
socket on the link (the test runs as root), put back in order per direction,
and the WebSocket frames in it read and unmasked.

    with Capture(link, 1566) as seen:
        ...
    seen.streams()            {(source, destination): bytes in order}
    seen.websocket_payloads() [(from_client, payload unmasked), ...]
"""
import socket
import struct
import threading

ETH_P_ALL = 0x0003
ETH_P_IP = 0x0800


class Capture:
    def __init__(self, link, port):
        self.link, self.port = link, port
        self.segments = {}  # (source, destination) -> {sequence: payload}
        self.stop = threading.Event()

    def __enter__(self):
        self.sock = socket.socket(socket.AF_PACKET, socket.SOCK_RAW, socket.htons(ETH_P_ALL))
        self.sock.bind((self.link, 0))
        self.sock.settimeout(0.2)
        self.thread = threading.Thread(target=self._run, daemon=True)
        self.thread.start()
        return self

    def __exit__(self, *failure):
        self.stop.set()
        self.thread.join(10)
        self.sock.close()

    def _run(self):
        while not self.stop.is_set():
            try:
                frame = self.sock.recv(65536)
            except socket.timeout:
                continue
            except OSError:
                return  # the link went away with the test's namespace
            self._take(frame)

    def _take(self, frame):
        if len(frame) < 14 + 20 or struct.unpack("!H", frame[12:14])[0] != ETH_P_IP:
            return
        ip = frame[14:]
        header = (ip[0] & 0x0F) * 4
        if ip[9] != socket.IPPROTO_TCP:
            return
        total = struct.unpack("!H", ip[2:4])[0]
        tcp = ip[header:total]
        source_port, destination_port, sequence = struct.unpack("!HHI", tcp[:8])
        if self.port not in (source_port, destination_port):
            return
        payload = tcp[(tcp[12] >> 4) * 4:]
        if payload:
            key = ((socket.inet_ntoa(ip[12:16]), source_port),
                   (socket.inet_ntoa(ip[16:20]), destination_port))
            # A retransmission lands on the same sequence number.
            self.segments.setdefault(key, {})[sequence] = payload

    def streams(self):
        joined = {}
        for key, pieces in list(self.segments.items()):
            data, end = b"", None
            for sequence in sorted(pieces):
                piece = pieces[sequence]
                if end is not None and sequence < end:
                    piece = piece[end - sequence:]  # overlapped by what came before
                data += piece
                end = sequence + len(pieces[sequence]) if end is None else max(
                    end, sequence + len(pieces[sequence]))
            joined[key] = data
        return joined

    def websocket_payloads(self):
        """The payloads of every frame after a WebSocket upgrade, unmasked."""
        found = []
        for (source, destination), data in self.streams().items():
            head, separator, frames = data.partition(b"\r\n\r\n")
            if not separator or b"websocket" not in head.lower():
                continue
            from_client = destination[1] == self.port
            found += [(from_client, payload) for payload in frames_of(frames)]
        return found


def frames_of(data):
    payloads = []
    at = 0
    while at + 2 <= len(data):
        masked, length = data[at + 1] & 0x80, data[at + 1] & 0x7F
        at += 2
        if length == 126:
            length, at = struct.unpack("!H", data[at:at + 2])[0], at + 2
        elif length == 127:
            length, at = struct.unpack("!Q", data[at:at + 8])[0], at + 8
        mask = data[at:at + 4] if masked else b"\0\0\0\0"
        at += 4 if masked else 0
        body = data[at:at + length]
        at += length
        payloads.append(bytes(b ^ mask[i % 4] for i, b in enumerate(body)))
    return payloads
