// The WebSocket to the host: the proof of the key, the host's sealed "ok",
// then sealed commands; it reconnects by itself unless the PC forgot this
// browser.
import { answer, NONCE_BYTES, open, seal } from './channel.js';

const RETRY_MS = [500, 1000, 2000, 4000, 8000];

export class Connection {
  constructor(key, onState) {
    this.key = key;
    this.onState = onState;  // 'connecting' | 'connected' | 'forgotten' | 'refused'
    this.tries = 0;
    this.connect();
  }

  connect() {
    this.ready = false;
    this.counter = 0;
    this.onState('connecting');
    const socket = new WebSocket(`ws://${location.host}/ws`);
    socket.binaryType = 'arraybuffer';
    let session = null;
    socket.onmessage = (event) => {
      const message = new Uint8Array(event.data);
      if (!session) {
        if (message.length !== NONCE_BYTES) return socket.close();
        const nonce = crypto.getRandomValues(new Uint8Array(NONCE_BYTES));
        const proved = answer(this.key, message, nonce);
        session = proved.session;
        socket.send(proved.hello);
        return;
      }
      if (!this.ready) {
        // The host proves it holds the key too before anything is sent to it.
        const ok = open(session, message, 1);
        if (!ok || new TextDecoder().decode(ok) !== 'ok') return socket.close();
        this.session = session;
        this.socket = socket;
        this.ready = true;
        this.tries = 0;
        this.onState('connected');
      }
    };
    socket.onclose = (event) => {
      this.ready = false;
      this.socket = null;
      if (event.reason === 'forgotten') return this.onState('forgotten');
      if (event.reason === 'refused') this.onState('refused');
      const wait = RETRY_MS[Math.min(this.tries++, RETRY_MS.length - 1)];
      setTimeout(() => this.connect(), wait);
    };
  }

  // False while there is no proved connection: the command is dropped, as a
  // button pressed with the PC away does nothing.
  send(payload) {
    if (!this.ready) return false;
    this.socket.send(seal(this.session, 'B', ++this.counter, payload));
    return true;
  }
}
