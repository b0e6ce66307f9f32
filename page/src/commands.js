// The commands the page sends, as the host's decoder reads them. Which keys,
// pages and utilities there are comes from the host's own tables (remotes.js).
const encoder = new TextEncoder();

export const LONGEST_TEXT = 4000;

function clamp16(value) { return Math.max(-32768, Math.min(32767, Math.round(value))); }

export function move(dx, dy) {
  const x = clamp16(dx) & 0xffff;
  const y = clamp16(dy) & 0xffff;
  return new Uint8Array([77, x >> 8, x & 0xff, y >> 8, y & 0xff]);
}
export const click = (right) => new Uint8Array([67, right ? 1 : 0]);
export const press = (right, down) => new Uint8Array([66, right ? 1 : 0, down ? 1 : 0]);
export const wheel = (notches) => new Uint8Array([87, Math.max(-127, Math.min(127, notches)) & 0xff]);
export const key = (index) => new Uint8Array([75, index]);
export const laser = (on) => new Uint8Array([76, on ? 1 : 0]);
// A button of a media application page, as the app's datagram of group 1 sends it.
export const pageButton = (page, code) => new Uint8Array([80, page, code]);
export const utility = (selector, start) => new Uint8Array([85, selector, start ? 1 : 0]);

// The text as commands of at most LONGEST_TEXT bytes, never cutting a character.
export function text(value) {
  const commands = [];
  let part = '';
  for (const character of value.replace(/\0/g, '')) {
    if (encoder.encode(part + character).length > LONGEST_TEXT) {
      commands.push(part);
      part = '';
    }
    part += character;
  }
  if (part) commands.push(part);
  return commands.map((p) => {
    const bytes = encoder.encode(p);
    const command = new Uint8Array(bytes.length + 1);
    command[0] = 84;
    command.set(bytes, 1);
    return command;
  });
}
