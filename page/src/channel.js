// The page's side of the host's channel: the browser's id, its answer to a
// challenge, the keys of a connection and the encryption of each message.
// The key never leaves the page: only its id and proofs made with it are
// sent, and every message after the proof is AES-256-GCM.
import { gcm } from '@noble/ciphers/aes';
import { hkdf } from '@noble/hashes/hkdf';
import { hmac } from '@noble/hashes/hmac';
import { sha256 } from '@noble/hashes/sha256';

const encoder = new TextEncoder();
export const NONCE_BYTES = 32;
const NUMBER_BYTES = 8;
const TAG_BYTES = 16;
const VERSION = 2;

export function hex(bytes) {
  return Array.from(bytes, (b) => b.toString(16).padStart(2, '0')).join('');
}

export function fromHex(text) {
  if (!/^([0-9a-f]{2})+$/.test(text)) return null;
  const bytes = new Uint8Array(text.length / 2);
  for (let i = 0; i < bytes.length; i++) bytes[i] = parseInt(text.substr(i * 2, 2), 16);
  return bytes;
}

function join(...parts) {
  const all = new Uint8Array(parts.reduce((n, p) => n + p.length, 0));
  let at = 0;
  for (const p of parts) { all.set(p, at); at += p.length; }
  return all;
}

// "b" and the first 8 bytes of HMAC-SHA256(key, "mirovanta2 id") in hex.
export function browserId(key) {
  return 'b' + hex(hmac(sha256, key, encoder.encode('mirovanta2 id')).slice(0, 8));
}

function derive(key, challenge, nonce, label) {
  return hkdf(sha256, key, join(challenge, nonce), encoder.encode(label), 32);
}

// The hello that answers a challenge, and the keys of this connection. A
// pairing code (`claiming`) gives way to the browser's own key, which the
// host derives the same way: `own` is what the page keeps from then on.
export function answer(key, challenge, nonce, claiming) {
  const proof = hmac(sha256, key, join(encoder.encode('mirovanta2 proof'), challenge, nonce));
  const own = claiming ? derive(key, challenge, nonce, 'mirovanta2 own key') : key;
  return {
    hello: join(encoder.encode(browserId(key)), nonce, proof),
    own,
    toHost: derive(own, challenge, nonce, 'mirovanta2 browser to host'),
    fromHost: derive(own, challenge, nonce, 'mirovanta2 host to browser'),
  };
}

function numberBytes(number) {
  // A page sends far fewer than 2^53 messages: a number holds the count.
  const bytes = new Uint8Array(NUMBER_BYTES);
  const view = new DataView(bytes.buffer);
  view.setUint32(0, Math.floor(number / 0x100000000));
  view.setUint32(4, number >>> 0);
  return bytes;
}

function cipher(key, number) {
  const n = numberBytes(number);
  return gcm(key, join(new Uint8Array(4), n), join(Uint8Array.of(VERSION), n));
}

// number ‖ AES-256-GCM(key, 0000 ‖ number, version ‖ number, payload)
export function seal(key, number, payload) {
  return join(numberBytes(number), cipher(key, number).encrypt(payload));
}

// The payload of message number `expected` under `key`, or null when it is not that.
export function open(key, message, expected) {
  if (message.length < NUMBER_BYTES + TAG_BYTES) return null;
  const number = numberBytes(expected);
  for (let i = 0; i < NUMBER_BYTES; i++) if (message[i] !== number[i]) return null;
  try {
    return cipher(key, expected).decrypt(message.slice(NUMBER_BYTES));
  } catch {
    return null;  // a changed byte, or another key: the tag does not hold
  }
}
