// Debian's WebKitGTK for the page's tests: MiniBrowser driven by WebKitWebDriver over WebDriver
// classic, with a small client of our own, in a private Xvfb. It offers the part
// of puppeteer's Browser and Page that the tests use. Classic WebDriver has no console events and
// no script before the page's own: console lines and errors are taken by a wrapper put into the
// page right after it has loaded (so lines of the loading itself are not seen), and handed over
// with every script's result; a script "on new document" runs at that moment too.
import { execFileSync, spawn } from 'node:child_process';
import fs from 'node:fs';
import http from 'node:http';
import net from 'node:net';
import zlib from 'node:zlib';
import { startXvfb } from './x_server.mjs';

const driverPath = process.env.TARNWICK_WEBKIT_DRIVER || '/usr/bin/WebKitWebDriver';
const miniBrowser = process.env.TARNWICK_MINIBROWSER || '/usr/lib/x86_64-linux-gnu/webkit2gtk-4.1/MiniBrowser';
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

function freePort() {
  return new Promise((resolve, reject) => {
    const server = net.createServer();
    server.on('error', reject);
    server.listen(0, '127.0.0.1', () => {
      const { port } = server.address();
      server.close(() => resolve(port));
    });
  });
}

// One WebDriver command; answers the value or throws the driver's error. (node:http, since the
// tests run with node's fetch turned off.)
function command(base, method, path, body) {
  const data = body === undefined ? '' : JSON.stringify(body);
  return new Promise((resolve, reject) => {
    const request = http.request(base + path, {
      method,
      headers: { 'Content-Type': 'application/json', 'Content-Length': Buffer.byteLength(data) },
    }, (response) => {
      let text = '';
      response.setEncoding('utf8');
      response.on('data', (part) => { text += part; });
      response.on('end', () => {
        try {
          const answer = JSON.parse(text);
          if (response.statusCode === 200) resolve(answer.value);
          else reject(new Error(`WebDriver ${method} ${path}: ${answer.value.error}: ${answer.value.message}`));
        } catch (error) {
          reject(new Error(`WebDriver ${method} ${path}: ${response.statusCode} ${text.slice(0, 200)}`));
        }
      });
    });
    request.on('error', reject);
    request.end(data);
  });
}

// Put into each page once it has loaded: console lines and errors kept until taken.
const watchPage = `
  if (!window.tarnwickSeen) {
    const seen = window.tarnwickSeen = { console: [], errors: [] };
    for (const type of ['log', 'info', 'warn', 'error', 'debug']) {
      const real = console[type].bind(console);
      console[type] = (...args) => {
        seen.console.push({ type: type === 'warn' ? 'warning' : type, text: args.map(String).join(' ') });
        real(...args);
      };
    }
    window.addEventListener('error', (event) => seen.errors.push(event.message));
    window.addEventListener('unhandledrejection', (event) => seen.errors.push(String(event.reason)));
  }`;

// Runs `fn` with `args` in the page (awaiting a promise) and takes what the page saw meanwhile.
const runInPage = `
  const done = arguments[arguments.length - 1];
  const [source, args] = arguments;
  ${watchPage}
  const take = () => {
    const seen = window.tarnwickSeen;
    const taken = { console: seen.console.splice(0), errors: seen.errors.splice(0) };
    return taken;
  };
  Promise.resolve().then(() => (0, eval)('(' + source + ')')(...args)).then(
    (value) => done({ value: value === undefined ? null : value, seen: take() }),
    (error) => done({ error: String(error && error.stack || error), seen: take() }));`;

const keys = { Escape: '\uE00C', Enter: '\uE007', Space: ' ' };

