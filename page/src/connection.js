// The WebSocket to the host: the proof of the key, the host's "ok" and the
// page's own, then encrypted commands; it reconnects by itself unless the PC
// forgot this browser. A pairing code is claimed on the first connection
// that proves it, and the browser's own key is kept in its place.
import { answer, NONCE_BYTES, open, seal } from './channel.js';

const RETRY_MS = [500, 1000, 2000, 4000, 8000];
const OK = new TextEncoder().encode('ok');

// `keys`: { key, code } as stored; `onPaired(own)` keeps a claimed code's key.
export class Connection {
  constructor(keys, onState, onPaired) {
    this.keys = keys;
    this.onState = onState;  // 'connecting' | 'connected' | 'forgotten' | 'refused' | 'used'
    this.onPaired = onPaired;
    this.tries = 0;
    this.connect();
  }

  connect() {
    this.ready = false;
    this.counter = 0;
    this.onState('connecting');
    const claiming = Boolean(this.keys.code);
    const key = claiming ? this.keys.code : this.keys.key;
    const socket = new WebSocket(`ws://${location.host}/ws`);
    socket.binaryType = 'arraybuffer';
    let proved = null;
    socket.onmessage = (event) => {
      const message = new Uint8Array(event.data);
      if (!proved) {
        if (message.length !== NONCE_BYTES) return socket.close();
        const nonce = crypto.getRandomValues(new Uint8Array(NONCE_BYTES));
        proved = answer(key, message, nonce, claiming);
        socket.send(proved.hello);
        return;
      }
      if (!this.ready) {
        // The host proves it holds the key too before anything is sent to it;
        // the page's "ok" shows the host that both derived the same keys.
        const ok = open(proved.fromHost, message, 1);
        if (!ok || new TextDecoder().decode(ok) !== 'ok') return socket.close();
        this.toHost = proved.toHost;
        this.socket = socket;
        this.ready = true;
        this.tries = 0;
        socket.send(seal(this.toHost, ++this.counter, OK));
        if (claiming) this.claimed(proved.own);
        this.onState('connected');
      }
    };
    socket.onclose = (event) => this.closed(event.reason, claiming);
  }

  claimed(own) {
    this.keys = { key: own, code: null };
    this.onPaired(own);
  }

  closed(reason, claiming) {
    this.ready = false;
    this.socket = null;
    if (claiming && (reason === 'used' || reason === 'forgotten')) {
      // A code that cannot pair leaves the key this browser had, if any.
      this.keys = { key: this.keys.key, code: null };
      this.onPaired(null);
      if (!this.keys.key) return this.onState(reason);
    } else if (reason === 'forgotten') {
      return this.onState('forgotten');
    }
    if (reason === 'refused') this.onState('refused');
    const wait = RETRY_MS[Math.min(this.tries++, RETRY_MS.length - 1)];
    setTimeout(() => this.connect(), wait);
  }

  // False while there is no proved connection: the command is dropped, as a
  // button pressed with the PC away does nothing.
  send(payload) {
    if (!this.ready) return false;
    this.socket.send(seal(this.toHost, ++this.counter, payload));
    return true;
  }
}
