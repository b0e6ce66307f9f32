"""A remote device inside a test namespace, driven a line at a time on stdin;
each command answers with one line on stdout.

    udp HOST HEX        sends one datagram from the device's UDP socket
    udpfrom SRC,... HOST HEX N [GAP_MS]
                        sends N datagrams from each of the source addresses,
                        taking them in turn, GAP_MS apart after each turn
    wait SECONDS        the next datagram's hex, or "none" after SECONDS
    waitfrom SRC SECONDS
                        the same, on the socket of a source used by udpfrom
    waiting             the hex of every datagram already received, or "none"
    tcp HOST            connects to port 1565, reads until the host closes or
                        is quiet for 10 s: "closed HEX" or "open HEX"
    storm HOST N [keep] opens N connections, all held, until each is either
                        closed by the host or has its name: "open A closed B";
                        then closes them all, or with keep holds the open ones
    release             closes the connections a storm kept
    heldclosed SECONDS  waits until the host closed every connection a storm
                        kept: "closed N in S" (N of them closed, S seconds)
    loops HOST N        connects and closes at once, N times, one after another:
                        "looped N"
    probes0 SRC HOST HEX N
                        sends N datagrams from SRC with source port 0, which
                        no answer can reach: "sent N"
    http HOST PORT HEX  sends the request HEX to PORT and reads as tcp does:
                        "closed HEX" or "open HEX"
    squat HOST PORT N SRC,...
                        opens N WebSockets to PORT as the page would, taking the
                        sources in turn, and keeps them without ever proving:
                        answers each ping, sends a ping and an empty fragment
                        of a message it never ends every half second:
                        "squatting K" (K of
                        them were challenged)
    squatopen           how many squatting sockets the host has not closed
    squatclosed SECONDS waits until the host closed every squatting socket:
                        "closed N of M in S"
"""
import select
import socket
import struct
import sys
import threading
import time

PORT = 1565


def main():
    udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    udp.bind(("0.0.0.0", 0))
    bound = {}
    for line in sys.stdin:
        words = line.split()
        if not words:
            continue
        verb = words[0]
        if verb == "udp":
            udp.sendto(bytes.fromhex(words[2]), (words[1], PORT))
            answer = "sent"
        elif verb == "udpfrom":
            answer = send_from(bound, words[1].split(","), words[2], bytes.fromhex(words[3]),
                               int(words[4]), float(words[5]) / 1000 if len(words) > 5 else 0)
        elif verb == "wait":
            answer = receive(udp, float(words[1]))
        elif verb == "waitfrom":
            answer = receive(bound[words[1]], float(words[2]))
        elif verb == "waiting":
            udp.setblocking(False)
            got = []
            try:
                while True:
                    got.append(udp.recv(65536).hex())
            except BlockingIOError:
                pass
            udp.setblocking(True)
            answer = " ".join(got) or "none"
        elif verb == "tcp":
            answer = read_connection(words[1])
        elif verb == "http":
            answer = read_connection(words[1], int(words[2]), bytes.fromhex(words[3]))
        elif verb == "storm":
            answer = storm(words[1], int(words[2]), words[3:] == ["keep"])
        elif verb == "release":
            answer = "released %d" % release()
        elif verb == "heldclosed":
            answer = held_closed(float(words[1]))
        elif verb == "loops":
            answer = loops(words[1], int(words[2]))
        elif verb == "squat":
            answer = squat(words[1], int(words[2]), int(words[3]), words[4].split(","))
        elif verb == "squatopen":
            with squat_lock:
                for squatter in squatters:
                    squatter.keep_busy()  # a close not looked at yet counts
                answer = str(sum(1 for s in squatters if s.closed_at is None))
        elif verb == "squatclosed":
            answer = squat_closed(float(words[1]))
        elif verb == "probes0":
            answer = from_port_zero(words[1], words[2], bytes.fromhex(words[3]), int(words[4]))
        else:
            answer = "unknown"
        print(answer, flush=True)


def receive(udp, seconds):
    udp.settimeout(seconds)
    try:
        return udp.recv(65536).hex()
    except socket.timeout:
        return "none"


def send_from(bound, sources, host, data, count, gap):
    for source in sources:
        if source not in bound:
            bound[source] = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
            bound[source].bind((source, 0))
    sent = 0
    for _ in range(count):
        for source in sources:
            bound[source].sendto(data, (host, PORT))
            sent += 1
        if gap:
            time.sleep(gap)
    return "sent %d" % sent


def storm(host, count, keep):
    """Every connection ends up named (the host keeps it) or closed by the
    host (one too many); counted once all have settled."""
    pending = []
    for _ in range(count):
        connection = socket.create_connection((host, PORT), timeout=30)
        connection.setblocking(False)
        pending.append(connection)
    opened = closed = 0
    while pending:
        readable, _, _ = select.select(pending, [], [], 60)
        if not readable:
            break  # neither named nor closed within a minute: counted as neither
        for connection in readable:
            try:
                data = connection.recv(100)
            except (ConnectionResetError, BlockingIOError):
                data = b""
            if data:
                opened += 1
                held.append(connection)
            else:
                closed += 1
                connection.close()
            pending.remove(connection)
    for connection in pending:
        connection.close()
    if not keep:
        release()
    return "open %d closed %d" % (opened, closed)


def release():
    count = len(held)
    for connection in held:
        connection.close()
    held.clear()
    return count


held = []