// The X screen as a PNG, from xwd's dump of the root window (ZPixmap, 32 bits a pixel).
function screenPng(display) {
  const dump = execFileSync('xwd', ['-root', '-silent', '-display', display], { maxBuffer: 64 << 20 });
  const field = (i) => dump.readUInt32BE(4 * i);
  const [headerSize, width, height, bytesPerLine, colours] = [field(0), field(4), field(5), field(12), field(19)];
  const pixels = headerSize + 12 * colours;
  const rows = Buffer.alloc((3 * width + 1) * height);
  for (let y = 0; y < height; ++y) {
    const row = y * (3 * width + 1);
    for (let x = 0; x < width; ++x) {
      const at = pixels + y * bytesPerLine + 4 * x;  // little-endian 0x00RRGGBB
      rows[row + 1 + 3 * x] = dump[at + 2];
      rows[row + 2 + 3 * x] = dump[at + 1];
      rows[row + 3 + 3 * x] = dump[at];
    }
  }
  const chunk = (type, data) => {
    const length = Buffer.alloc(4);
    length.writeUInt32BE(data.length);
    const body = Buffer.concat([Buffer.from(type), data]);
    const crc = Buffer.alloc(4);
    crc.writeUInt32BE(zlib.crc32(body));
    return Buffer.concat([length, body, crc]);
  };
  const head = Buffer.alloc(13);
  head.writeUInt32BE(width, 0);
  head.writeUInt32BE(height, 4);
  head.set([8, 2, 0, 0, 0], 8);  // 8 bits, RGB
  return Buffer.concat([Buffer.from([137, 80, 78, 71, 13, 10, 26, 10]), chunk('IHDR', head),
    chunk('IDAT', zlib.deflateSync(rows)), chunk('IEND', Buffer.alloc(0))]);
}

class Page {
  constructor(browser, handle) {
    this.browser = browser;
    this.handle = handle;
    this.listeners = { console: [], pageerror: [], requestfailed: [] };
    this.onNewDocument = [];
    this.keyboard = { press: (key) => this.pressKey(key) };
  }

  async send(method, path, body) {
    return this.browser.send(method, path, body, this.handle);
  }

  on(event, listener) {
    this.listeners[event].push(listener);
  }

  async setViewport({ width, height }) {
    await this.send('POST', '/window/rect', { width, height });
  }

  // Runs once the next page has loaded, before anything else of the test's.
  async evaluateOnNewDocument(fn) {
    this.onNewDocument.push(fn);
  }

  async goto(url) {
    await this.send('POST', '/url', { url });
    for (const fn of this.onNewDocument) await this.evaluate(fn);
    await this.evaluate(() => true);
  }

  async evaluate(fn, ...args) {
    const answer = await this.send('POST', '/execute/async', { script: runInPage, args: [String(fn), args] });
    for (const message of answer.seen.console) {
      for (const listener of this.listeners.console) listener({ type: () => message.type, text: () => message.text });
    }
    for (const error of answer.seen.errors) {
      for (const listener of this.listeners.pageerror) listener(new Error(error));
    }
    if (answer.error) throw new Error(`in the page: ${answer.error}`);
    return answer.value;
  }

  async waitForFunction(fn, { timeout = 30000, polling = 100 } = {}, ...args) {
    const end = Date.now() + timeout;
    for (;;) {
      const value = await this.evaluate(fn, ...args);
      if (value) return value;
      if (Date.now() > end) throw new Error(`waited ${timeout} ms for ${fn}`);
      await sleep(polling);
    }
  }

  async waitForSelector(selector, { timeout = 30000 } = {}) {
    await this.waitForFunction((s) => document.querySelector(s) !== null, { timeout }, selector);
  }

  async $eval(selector, fn) {
    return this.evaluate(`(s) => (${fn})(document.querySelector(s))`, selector);
  }

  async addScriptTag({ path }) {
    const code = fs.readFileSync(path, 'utf8');
    await this.evaluate((text) => {
      const script = document.createElement('script');
      script.textContent = text;
      document.head.appendChild(script);
    }, code);
  }

  // A click through the driver: a user's gesture to the page, as Play needs.
  async click(selector) {
    const element = await this.send('POST', '/element', { using: 'css selector', value: selector });
    await this.send('POST', `/element/${Object.values(element)[0]}/click`, {});
    await this.evaluate(() => true);
  }

