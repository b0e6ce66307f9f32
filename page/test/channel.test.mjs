// The page's proof, keys and encryption, and its command bytes, against the
// host's formats. The vector was computed by Python's cryptography package
// (tools/channel_vector.py), a third implementation beside the page's and
// the host's, whose test reads the same file.
import assert from 'node:assert/strict';
import { readFileSync } from 'node:fs';
import { test } from 'node:test';

import { answer, browserId, fromHex, hex, open, seal } from '../src/channel.js';
import * as command from '../src/commands.js';

const vector = JSON.parse(readFileSync(new URL('../../tests/vectors/browser_channel.json', import.meta.url)));
const code = fromHex(vector.code);
const challenge = fromHex(vector.challenge);
const nonce = fromHex(vector.nonce);

test('a claimed code gives the hello, the own key and the keys of the vector', () => {
  assert.equal(browserId(code), vector.code_id);
  const claim = answer(code, challenge, nonce, true);
  assert.equal(hex(claim.hello), vector.hello);
  assert.equal(hex(claim.own), vector.own_key);
  assert.equal(browserId(claim.own), vector.own_id);
  assert.equal(hex(claim.toHost), vector.to_host);
  assert.equal(hex(claim.fromHost), vector.from_host);
  // Once paired, the browser's keys come from its own key as it is; the
  // code's key itself no longer makes them.
  const paired = answer(claim.own, challenge, nonce, false);
  assert.equal(hex(paired.own), vector.own_key);
  assert.equal(hex(paired.toHost), vector.to_host);
  assert.notEqual(hex(answer(code, challenge, nonce, false).toHost), vector.to_host);
});

test('messages are encrypted as the vector says, and a changed one does not open', () => {
  const { toHost, fromHost } = answer(code, challenge, nonce, true);
  assert.equal(hex(seal(toHost, 1, new TextEncoder().encode('ok'))), vector.page_ok);
  const typed = seal(toHost, 2, command.text(vector.typed)[0]);
  assert.equal(hex(typed), vector.typed_sealed);
  assert.ok(!hex(typed).includes(hex(new TextEncoder().encode('hunter2'))), 'readable');
  const ok = fromHex(vector.host_ok);
  assert.equal(new TextDecoder().decode(open(fromHost, ok, 1)), 'ok');
  const cases = [
    ['the next number expected', open(fromHost, ok, 2)],
    ['the other direction\'s key', open(toHost, ok, 1)],
    ['the page\'s own message sent back', open(fromHost, fromHex(vector.page_ok), 1)],
  ];
  for (let at = 0; at < ok.length; at++) {
    const flipped = ok.slice();
    flipped[at] ^= 1;
    cases.push([`bit flipped at ${at}`, open(fromHost, flipped, 1)]);
  }
  for (const [what, opened] of cases) assert.equal(opened, null, what);
});

test('commands have the host\'s bytes', () => {
  assert.deepEqual([...command.move(5, -3)], [77, 0, 5, 0xff, 0xfd]);
  assert.deepEqual([...command.move(1e6, -1e6)], [77, 0x7f, 0xff, 0x80, 0x00]);
  assert.deepEqual([...command.wheel(-2)], [87, 0xfe]);
  assert.deepEqual([...command.press(false, true)], [66, 0, 1]);
  assert.deepEqual([...command.pageButton(3, 0x20)], [80, 3, 0x20]);
  assert.deepEqual([...command.utility(2, true)], [85, 2, 1]);
  assert.deepEqual([...command.utility(4, false)], [85, 4, 0]);
});

test('long text is cut between characters, never inside one', () => {
  const parts = command.text('é'.repeat(2500) + '\0x');
  assert.equal(parts.length, 2);
  for (const part of parts) {
    assert.equal(part[0], 84);
    assert.ok(part.length - 1 <= command.LONGEST_TEXT);
    new TextDecoder('utf-8', { fatal: true }).decode(part.slice(1));
  }
  const joined = parts.map((p) => new TextDecoder().decode(p.slice(1))).join('');
  assert.equal(joined, 'é'.repeat(2500) + 'x');
});
