// The page's side of the host's channel: the browser's id, its answer to a
// challenge, and the seal of each message. The key never leaves the page:
// only its id and proofs made with it are sent.
import { hmac } from '@noble/hashes/hmac';
import { sha256 } from '@noble/hashes/sha256';

const encoder = new TextEncoder();
export const NONCE_BYTES = 16;
const MAC_BYTES = 32;
const COUNTER_BYTES = 8;

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

// The hello that answers a challenge, and the session key both sides derive.
export function answer(key, challenge, nonce) {
  const proof = hmac(sha256, key, join(encoder.encode('mirovanta2 proof'), challenge, nonce));
  const session = hmac(sha256, key, join(encoder.encode('mirovanta2 session'), challenge, nonce));
  return { hello: join(encoder.encode(browserId(key)), nonce, proof), session };
}

function counterBytes(counter) {
  // A page sends far fewer than 2^53 messages: a number holds the counter.
  const bytes = new Uint8Array(COUNTER_BYTES);
  const view = new DataView(bytes.buffer);
  view.setUint32(0, Math.floor(counter / 0x100000000));
  view.setUint32(4, counter >>> 0);
  return bytes;
}

// counter ‖ payload ‖ HMAC(session, direction ‖ counter ‖ payload)
export function seal(session, direction, counter, payload) {
  const body = join(counterBytes(counter), payload);
  const mac = hmac(sha256, session, join(encoder.encode(direction), body));
  return join(body, mac);
}

// The payload of the host's message number `expected`, or null when it is not that.
export function open(session, message, expected) {
  if (message.length < COUNTER_BYTES + MAC_BYTES) return null;
  const body = message.slice(0, message.length - MAC_BYTES);
  const sealed = seal(session, 'H', expected, body.slice(COUNTER_BYTES));
  if (sealed.length !== message.length) return null;
  let differs = 0;
  for (let i = 0; i < sealed.length; i++) differs |= sealed[i] ^ message[i];
  return differs === 0 ? body.slice(COUNTER_BYTES) : null;
}
