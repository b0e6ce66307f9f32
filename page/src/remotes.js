// The remotes the host offers, made from the table the build writes from the
// host's own tables: the page's keys, each media application page's buttons
// (the key map's column: what each presses, its code) and the utilities.
import remotes from 'remotes.json';
import * as command from './commands.js';

function button(label, name, onClick) {
  const element = document.createElement('button');
  element.type = 'button';
  element.textContent = label;
  element.setAttribute('aria-label', name);
  element.addEventListener('click', onClick);
  return element;
}

function group(name, className) {
  const element = document.createElement('div');
  element.className = className;
  element.setAttribute('role', 'group');
  element.setAttribute('aria-label', name);
  return element;
}

const hex = (code) => code.toString(16).toUpperCase().padStart(2, '0');

// The page's own keys, in rows by the table's group; the laser ends the last.
export function addKeys(place, send, laser) {
  const rows = new Map();
  remotes.keys.forEach(([name, label, row], index) => {
    if (!rows.has(row)) rows.set(row, place.appendChild(group(row, 'keys')));
    const key = button(label, name, () => send(command.key(index)));
    key.dataset.key = String(index);
    rows.get(row).appendChild(key);
  });
  [...rows.values()].pop().appendChild(laser);
}

// One control per player opens its remote; one remote is open at a time.
export function addPlayers(place, send) {
  const panels = [];
  for (const player of remotes.players) {
    const panel = group(`${player.name} remote`, 'keys player-remote');
    panel.id = `player-${player.page}`;
    panel.hidden = true;
    for (const [code, name, does] of player.buttons) {
      const element = button(name, `${name}: ${does}`, () => send(command.pageButton(player.page, code)));
      element.dataset.code = hex(code);
      element.title = does;
      panel.appendChild(element);
    }
    const opener = button(player.name, player.name, () => {
      const open = panel.hidden;
      for (const [other, otherOpener] of panels) {
        other.hidden = true;
        otherOpener.setAttribute('aria-expanded', 'false');
      }
      panel.hidden = !open;
      opener.setAttribute('aria-expanded', String(open));
    });
    opener.className = 'player';
    opener.setAttribute('aria-expanded', 'false');
    opener.setAttribute('aria-controls', panel.id);
    panels.push([panel, opener]);
    place.appendChild(opener);
  }
  for (const [panel] of panels) place.appendChild(panel);
}

export function addUtilities(place, send) {
  for (const utility of remotes.utilities) {
    const row = group(utility.name, 'row utility');
    const name = document.createElement('span');
    name.textContent = utility.name;
    row.appendChild(name);
    for (const start of [true, false]) {
      const words = `${start ? 'Start' : 'Close'} ${utility.name}`;
      const element = button(start ? 'Start' : 'Close', words, () => send(command.utility(utility.selector, start)));
      element.dataset.utility = String(utility.selector);
      row.appendChild(element);
    }
    place.appendChild(row);
  }
}
