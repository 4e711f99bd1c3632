// The page on phones, emulated in Chromium (screen size, touch, a phone's browser): Play by a tap,
// the picture the largest 4:3 box in portrait and turned to landscape, a tap on the picture for
// the close control and a tap on that to end the show; the screen wake lock and the audio session
// through recorders in place of the browser's. Then a phone's audio: a context that does not run
// at 44100 Hz and has no outputLatency, its heard position against the tapped sound.
import assert from 'node:assert/strict';
import path from 'node:path';
import { describe, test, before, after } from 'node:test';
import { KnownDevices } from 'puppeteer-core';
import { startBrowser, openPage, waitFor } from './browser.mjs';

const siteUrl = process.env.TARNWICK_SITE_URL;
const shots = process.env.TARNWICK_SCREENSHOTS || '';
if (!siteUrl) throw new Error('TARNWICK_SITE_URL is not set: run the page tests through scripts/test-web');
const checks = path.resolve('page_checks.js');

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Run in the page before its scripts: navigator.wakeLock and navigator.audioSession replaced by
// recorders. The lock is released when the page is hidden, as browsers do. Each record says
// whether it came while the Play tap's click was being handled.
function recorders() {
  const record = window.tarnwickRecord = { events: [], inPlay: false };
  window.addEventListener('click', (event) => { record.inPlay = event.target.id === 'play'; }, true);
  window.addEventListener('click', () => { record.inPlay = false; });
  const note = (what) => record.events.push({ what, inPlay: record.inPlay });
  const RealContext = window.AudioContext;
  window.AudioContext = class extends RealContext {
    constructor(options) {
      super(options);
      note('context');
    }
  };
  let sessionType = 'auto';
  Object.defineProperty(Navigator.prototype, 'audioSession', {
    configurable: true,
    get: () => ({
      get type() { return sessionType; },
      set type(value) { sessionType = value; note(`session ${value}`); },
    }),
  });
  Object.defineProperty(Navigator.prototype, 'wakeLock', {
    configurable: true,
    get: () => ({
      request(type) {
        note(`lock ${type}`);
        const sentinel = new EventTarget();
        sentinel.type = type;
        sentinel.released = false;
        const release = (why) => {
          if (sentinel.released) return;
          sentinel.released = true;
          note(`released ${why}`);
          sentinel.dispatchEvent(new Event('release'));
        };
        sentinel.release = async () => release('by the page');
        document.addEventListener('visibilitychange', () => { if (document.hidden) release('hidden'); });
        return Promise.resolve(sentinel);
      },
    }),
  });
}

// An iPhone offers no element full screen.
function noFullscreen() {
  delete Element.prototype.requestFullscreen;
  delete Element.prototype.webkitRequestFullscreen;
}

// The canvas against the largest 4:3 box of the viewport, centred, and the close control's box.
async function geometry(page) {
  return page.evaluate(() => {
    const box = document.getElementById('screen').getBoundingClientRect();
    const close = document.getElementById('close');
    const closeBox = close.hidden ? null : close.getBoundingClientRect();
    return {
      viewport: [window.innerWidth, window.innerHeight],
      box: [box.left, box.top, box.width, box.height],
      close: closeBox && [closeBox.left, closeBox.top, closeBox.width, closeBox.height],
    };
  });
}

function assertLargestBox({ viewport: [width, height], box: [left, top, w, h] }, where) {
  const expected = Math.min(width, height * 4 / 3);
  const said = `${where}: a ${w}x${h} box at ${left},${top} in ${width}x${height}`;
  assert.ok(Math.abs(w - expected) <= 1 && Math.abs(h - expected * 3 / 4) <= 1, said);
  assert.ok(Math.abs(left - (width - w) / 2) <= 1 && Math.abs(top - (height - h) / 2) <= 1, `${said}, not centred`);
}

const overlaps = (a, b) => a[0] < b[0] + b[2] && b[0] < a[0] + a[2] && a[1] < b[1] + b[3] && b[1] < a[1] + a[3];

let browser;
before(async () => { browser = await startBrowser(); });
after(async () => { if (browser) await browser.close(); });

