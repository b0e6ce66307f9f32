#!/usr/bin/env python3
"""Writes the starting corpus of the datagram fuzz target: one valid datagram
for every group, selector, page and button row, and the probe, each behind the
four scene bytes the target reads first (the sender, the adapter's prefix and
state, asking and pause), and a few scenes of other senders and networks.

    python3 tools/make_fuzz_corpus.py fuzz/corpus/datagram
"""
import os
import sys

BUTTONS = ([0x02] + list(range(0x10, 0x19)) + list(range(0x20, 0x28)) + [0x30, 0x31, 0x32, 0x41, 0x42]
           + list(range(0x50, 0x5A)) + [0x60, 0x61, 0x70, 0x71] + list(range(0xF0, 0x100)))


def datagrams():
    yield "probe", bytes([0x15, 0x65, 0x80])
    for page in range(1, 9):
        for code in BUTTONS:
            yield "page%d-%02x" % (page, code), bytes([0x15, 0x65, 1, page, code])
    yield "text", b"\x15\x65\x02\x00Hello, 123"
    yield "text-empty", b"\x15\x65\x02\x00\x00"
    yield "move", bytes([0x15, 0x65, 3, 1, 0xFB, 0x07])
    yield "click-left", bytes([0x15, 0x65, 3, 2, 0])
    yield "click-right", bytes([0x15, 0x65, 3, 3, 0])
    yield "wheel-toward", bytes([0x15, 0x65, 3, 4, 0, 1])
    yield "wheel-away", bytes([0x15, 0x65, 3, 4, 0, 2])
    yield "pointer-noop", bytes([0x15, 0x65, 3, 5, 0])
    for selector in range(1, 5):
        yield "utility%d-launch" % selector, bytes([0x15, 0x65, 4, selector, 0x02])
        yield "utility%d-close" % selector, bytes([0x15, 0x65, 4, selector, 0xFF])


# sender (0 loopback, 1 allowed, 2 and 3 new nearby, 4 and 5 far), prefix
# length of the PC's adapter, flags (1 up, 2 tunnel, 4 ask, 8 paused, 16 answer
# yes, 32 answer no), prefix of a second adapter.
ALLOWED_HOME = bytes([1, 24, 1 | 4, 16])
SCENES = {
    "loopback-paused": bytes([0, 24, 1 | 4 | 8, 16]),
    "new-device-yes": bytes([2, 24, 1 | 4 | 16, 16]),
    "new-device-no": bytes([3, 24, 1 | 4 | 32, 16]),
    "far": bytes([4, 24, 1 | 4, 16]),
    "tunnel": bytes([2, 24, 1 | 2 | 4, 16]),
    "wide-prefix": bytes([5, 8, 1, 0]),
    "adapter-down": bytes([1, 24, 4, 16]),
}


def main(folder):
    os.makedirs(folder, exist_ok=True)
    for name, data in datagrams():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(ALLOWED_HOME + data)
    for name, scene in SCENES.items():
        with open(os.path.join(folder, "scene-" + name), "wb") as out:
            out.write(scene + bytes([0x15, 0x65, 1, 3, 0x20]))


if __name__ == "__main__":
    main(sys.argv[1])
