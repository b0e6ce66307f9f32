"""A remote device inside a test namespace, driven a line at a time on stdin;
each command answers with one line on stdout.

    udp HOST HEX        sends one datagram from the device's UDP socket
    wait SECONDS        the next datagram's hex, or "none" after SECONDS
    waiting             the hex of every datagram already received, or "none"
    tcp HOST            connects to port 1565, reads until the host closes or
                        is quiet for 10 s: "closed HEX" or "open HEX"
    storm HOST N        opens N connections, all held, until each is either
                        closed by the host or has its name: "open A closed B";
                        then closes them all
"""
import select
import socket
import sys

PORT = 1565


def main():
    udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
    udp.bind(("0.0.0.0", 0))
    for line in sys.stdin:
        words = line.split()
        if not words:
            continue
        verb = words[0]
        if verb == "udp":
            udp.sendto(bytes.fromhex(words[2]), (words[1], PORT))
            answer = "sent"
        elif verb == "wait":
            udp.settimeout(float(words[1]))
            try:
                answer = udp.recv(65536).hex()
            except socket.timeout:
                answer = "none"
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
        elif verb == "storm":
            answer = storm(words[1], int(words[2]))
        else:
            answer = "unknown"
        print(answer, flush=True)


def storm(host, count):
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
            else:
                closed += 1
            pending.remove(connection)
            held.append(connection)
    for connection in held:
        connection.close()
    held.clear()
    return "open %d closed %d" % (opened, closed)


held = []


def read_connection(host):
    try:
        connection = socket.create_connection((host, PORT), timeout=30)
    except OSError as error:
        return "failed %s" % error
    connection.settimeout(10)
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


if __name__ == "__main__":
    main()