describe('the page on phones', { concurrency: false }, () => {
  const phones = [
    { name: 'iPhone 13', fullscreen: false },
    { name: 'Pixel 5', fullscreen: true },
  ];
  for (const phone of phones) {
    test(`${phone.name}: Play by a tap, the largest 4:3 box both ways, the close control ends the show; the wake lock and the audio session`, async (t) => {
      const portrait = KnownDevices[phone.name];
      const landscape = KnownDevices[`${phone.name} landscape`];
      const prepare = async (page) => {
        await page.emulate(portrait);
        await page.evaluateOnNewDocument(recorders);
        if (!phone.fullscreen) await page.evaluateOnNewDocument(noFullscreen);
      };
      const { page, seen } = await openPage(browser, `${siteUrl}/full/`, prepare);
      const shot = async (name) => {
        if (shots) await page.screenshot({ path: path.join(shots, `phone-${phone.name.replace(/ /g, '-')}-${name}.png`) });
      };
      await page.waitForSelector('#play:not([hidden])', { timeout: 60000 });
      await page.tap('#play');
      await waitFor(page, 'the main loop', () => Module._web_active_passes() > 60, 30000);
      assert.equal(await page.evaluate(() => Module.tarnwickAudio.context().state), 'running');
      assertLargestBox(await geometry(page), 'portrait');
      await shot('portrait');

      // Turned while it plays.
      await page.emulate(landscape);
      await sleep(300);
      assertLargestBox(await geometry(page), 'landscape');
      await shot('landscape');

      // Hidden behind another tab and shown again: the lock is asked for again.
      const other = await browser.newPage();
      await other.bringToFront();
      await waitFor(page, 'the page hidden', () => document.visibilityState === 'hidden', 5000);
      await other.close();
      await page.bringToFront();
      await waitFor(page, 'the lock asked for again', () => window.tarnwickRecord.events.filter((e) => e.what === 'lock screen').length === 2, 5000);

      // A tap on the picture shows the close control beside the picture, for a few seconds.
      await page.tap('#screen');
      await waitFor(page, 'the close control', () => !document.getElementById('close').hidden, 2000);
      const shown = await geometry(page);
      assert.ok(shown.close, 'no close control after a tap on the picture');
      assert.ok(!overlaps(shown.close, shown.box), `the close control ${shown.close} covers the picture ${shown.box}`);
      await page.addScriptTag({ path: checks });
      assert.equal((await page.evaluate(() => window.tarnwickCheck.canvasMatches())).pixelsWrong, 0);
      await shot('close-control');
      await waitFor(page, 'the close control to go', () => document.getElementById('close').hidden, 5000);
      await page.tap('#screen');
      await waitFor(page, 'the close control again', () => !document.getElementById('close').hidden, 2000);
      await page.tap('#close');
      await waitFor(page, 'the end state', () => !document.getElementById('again').hidden, 5000);
      assert.equal(await page.$eval('#line', (e) => e.textContent), 'The show has ended.');

      const events = await page.evaluate(() => window.tarnwickRecord.events);
      t.diagnostic(events.map((e) => e.what + (e.inPlay ? ' (in the Play tap)' : '')).join(', '));
      const what = events.map((e) => e.what);
      assert.deepEqual(what, ['session playback', 'context', 'lock screen', 'released hidden', 'lock screen', 'released by the page']);
      assert.deepEqual(events.map((e) => e.inPlay), [true, true, true, false, false, false], 'the session, the context and the first lock in the Play tap');
      assert.deepEqual(seen.errors, []);
      assert.deepEqual(seen.console.filter((m) => m.type === 'error'), []);
      await page.close();
    });
  }
});

// A phone's hardware often runs at 48000 Hz, and Safari before 18.4 has no outputLatency.
describe("a phone's audio", () => {
  test('a context at 48000 Hz without outputLatency: the music joins gaplessly and the position heard is within 20 ms', async (t) => {
    const phoneAudio = (page) => page.evaluateOnNewDocument(() => {
      const RealContext = window.AudioContext;
      delete RealContext.prototype.outputLatency;
      delete BaseAudioContext.prototype.outputLatency;
      window.AudioContext = class extends RealContext {
        constructor(options) {
          super({ ...options, sampleRate: 48000 });
        }
      };
    });
    const { page, seen } = await openPage(browser, `${siteUrl}/full/`, phoneAudio);
    await page.addScriptTag({ path: checks });
    await page.waitForSelector('#play:not([hidden])', { timeout: 60000 });
    await page.click('#play');
    await page.evaluate((seconds) => window.tarnwickCheck.installTap(seconds), 40);
    await waitFor(page, 'the main loop', () => Module._web_active_passes() > 120, 30000);
    const context = await page.evaluate(() => ({
      rate: Module.tarnwickAudio.context().sampleRate,
      latency: 'outputLatency' in Module.tarnwickAudio.context(),
    }));
    assert.deepEqual(context, { rate: 48000, latency: false });
    const samples = await page.evaluate(() => window.tarnwickCheck.samplePositions(6000));
    const offsets = await page.evaluate(() => window.tarnwickCheck.findOffsets());
    assert.ok(offsets.length >= 3, `the tapped sound was found in the stream ${offsets.length} times`);
    assert.ok(offsets.every((o) => o === offsets[0]), `the stream lies at several offsets: ${offsets.join(' ')}`);
    const result = await page.evaluate((s, o) => window.tarnwickCheck.judge(s, o), samples, offsets[0]);
    t.diagnostic(`heard position: ${result.judged} samples, median error ${result.medianMs} ms, worst ${result.worstMs} ms`);
    assert.ok(result.judged > 100, `only ${result.judged} samples could be judged`);
    assert.equal(result.within, result.judged, `worst error ${result.worstMs} ms`);
    await page.keyboard.press('Escape');
    await waitFor(page, 'the end state', () => !document.getElementById('again').hidden, 5000);
    assert.deepEqual(seen.errors, []);
    await page.close();
  });
});
