// Drives the browser remote's page in Debian's Chromium, headless, as a phone
// would: one JSON command per line on stdin, one JSON answer per line on
// stdout. Run inside a test network namespace, so the page reaches the host
// over a real link.
//
//   ["open", url]           loads the page; answers its status, hash and stored key
//   ["status"]              the status line as shown
//   ["click", name]         taps the button with that accessible name (opening
//                           "Players and utilities" first when it is in there)
//   ["player", name, code]  opens the remote of the player of that name and taps
//                           its button of that code (two hex digits); answers
//                           the button's accessible name
//   ["players"]             every player's name and its buttons' codes, as shown
//   ["press", name]         clicks that button from inside the page (its own click
//                           event, without Playwright's checks before a tap)
//   ["type", text]          types the text in the box and taps "Send"
//   ["drag", dx, dy]        drags a finger across the touchpad
//   ["tap"]                 taps the touchpad
//   ["replay"]              sends the page's last message again on its socket, as
//                           someone who captured it would; answers the status next shown
//   ["screenshot", path]    a picture of the page
//   ["quit"]
import { createRequire } from 'node:module';
import path from 'node:path';
import readline from 'node:readline';
import { fileURLToPath } from 'node:url';

const here = path.dirname(fileURLToPath(import.meta.url));
const require = createRequire(path.join(here, '..', '..', 'page', 'package.json'));
const { chromium } = require('playwright-core');

const browser = await chromium.launch({
  executablePath: process.env.CHROMIUM || '/usr/bin/chromium',
  args: ['--no-sandbox', '--disable-gpu', '--disable-quic', '--no-first-run',
    '--disable-background-networking', '--disable-component-update', '--disable-sync'],
});
const context = await browser.newContext({
  viewport: { width: 390, height: 740 }, deviceScaleFactor: 2, hasTouch: true, isMobile: true,
});
// Keeps the last message the page sent, for "replay".
await context.addInitScript(() => {
  const send = WebSocket.prototype.send;
  WebSocket.prototype.send = function (data) {
    window.lastSent = { socket: this, data };
    return send.call(this, data);
  };
});
const page = await context.newPage();
const say = (answer) => process.stdout.write(JSON.stringify(answer) + '\n');
const status = () => page.locator('#status').textContent();

async function until(condition, ms = 30000) {
  const end = Date.now() + ms;
  for (;;) {
    const value = await condition();
    if (value || Date.now() > end) return value;
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
}

// "Players and utilities" is folded until the user opens it.
async function reveal() {
  if (!(await page.locator('#more').evaluate((details) => details.open))) {
    await page.locator('#more > summary').click();
  }
}

async function pad() {
  const box = await page.locator('#touchpad').boundingBox();
  return { x: box.x + box.width / 2, y: box.y + box.height / 2 };
}

const steps = {
  async open(url) {
    // From a blank page: a new fragment alone would not load the page again.
    await page.goto('about:blank');
    await page.goto(url);
    const shown = await until(async () => {
      const text = await status();
      return text !== 'Connecting…' && text;
    });
    const stored = await page.evaluate(() => localStorage.getItem('mirovanta2-key') !== null);
    return { status: shown, hash: await page.evaluate(() => location.hash), stored };
  },
  async status() { return { status: await status() }; },
  async click(name) {
    const button = page.getByRole('button', { name, exact: true });
    if (!(await button.isVisible())) await reveal();
    await button.click();
    return { done: true };
  },
  async player(name, code) {
    await reveal();
    const opener = page.getByRole('button', { name, exact: true });
    if ((await opener.getAttribute('aria-expanded')) !== 'true') await opener.click();
    const button = page.locator(`#${await opener.getAttribute('aria-controls')} [data-code="${code}"]`);
    const label = await button.getAttribute('aria-label');
    await button.click();
    return { label };
  },
  async players() {
    await reveal();
    return {
      players: await page.$$eval('#players button.player', (openers) => openers.map((opener) => ({
        name: opener.getAttribute('aria-label'),
        codes: [...document.getElementById(opener.getAttribute('aria-controls'))
          .querySelectorAll('[data-code]')].map((button) => button.dataset.code),
      }))),
    };
  },
  async press(name) {
    await page.evaluate((label) => document.querySelector(`[aria-label="${label}"]`).click(), name);
    return { done: true };
  },
  async type(text) {
    await page.getByRole('textbox', { name: 'Text to type' }).fill(text);
    await page.getByRole('button', { name: 'Send', exact: true }).click();
    return { done: true };
  },
  async drag(dx, dy) {
    const at = await pad();
    await page.mouse.move(at.x, at.y);
    await page.mouse.down();
    await page.mouse.move(at.x + dx, at.y + dy, { steps: 10 });
    await page.mouse.up();
    return { done: true };
  },
  async tap() {
    const at = await pad();
    await page.mouse.click(at.x, at.y);
    return { done: true };
  },
  async replay() {
    await page.evaluate(() => window.lastSent.socket.send(window.lastSent.data));
    const next = await until(async () => {
      const text = await status();
      return text !== 'Connected' && text;
    }, 10000);
    return { status: next || 'Connected' };
  },
  async screenshot(file) {
    await page.screenshot({ path: file });
    return { done: true };
  },
};

const lines = readline.createInterface({ input: process.stdin });
say({ ready: true });
for await (const line of lines) {
  const [verb, ...args] = JSON.parse(line);
  if (verb === 'quit') break;
  try {
    say(await steps[verb](...args));
  } catch (error) {
    say({ error: String(error) });
  }
}
await browser.close();
