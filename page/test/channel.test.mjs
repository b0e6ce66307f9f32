// The page's proof and seal, and its command bytes, against the host's
// formats. The vectors were computed with Python's hmac module, a third
// implementation beside the page's and the host's (whose test has the same).
import assert from 'node:assert/strict';
import { test } from 'node:test';

import { answer, browserId, fromHex, hex, open, seal } from '../src/channel.js';
import * as command from '../src/commands.js';

const key = Uint8Array.from({ length: 32 }, (_, i) => i);
const challenge = new Uint8Array(16).fill(0x11);
const nonce = new Uint8Array(16).fill(0x22);

test('the id, hello and session key are the host\'s', () => {
  assert.equal(browserId(key), 'be48ecf09d59b6285');
  const { hello, session } = answer(key, challenge, nonce);
  assert.equal(hex(hello), '626534386563663039643539623632383522222222222222222222222222222222' +
    '319e984c28ee2ae40a1abf9bec594962ee06387bce6a0035e2ecb0350b7ee692');
  assert.equal(hex(session), '5e76818b7cffd6c15290c2952060968096e8aa20366329d51f0d6e1e57c362ea');
});

test('a sealed command, and the host\'s sealed ok opened', () => {
  const { session } = answer(key, challenge, nonce);
  assert.equal(hex(seal(session, 'B', 1, command.key(2))),
    '00000000000000014b026e29dc7f1e627bfc61952d3d6b75f6721f6993b861ddedcce37750aa2940259d');
  const ok = fromHex('00000000000000016f6bc2f1cfba76cb79eda03f959cae7f9c39d76af2d92f107215414dc1013fbd22f1');
  assert.equal(new TextDecoder().decode(open(session, ok, 1)), 'ok');
  assert.equal(open(session, ok, 2), null);
  const flipped = ok.slice();
  flipped[9] ^= 1;
  assert.equal(open(session, flipped, 1), null);
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