def held_closed(seconds):
    start = time.monotonic()
    open_ones = list(held)
    while open_ones and time.monotonic() - start < seconds:
        readable, _, _ = select.select(open_ones, [], [], 0.05)
        for connection in readable:
            try:
                data = connection.recv(100)
            except ConnectionResetError:
                data = b""
            if not data:
                open_ones.remove(connection)
    return "closed %d in %.2f" % (len(held) - len(open_ones), time.monotonic() - start)


def loops(host, count):
    for _ in range(count):
        connection = socket.create_connection((host, PORT), timeout=30)
        connection.close()
    return "looped %d" % count


def from_port_zero(source, host, data, count):
    """A raw socket writes the UDP header itself: port 0, no checksum."""
    raw = socket.socket(socket.AF_INET, socket.SOCK_RAW, socket.IPPROTO_UDP)
    raw.bind((source, 0))
    packet = struct.pack("!HHHH", 0, PORT, 8 + len(data), 0) + data
    for _ in range(count):
        raw.sendto(packet, (host, 0))
    raw.close()
    return "sent %d" % count


def read_connection(host, port=PORT, request=b""):
    try:
        connection = socket.create_connection((host, port), timeout=30)
    except OSError as error:
        return "failed %s" % error
    connection.settimeout(10)
    if request:
        try:
            connection.sendall(request)
        except OSError:
            pass  # closed before the request: what was read tells
    data = b""
    try:
        while True:
            more = connection.recv(100)
            if not more:
                return "closed " + (data.hex() or "-")
            data += more
    except socket.timeout:
        return "open " + (data.hex() or "-")
    except ConnectionResetError:
        return "closed " + (data.hex() or "-")
    finally:
        connection.close()


class Squatter:
    """One WebSocket held open without a proof, kept as busy as a socket can
    be without saying anything the host could check."""
    MASK = b"\x01\x02\x03\x04"

    def __init__(self, host, port, source):
        self.socket = socket.create_connection((host, port), timeout=10,
                                               source_address=(source, 0))
        where = "%s:%d" % (host, port)
        self.socket.sendall((
            "GET /ws HTTP/1.1\r\nHost: %s\r\nUpgrade: websocket\r\nConnection: Upgrade\r\n"
            "Sec-WebSocket-Key: dGhlIHNhbXBsZSBub25jZQ==\r\nSec-WebSocket-Version: 13\r\n"
            "Origin: http://%s\r\n\r\n" % (where, where)).encode())
        self.buffer = b""
        self.closed_at = None
        self.begun = False
        while b"\r\n\r\n" not in self.buffer:
            self.buffer += self.socket.recv(4096) or b"x" * 4 + b"\r\n\r\n"
        head, self.buffer = self.buffer.split(b"\r\n\r\n", 1)
        self.upgraded = head.startswith(b"HTTP/1.1 101")
        while self.upgraded and len(self.buffer) < 34:  # the challenge: 2 + 32 bytes
            got = self.socket.recv(4096)
            if not got:
                self.upgraded = False
            self.buffer += got
        self.challenged = self.upgraded and self.buffer[:2] == b"\x82\x20"
        self.buffer = self.buffer[34:]
        self.socket.setblocking(False)

    def frame(self, head, payload=b""):
        masked = bytes(b ^ self.MASK[i % 4] for i, b in enumerate(payload))
        return bytes([head, 0x80 | len(payload)]) + self.MASK + masked

    def keep_busy(self):
        if self.closed_at is not None:
            return
        try:
            while True:
                got = self.socket.recv(4096)
                if not got:
                    raise ConnectionResetError
                self.buffer += got
        except BlockingIOError:
            pass
        except OSError:
            self.close()
            return
        while len(self.buffer) >= 2 and len(self.buffer) >= 2 + (self.buffer[1] & 0x7F):
            size = 2 + (self.buffer[1] & 0x7F)
            frame, self.buffer = self.buffer[:size], self.buffer[size:]
            if frame[0] == 0x89:  # the host's ping: the pong it asks for
                self.send(self.frame(0x8A, frame[2:]))
        # A message begun and never ended: its empty fragments go on for ever.
        self.send(self.frame(0x89) + self.frame(0x00 if self.begun else 0x02))
        self.begun = True

    def send(self, data):
        try:
            self.socket.send(data)
        except (BlockingIOError, OSError):
            pass  # a full or closed socket: the next look at it tells which

    def close(self):
        if self.closed_at is None:
            self.closed_at = time.monotonic()
            self.socket.close()


squatters = []
squat_lock = threading.Lock()


def squat(host, port, count, sources):
    made = []
    for i in range(count):
        try:
            made.append(Squatter(host, port, sources[i % len(sources)]))
        except OSError:
            pass  # refused at once: counted as not challenged
    with squat_lock:
        squatters.extend(made)
    if len(squatters) == len(made):
        threading.Thread(target=keep_squatting, daemon=True).start()
    return "squatting %d" % sum(1 for s in made if s.challenged)


def keep_squatting():
    while True:
        with squat_lock:
            for squatter in squatters:
                squatter.keep_busy()
        time.sleep(0.5)


def squat_closed(seconds):
    start = time.monotonic()
    while time.monotonic() - start < seconds:
        with squat_lock:
            open_ones = [s for s in squatters if s.closed_at is None]
        if not open_ones:
            break
        time.sleep(0.1)
    with squat_lock:
        closed = [s for s in squatters if s.closed_at is not None]
    return "closed %d of %d in %.2f" % (len(closed), len(squatters), time.monotonic() - start)


if __name__ == "__main__":
    main()
