// The page: takes the pairing code's key from the address's fragment (which
// browsers never send) into this browser's storage, removes it from the
// address bar, and wires the controls to the connection. Once the code is
// claimed the browser keeps only its own key; a code that no longer pairs
// leaves the key it had.
import { fromHex, hex } from './channel.js';
import * as command from './commands.js';
import { Connection } from './connection.js';
import { addKeys, addPlayers, addUtilities } from './remotes.js';
import { attachTouchpad } from './touchpad.js';

const STORE = 'mirovanta2-key';
const CODE = 'mirovanta2-code';

const WORDS = {
  connecting: 'Connecting…',
  connected: 'Connected',
  refused: 'Refused by this PC; trying again…',
  forgotten: 'This PC forgot this browser',
  unpaired: "Not paired: scan the code from Mirovanta 2's tray menu",
  used: "This code paired another browser already: open a new one from Mirovanta 2's tray menu",
};

function takeCode() {
  const fragment = location.hash.slice(1);
  if (fragment) {
    history.replaceState(null, '', location.pathname + location.search);
    if (fromHex(fragment) && fragment.length >= 32) localStorage.setItem(CODE, fragment);
  }
  return { key: fromHex(localStorage.getItem(STORE) || ''), code: fromHex(localStorage.getItem(CODE) || '') };
}

function keep(own) {
  if (own) localStorage.setItem(STORE, hex(own));
  localStorage.removeItem(CODE);
}

function show(state) {
  const status = document.getElementById('status');
  status.textContent = WORDS[state];
  status.className = state === 'connected' || state === 'connecting' ? '' : 'problem';
  document.getElementById('remote').classList.toggle('off', state !== 'connected');
}

function start() {
  const keys = takeCode();
  if (!keys.key && !keys.code) return show('unpaired');
  const connection = new Connection(keys, show, keep);
  const send = (payload) => connection.send(payload);

  attachTouchpad(document.getElementById('touchpad'), send);
  document.getElementById('left').addEventListener('click', () => send(command.click(false)));
  document.getElementById('right').addEventListener('click', () => send(command.click(true)));
  const laser = document.getElementById('laser');
  addKeys(document.getElementById('keys'), send, laser);
  addPlayers(document.getElementById('players'), send);
  addUtilities(document.getElementById('utilities'), send);
  laser.addEventListener('click', () => {
    const on = laser.getAttribute('aria-pressed') !== 'true';
    if (send(command.laser(on))) laser.setAttribute('aria-pressed', String(on));
  });
  const input = document.getElementById('text');
  document.getElementById('typing').addEventListener('submit', (event) => {
    event.preventDefault();
    const parts = command.text(input.value);
    if (parts.length && parts.every((part) => send(part))) input.value = '';
  });
}

// A code scanned while the page is open changes only the fragment, which
// loads nothing: take the new key and start again with it.
window.addEventListener('hashchange', () => {
  if (location.hash.length <= 1) return;
  takeCode();
  location.reload();
});

start();
