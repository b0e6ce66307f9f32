#!/usr/bin/env python3
"""Writes the starting corpus of the datagram fuzz target: one valid datagram
for every group, selector, page and button row, and the probe.

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


def main(folder):
    os.makedirs(folder, exist_ok=True)
    for name, data in datagrams():
        with open(os.path.join(folder, name), "wb") as out:
            out.write(data)


if __name__ == "__main__":
    main(sys.argv[1])
