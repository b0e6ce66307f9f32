// The touchpad: one finger moves the pointer, a tap clicks, a two-finger tap
// right-clicks, two fingers dragged scroll, and a finger held still for a
// moment then dragged drags. Moves are gathered and sent at most 60 times a
// second.
import * as command from './commands.js';

const TAP_MS = 250;
const TAP_SLOP = 8;        // px a tap may wander
const HOLD_MS = 450;       // still this long: the button goes down
const SPEED = 1.6;         // pointer pixels per finger pixel
const WHEEL_STEP = 24;     // px of two-finger drag per wheel notch
const FRAME_MS = 1000 / 60;

export function attachTouchpad(pad, send) {
  const fingers = new Map();
  let gesture = null;
  let pendingX = 0, pendingY = 0, wheelRest = 0, flushTimer = null, lastFlush = 0;

  function flush() {
    flushTimer = null;
    lastFlush = performance.now();
    if (pendingX || pendingY) send(command.move(pendingX, pendingY));
    pendingX = pendingY = 0;
  }
  function gather(dx, dy) {
    pendingX += dx * SPEED;
    pendingY += dy * SPEED;
    if (flushTimer) return;
    const wait = Math.max(0, FRAME_MS - (performance.now() - lastFlush));
    flushTimer = setTimeout(flush, wait);
  }

  pad.addEventListener('pointerdown', (event) => {
    pad.setPointerCapture(event.pointerId);
    fingers.set(event.pointerId, { x: event.clientX, y: event.clientY });
    if (fingers.size === 1) {
      gesture = { start: performance.now(), moved: 0, count: 1, dragging: false };
      gesture.hold = setTimeout(() => {
        if (gesture && gesture.moved < TAP_SLOP && fingers.size === 1) {
          gesture.dragging = true;
          send(command.press(false, true));
          if (navigator.vibrate) navigator.vibrate(20);
        }
      }, HOLD_MS);
    } else if (gesture) {
      gesture.count = Math.max(gesture.count, fingers.size);
      clearTimeout(gesture.hold);
    }
    event.preventDefault();
  });

  pad.addEventListener('pointermove', (event) => {
    const finger = fingers.get(event.pointerId);
    if (!finger || !gesture) return;
    const dx = event.clientX - finger.x;
    const dy = event.clientY - finger.y;
    finger.x = event.clientX;
    finger.y = event.clientY;
    gesture.moved += Math.abs(dx) + Math.abs(dy);
    if (fingers.size >= 2) {
      // Both fingers report; half of each is the pair's move.
      wheelRest += dy / 2;
      const notches = Math.trunc(wheelRest / WHEEL_STEP);
      if (notches) {
        wheelRest -= notches * WHEEL_STEP;
        send(command.wheel(notches));
      }
      return;
    }
    if (gesture.count === 1) gather(dx, dy);
    event.preventDefault();
  });

  function lift(event) {
    if (!fingers.delete(event.pointerId) || !gesture) return;
    if (fingers.size > 0) return;
    clearTimeout(gesture.hold);
    if (flushTimer) { clearTimeout(flushTimer); flush(); }
    const quick = performance.now() - gesture.start < TAP_MS && gesture.moved < TAP_SLOP * gesture.count;
    if (gesture.dragging) send(command.press(false, false));
    else if (quick) send(command.click(gesture.count >= 2));
    gesture = null;
    wheelRest = 0;
  }
  pad.addEventListener('pointerup', lift);
  pad.addEventListener('pointercancel', lift);
}
