#!/usr/bin/python3
"""The browser channel's test vector, computed by a third implementation
(Python's cryptography package from Debian) beside the host's and the
page's: the proof, the keys a claimed code gives, and two messages.

    tools/channel_vector.py           prints the vector as JSON
    tools/channel_vector.py FILE      exits 1 unless FILE holds that vector
"""
import hashlib
import hmac
import json
import sys

from cryptography.hazmat.primitives import hashes
from cryptography.hazmat.primitives.ciphers.aead import AESGCM
from cryptography.hazmat.primitives.kdf.hkdf import HKDF

VERSION = 2


def hkdf(key, salt, label):
    return HKDF(algorithm=hashes.SHA256(), length=32, salt=salt, info=label.encode()).derive(key)


def seal(key, number, payload):
    n = number.to_bytes(8, "big")
    return n + AESGCM(key).encrypt(b"\0" * 4 + n, payload, bytes([VERSION]) + n)


def vector():
    code = bytes(range(32))
    challenge = bytes([0x11]) * 32
    nonce = bytes([0x22]) * 32
    salt = challenge + nonce
    code_id = "b" + hmac.new(code, b"mirovanta2 id", hashlib.sha256).digest()[:8].hex()
    proof = hmac.new(code, b"mirovanta2 proof" + challenge + nonce, hashlib.sha256).digest()
    own = hkdf(code, salt, "mirovanta2 own key")
    own_id = "b" + hmac.new(own, b"mirovanta2 id", hashlib.sha256).digest()[:8].hex()
    to_host = hkdf(own, salt, "mirovanta2 browser to host")
    from_host = hkdf(own, salt, "mirovanta2 host to browser")
    return {
        "code": code.hex(), "challenge": challenge.hex(), "nonce": nonce.hex(),
        "code_id": code_id,
        "hello": (code_id.encode() + nonce + proof).hex(),
        "own_key": own.hex(), "own_id": own_id,
        "to_host": to_host.hex(), "from_host": from_host.hex(),
        "host_ok": seal(from_host, 1, b"ok").hex(),
        "page_ok": seal(to_host, 1, b"ok").hex(),
        "typed": "hunter2 my password",
        "typed_sealed": seal(to_host, 2, b"T" + b"hunter2 my password").hex(),
    }


if __name__ == "__main__":
    text = json.dumps(vector(), indent=2) + "\n"
    if len(sys.argv) < 2:
        sys.stdout.write(text)
    else:
        with open(sys.argv[1]) as f:
            sys.exit(0 if json.load(f) == vector() else 1)