  async pressKey(key) {
    const value = keys[key] || key;
    await this.send('POST', '/actions', {
      actions: [{ type: 'key', id: 'keyboard', actions: [{ type: 'keyDown', value }, { type: 'keyUp', value }] }],
    });
    await this.send('DELETE', '/actions');
  }

  // The screen itself: the driver's screenshot never answers without compositing.
  async screenshot({ path }) {
    await this.bringToFront();
    fs.writeFileSync(path, screenPng(this.browser.display));
  }

  async bringToFront() {
    await this.send('POST', '/window', { handle: this.handle });
  }

  // The window stays, blank, for the next page: closing windows soon ends MiniBrowser's session.
  async close() {
    await this.send('POST', '/url', { url: 'about:blank' });
    this.browser.pages.delete(this);
    this.browser.spare.push(this.handle);
  }
}

class Browser {
  constructor(xvfb, display, driver, base, session) {
    this.xvfb = xvfb;
    this.display = display;
    this.driver = driver;
    this.base = base;
    this.session = session;
    this.connected = true;
    this.pages = new Set();
    this.spare = [];
    this.current = null;
  }

  // Each command goes to its page's window: the driver has one current window at a time.
  async send(method, path, body, handle) {
    const base = `/session/${this.session}`;
    if (handle && handle !== this.current) {
      await command(this.base, 'POST', `${base}/window`, { handle });
      this.current = handle;
    }
    return command(this.base, method, base + path, body);
  }

  // The first page is the window the browser opened with; later ones are new windows, or those
  // of closed pages.
  async newPage() {
    let handle = this.spare.pop();
    if (!handle && !this.firstUsed) handle = await this.send('GET', '/window');
    if (!handle) handle = (await this.send('POST', '/window/new', { type: 'window' })).handle;
    this.firstUsed = true;
    const page = new Page(this, handle);
    this.pages.add(page);
    return page;
  }

  async close() {
    if (!this.connected) return;
    this.connected = false;
    try {
      await command(this.base, 'DELETE', `/session/${this.session}`);
    } catch { /* the browser is going anyway */ }
    this.driver.kill();
    this.xvfb.kill();
  }
}

// MiniBrowser in its own Xvfb under its own driver. `env` is the browser's environment (its
// sound server): the driver starts it with its own.
export async function startWebKit({ env = process.env } = {}) {
  for (const file of [driverPath, miniBrowser]) {
    if (!fs.existsSync(file)) throw new Error(`webkit cannot start: ${file} is missing (scripts/install-deps web)`);
  }
  const [xvfb, display] = await startXvfb('1280x800');
  const port = await freePort();
  const driverEnv = { ...env, DISPLAY: display, WEBKIT_DISABLE_COMPOSITING_MODE: '1', NO_AT_BRIDGE: '1' };
  const driver = spawn(driverPath, [`--port=${port}`], { env: driverEnv, stdio: ['ignore', 'ignore', 'pipe'] });
  let driverErrors = '';
  driver.stderr.on('data', (data) => { driverErrors += data; });
  const base = `http://127.0.0.1:${port}`;
  try {
    for (let i = 0; ; ++i) {
      try {
        if ((await command(base, 'GET', '/status')).ready) break;
      } catch (error) {
        if (i > 100 || driver.exitCode !== null) throw new Error(`WebKitWebDriver did not answer: ${driverErrors.trim() || error.message}`);
      }
      await sleep(100);
    }
    const session = await command(base, 'POST', '/session', {
      capabilities: {
        alwaysMatch: {
          browserName: 'MiniBrowser',
          'webkitgtk:browserOptions': { binary: miniBrowser, args: ['--automation', '--autoplay-policy=allow'] },
        },
      },
    });
    const browser = new Browser(xvfb, display, driver, base, session.sessionId);
    await browser.send('POST', '/timeouts', { script: 600000, pageLoad: 60000 });
    return browser;
  } catch (error) {
    driver.kill();
    xvfb.kill();
    throw new Error(`webkit cannot start: ${error.message}`);
  }
}
