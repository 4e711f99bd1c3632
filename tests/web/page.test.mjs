// The show in its web page, in headless Chromium or Firefox (TARNWICK_BROWSER): loading, Play,
// the splash and the scenes, the canvas against the frame buffer, the frame rate, the script
// against the native log, the sound and its heard position, Escape; Escape in full screen as the
// first key; then the failures a user can meet.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { describe, test, before, after } from 'node:test';
import { engine, startBrowser, openPage, startShow, waitFor } from './browser.mjs';

const siteUrl = process.env.TARNWICK_SITE_URL;
const nativeBin = path.resolve(process.env.TARNWICK_NATIVE_BIN || '../../build/bin');
const shots = process.env.TARNWICK_SCREENSHOTS || '';
if (!siteUrl) throw new Error('TARNWICK_SITE_URL is not set: run the page tests through scripts/test-web');
const checks = path.resolve('page_checks.js');
const rate = 44100;
// WebDriver classic runs no script of ours before the page's own: WebKit's page is watched from
// its load on, and its loading percentage goes unseen.
const watchesLoading = engine !== 'webkit';

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

async function screenshot(page, name) {
  if (shots) await page.screenshot({ path: path.join(shots, `${engine}-${name}.png`) });
}

// Run in the page before its scripts: every response body comes at about 2 MiB/s in all, as on a
// slow line, until the test sets window.slowBodies to false.
function slowBodies() {
  window.slowBodies = true;
  const bytesPerMs = 2 * 1024 * 1024 / 1000;
  let lineFree = 0;
  const passed = (bytes) => {
    const now = performance.now();
    lineFree = Math.max(lineFree, now) + bytes / bytesPerMs;
    return new Promise((resolve) => setTimeout(resolve, lineFree - now));
  };
  const realFetch = window.fetch;
  window.fetch = async (...args) => {
    const response = await realFetch(...args);
    if (!response.body) return response;
    const reader = response.body.getReader();
    const body = new ReadableStream({
      async pull(controller) {
        const { done, value } = await reader.read();
        if (done) {
          controller.close();
          return;
        }
        for (let at = 0; at < value.length; at += 16384) {
          const part = value.subarray(at, at + 16384);
          if (window.slowBodies) await passed(part.length);
          controller.enqueue(part);
        }
      },
    });
    return new Response(body, { status: response.status, statusText: response.statusText, headers: response.headers });
  };
}

// The native script log at 60 Hz: "scene I ..." and "event I NAME ..." without their passes.
function nativeLog() {
  const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'tarnwick-log-')), 'show.log');
  execFileSync(path.join(nativeBin, 'tarnwick-render'), ['--log', file], { cwd: nativeBin, stdio: 'ignore' });
  const lines = fs.readFileSync(file, 'utf8').trim().split('\n');
  fs.rmSync(path.dirname(file), { recursive: true, force: true });
  return lines.filter((line) => !line.startsWith('end')).map((line) => {
    const match = /^(.*) pass (\d+) (pos .*)$/.exec(line);
    return { action: match[1] + ' ' + match[3], pass: Number(match[2]) };
  });
}

const withoutPass = (line) => line.replace(/ pass \d+ /, ' ');

let browser;
before(async () => { browser = await startBrowser(); });
after(async () => { if (browser) await browser.close(); });

describe('the show in the page', { concurrency: false }, () => {
  let page;
  let seen;

  before(async () => {
    ({ page, seen } = await openPageSlowly());
  });

  // A slow line, so that the loading line is seen; every text of the status line is kept.
  async function openPageSlowly() {
    const prepare = async (opened) => {
      await opened.setViewport({ width: 960, height: 600 });
      if (!watchesLoading) return;
      await opened.evaluateOnNewDocument(slowBodies);
      await opened.evaluateOnNewDocument(() => {
        window.statusTexts = [];
        document.addEventListener('DOMContentLoaded', () => {
          const line = document.getElementById('line');
          new MutationObserver(() => window.statusTexts.push(line.textContent)).observe(line, { childList: true, characterData: true, subtree: true });
        });
      });
    };
    const opened = await openPage(browser, siteUrl + '/full/', prepare, 'domcontentloaded');
    if (!watchesLoading) return opened;
    await waitFor(opened.page, 'the loading line', () => /Loading [1-9]/.test(document.getElementById('line').textContent), 20000);
    await screenshot(opened.page, 'loading');
    await opened.page.evaluate(() => { window.slowBodies = false; });
    return opened;
  }

  test('loads with a percentage, offers Play, with no console errors', async (t) => {
    await page.waitForSelector('#play:not([hidden])', { timeout: 60000 });
    await screenshot(page, 'play');
    if (watchesLoading) {
      const texts = await page.evaluate(() => window.statusTexts);
      assert.ok(texts.some((t) => /^Loading \d+%$/.test(t)), `status texts: ${texts.join(' | ')}`);
      assert.ok(texts.filter((t) => /^Loading/.test(t)).every((t) => Number(t.slice(8, -1)) <= 100));
    } else {
      t.diagnostic(`${engine}: the loading percentage is not watched: WebDriver classic runs no script before the page's own`);
    }
    assert.deepEqual(seen.errors, []);
    assert.deepEqual(seen.console.filter((m) => m.type === 'error'), []);
  });

  test('under Play, a link reaches the notices of the libraries in the wasm', async () => {
    const { href, status, notices } = await page.evaluate(async () => {
      const link = document.querySelector('#third-party a');
      if (!link || !link.offsetParent) return {};
      const response = await fetch(link.href);
      return { href: link.href, status: response.status, notices: await response.text() };
    });
    assert.ok(href, 'no link to the notices shown under Play');
    assert.equal(status, 200, href);
    assert.match(notices, /^libopenmpt.*\nVersion: \d/m);
    assert.match(notices, /^emscripten.*\nVersion: \d.*\n.*\nLinked: .*\blibc\.a\b/m);
  });

  test('Play starts the splash, then the scenes', async () => {
    await page.addScriptTag({ path: checks });
    await startShow(page);
    await page.evaluate((seconds) => window.tarnwickCheck.installTap(seconds), 130);
    // The splash: frames presented, no pass of the main loop yet, then the picture faded in.
    await waitFor(page, 'the splash picture', () => Module._web_shown_flips() > 80 && window.tarnwickCheck.canvasMatches().lit > 10000, 10000);
    assert.equal(await page.evaluate(() => Module._web_active_passes()), 0);
    assert.equal(await page.evaluate(() => document.getElementById('screen').style.display), 'block');
    // Then the music and the main loop with the first scene.
    await waitFor(page, 'the main loop', () => Module._web_active_passes() > 120, 20000);
    await screenshot(page, 'scene');
  });

  test('the canvas shows the frame buffer through the palette, 6 to 8 bits', async () => {
    for (let i = 0; i < 5; ++i) {
      const result = await page.evaluate(() => window.tarnwickCheck.canvasMatches());
      assert.equal(result.pixelsWrong, 0);
      assert.equal(result.entriesWrong, 0);
      await sleep(300);
    }
  });

  test('the show presents about once per display frame', async () => {
    const { flips, frames } = await page.evaluate(() => window.tarnwickCheck.countFrames(3000));
    assert.ok(frames > 30, `the browser gave ${frames} animation frames in 3 s`);
    assert.ok(flips <= frames * 1.05 + 2 && flips >= frames * 0.5, `${flips} flips in ${frames} animation frames`);
  });

  test('the sound is not silent', async () => {
    await sleep(2000);
    const { loudest, blocks } = await page.evaluate(() => window.tarnwickCheck.loudness());
    assert.ok(blocks > 20, `the tap heard ${blocks} blocks`);
    assert.ok(loudest > 0.01, `the loudest stretch has a root mean square of ${loudest}`);
  });

  test('the position reported is the one leaving the audio graph, within 20 ms', async (t) => {
    // A main thread held up for 200 ms, less than the music's lead: the sound plays on gaplessly.
    await page.evaluate(() => {
      const end = performance.now() + 200;
      while (performance.now() < end) { /* a long frame */ }
    });
    const samples = await page.evaluate(() => window.tarnwickCheck.samplePositions(6000));
    const offsets = await page.evaluate(() => window.tarnwickCheck.findOffsets());
    assert.ok(offsets.length >= 3, `the tapped sound was found in the stream ${offsets.length} times`);
    assert.ok(offsets.every((o) => o === offsets[0]), `the stream lies at several offsets: ${offsets.join(' ')}`);
    const good = await page.evaluate((s, o) => window.tarnwickCheck.judge(s, o), samples, offsets[0]);
    const scheduled = await page.evaluate(() => Module.tarnwickAudio.startFrame());
    t.diagnostic(`heard position: ${good.judged} samples, median error ${good.medianMs} ms, worst ${good.worstMs} ms; ` +
      `stream frame 0 scheduled at context frame ${scheduled}, heard at ${offsets[0]}`);
    assert.ok(good.judged > 100, `only ${good.judged} samples could be judged`);
    assert.equal(good.within, good.judged, `worst error ${good.worstMs} ms`);

    // The same check must catch a position taken from what was rendered instead of heard.
    await page.evaluate(() => {
      const audio = Module.tarnwickAudio;
      audio.trueHeardFrame = audio.heardFrame;
      audio.heardFrame = () => audio.framesQueued();
    });
    const planted = await page.evaluate(() => window.tarnwickCheck.samplePositions(3000));
    await page.evaluate(() => { Module.tarnwickAudio.heardFrame = Module.tarnwickAudio.trueHeardFrame; });
    const bad = await page.evaluate((s, o) => window.tarnwickCheck.judge(s, o), planted, offsets[0]);
    t.diagnostic(`rendered instead of heard: ${bad.within} of ${bad.judged} within 20 ms, median ${bad.medianMs} ms`);
    assert.ok(bad.judged > 50 && bad.within < bad.judged / 2, 'the planted fault went unnoticed');
  });

  test('the script over the first minute matches the native log in order', async () => {
    const expected = nativeLog().filter((entry) => entry.pass <= 60 * 60);
    await waitFor(page, 'a minute of music', (frames) => Module.tarnwickAudio.heardFrame() > frames, 90000, 61 * rate);
    const lines = (await page.evaluate(() => Module.tarnwickPage.log.slice())).map(withoutPass);
    const native = nativeLog().map((entry) => entry.action);
    assert.ok(expected.length >= 10, `the native log has ${expected.length} actions in its first minute`);
    assert.deepEqual(lines.slice(0, expected.length), expected.map((entry) => entry.action));
    assert.deepEqual(lines, native.slice(0, lines.length));
  });

  test('after a stall longer than the lead the music resumes later, its position still right', async (t) => {
    const before = await page.evaluate(() => Module.tarnwickAudio.startFrame());
    const resumed = await page.evaluate(() => {
      const end = performance.now() + 600;
      while (performance.now() < end) { /* a frame far too long */ }
      return Module.tarnwickAudio.context().currentTime * 44100;
    });
    const samples = await page.evaluate(() => window.tarnwickCheck.samplePositions(3000));
    const after = await page.evaluate(() => Module.tarnwickAudio.startFrame());
    const offsets = await page.evaluate((from) => window.tarnwickCheck.findOffsets(from), resumed + rate);
    t.diagnostic(`stream moved ${((after - before) / rate * 1000).toFixed(1)} ms later`);
    assert.ok(after > before, 'the stream was not moved after the stall');
    const tapped = await page.evaluate(() => {
      const record = window.tarnwickTap;
      return `${record.blocks.length} blocks to context frame ${record.blocks[record.blocks.length - 1].frame}, ` +
        `${record.streamFrames} stream frames`;
    });
    assert.ok(offsets.length >= 2 && offsets.every((o) => o === offsets[0]),
      `offsets after the stall from context frame ${resumed}: ${offsets.join(' ')}; ${tapped}`);
    const result = await page.evaluate((s, o) => window.tarnwickCheck.judge(s, o), samples, offsets[0]);
    assert.ok(result.judged > 50, `only ${result.judged} samples could be judged`);
    assert.equal(result.within, result.judged, `worst error ${result.worstMs} ms`);
  });

  test('an output that stops: the show plays on silently on the clock, says so, and the music joins again in its place', async (t) => {
    const heardNow = () => ({ heard: Module.tarnwickAudio.heardFrame(), at: performance.now() });
    const before = await page.evaluate(heardNow);
    // Neither promise is awaited in the page: a browser may never settle them, and the page's
    // own line is what tells. The page's own requests to run again come to nothing meanwhile.
    await page.evaluate(() => {
      const context = Module.tarnwickAudio.context();
      context.resume = () => Promise.resolve();
      context.suspend();
    });
    await waitFor(page, 'the line saying so', () => !document.getElementById('notice').hidden, 5000);
    assert.equal(await page.$eval('#notice', (e) => e.textContent), 'Sound paused: tap to resume');
    assert.ok(seen.console.some((m) => m.text === 'Sound paused: tap to resume'), 'the line is not on the console');
    await screenshot(page, 'silent');
    const silentFrom = await page.evaluate(() => Module._web_music_position());
    await sleep(1500);
    const silentTo = await page.evaluate(() => Module._web_music_position());
    assert.notEqual(silentTo, silentFrom, 'the position stood still without sound');

    const resumedAt = await page.evaluate(() => {
      delete Module.tarnwickAudio.context().resume;
      Module.tarnwickAudio.context().resume();
      return Module.tarnwickAudio.context().currentTime * 44100;  // the clock stood still meanwhile
    });
    await waitFor(page, 'the music back', () => document.getElementById('notice').hidden, 5000);
    await sleep(300);  // past the moment before the stream's first frame plays, which nothing marks
    const after = await page.evaluate(heardNow);
    // The stream heard again is where the clock had gone on to: only the device's start-up lead late.
    const lagMs = ((after.at - before.at) / 1000 * rate - (after.heard - before.heard)) / rate * 1000;
    t.diagnostic(`${((after.at - before.at) / 1000).toFixed(1)} s after the output stopped the stream heard lags the clock by ${lagMs.toFixed(1)} ms`);
    assert.ok(Math.abs(lagMs) < 150, `the music joined ${lagMs.toFixed(0)} ms away from the clock`);
    const samples = await page.evaluate(() => window.tarnwickCheck.samplePositions(3000));
    const offsets = await page.evaluate((from) => window.tarnwickCheck.findOffsets(from), resumedAt + rate / 2);
    assert.ok(offsets.length >= 2 && offsets.every((o) => o === offsets[0]), `offsets after the output came back: ${offsets.join(' ')}`);
    const result = await page.evaluate((s, o) => window.tarnwickCheck.judge(s, o), samples, offsets[0]);
    assert.ok(result.judged > 50, `only ${result.judged} samples could be judged`);
    assert.equal(result.within, result.judged, `worst error ${result.worstMs} ms`);
  });

  // WebKit's windows sit side by side on an X server without a window manager: none is hidden.
  const hiddenTab = engine === 'webkit' && 'WebKit under Xvfb: a second window does not hide the page';
  test('a hidden tab stops the drawing while the music plays on, and drawing resumes', { skip: hiddenTab }, async () => {
    const other = await browser.newPage();
    await other.bringToFront();
    await waitFor(page, 'the tab to be hidden', () => document.visibilityState === 'hidden', 5000);
    const state = () => ({
      passes: Module._web_active_passes(),
      queued: Module.tarnwickAudio.framesQueued(),
      heard: Module.tarnwickAudio.heardFrame(),
    });
    const hidden = await page.evaluate(state);
    await sleep(3000);
    const later = await page.evaluate(state);
    assert.ok(later.passes - hidden.passes <= 1, `${later.passes - hidden.passes} passes while hidden`);
    assert.ok(later.queued - hidden.queued > 2.5 * rate, `${later.queued - hidden.queued} frames of music queued in 3 s`);
    assert.ok(later.heard - hidden.heard > 2.5 * rate, `${later.heard - hidden.heard} frames heard in 3 s`);
    assert.ok(later.queued - later.heard > 0, 'the music ran dry while hidden');
    await other.close();
    await page.bringToFront();
    await waitFor(page, 'the drawing to resume', (passes) => Module._web_active_passes() > passes + 30, 10000, later.passes);
  });

  test('Escape ends the show and shows the end state', async () => {
    await page.keyboard.press('Escape');
    await waitFor(page, 'the end state', () => !document.getElementById('again').hidden, 5000);
    assert.equal(await page.$eval('#line', (e) => e.textContent), 'The show has ended.');
    assert.equal(await page.$eval('#screen', (e) => e.style.display), 'none');
    await screenshot(page, 'end');
    assert.deepEqual(seen.errors, []);
    const playerLines = /^(Audio device lost|No audio device|Audio device back)/;  // the stopped output
    assert.deepEqual(seen.console.filter((m) => m.type === 'error' && !playerLines.test(m.text)), []);
    assert.ok(seen.console.some((m) => m.text === 'Filesystem 3.10'), 'the archive banner is on the console');
    assert.ok(seen.console.some((m) => m.text === '.....'), 'the archive dots are on the console');
  });
});

// Firefox keeps Escape for itself in full screen and only leaves it; the page must end the show
// all the same, with the one key.
describe('Escape in full screen', () => {
  test('Escape in full screen as the first key ends the show', async () => {
    const { page, seen } = await openPage(browser, `${siteUrl}/full/`);
    await startShow(page);
    await waitFor(page, 'full screen and the main loop', () => document.fullscreenElement !== null && Module._web_active_passes() > 30, 20000);
    await page.keyboard.press('Escape');
    await waitFor(page, 'the end state', () => !document.getElementById('again').hidden, 5000);
    assert.equal(await page.$eval('#line', (e) => e.textContent), 'The show has ended.');
    assert.equal(await page.evaluate(() => document.fullscreenElement), null);
    assert.deepEqual(seen.errors, []);
    await page.close();
  });
});

// No sound server at all: Firefox keeps the AudioContext suspended, Chromium plays into a silent
// output of its own. Either way the show runs in real time.
describe('no sound server', () => {
  test('the show plays on in real time, and says so where the output does not run', async (t) => {
    const runtime = fs.mkdtempSync(path.join(os.tmpdir(), 'tarnwick-no-sound-'));
    const env = { ...process.env, XDG_RUNTIME_DIR: runtime, PULSE_SERVER: `unix:${runtime}/none` };
    const lone = await startBrowser({ env });
    try {
      const { page, seen } = await openPage(lone, `${siteUrl}/full/`);
      await page.evaluate(() => {
        const shown = Module.tarnwickPage;
        const scriptLine = shown.scriptLine;
        shown.lineTimes = [];
        shown.scriptLine = (text) => {
          shown.lineTimes.push(performance.now());
          scriptLine(text);
        };
      });
      await startShow(page);
      await waitFor(page, 'the third caption', () => Module.tarnwickPage.log.length >= 3, 40000);
      const state = await page.evaluate(() => Module.tarnwickAudio.context().state);
      const notice = await page.$eval('#notice', (e) => (e.hidden ? '' : e.textContent));
      t.diagnostic(`the AudioContext is ${state}; the page says "${notice}"`);
      if (engine === 'firefox') assert.notEqual(state, 'running', 'Firefox found a sound output');
      if (state !== 'running') {
        await screenshot(page, 'no-sound-server');
        assert.equal(notice, 'No sound output: playing silently');
        assert.ok(seen.console.some((m) => m.text === 'No sound output: playing silently'), 'the line is not on the console');
      }
      // Captions every 384 passes of 60 Hz: the first and the third are 12.8 s apart.
      const { log, times } = await page.evaluate(() => ({ log: Module.tarnwickPage.log.slice(0, 3), times: Module.tarnwickPage.lineTimes.slice(0, 3) }));
      assert.deepEqual(log.map(withoutPass), nativeLog().slice(0, 3).map((entry) => entry.action));
      const seconds = (times[2] - times[0]) / 1000;
      t.diagnostic(`first to third caption: ${seconds.toFixed(2)} s`);
      assert.ok(Math.abs(seconds - 12.8) < 0.3, `the first to the third caption took ${seconds.toFixed(2)} s, not 12.8 s`);
      await page.keyboard.press('Escape');
      await waitFor(page, 'the end state', () => !document.getElementById('again').hidden, 5000);
      assert.deepEqual(seen.errors, []);
    } finally {
      await lone.close();
      fs.rmSync(runtime, { recursive: true, force: true });
    }
  });
});

// The page of one site variant, played until it ends by itself.
async function playUntilEnd(variant, prepare) {
  const { page, seen } = await openPage(browser, `${siteUrl}/${variant}/`, prepare);
  await startShow(page);
  await waitFor(page, 'the end state', () => !document.getElementById('again').hidden, 30000);
  const line = await page.$eval('#line', (e) => e.textContent);
  return { page, seen, line };
}

describe('failures in the page', () => {
  test('a site without tarnwick.it says "Can\'t play the file"', async () => {
    const { page, seen, line } = await playUntilEnd('no-music');
    await screenshot(page, 'error');
    assert.match(line, /^Can't play the file: tarnwick.it: /);
    assert.ok(seen.console.some((m) => m.type === 'error' && m.text.startsWith("Can't play the file")));
    assert.deepEqual(seen.errors, []);
    await page.close();
  });

  test('a damaged tarnwick.it fails cleanly, without an abort', async () => {
    const { page, seen, line } = await playUntilEnd('damaged');
    assert.match(line, /^Can't play the file: tarnwick.it: /);
    assert.ok(!seen.console.some((m) => /Aborted|RuntimeError|exception/i.test(m.text)), JSON.stringify(seen.console));
    assert.deepEqual(seen.errors, []);
    await page.close();
  });

  test('a site without tarnwick.dat names the missing data files', async () => {
    const { page, seen, line } = await playUntilEnd('no-data');
    assert.match(line, /^Data file splash\.bin is missing\n/);
    assert.match(line, /\nCan't load the show data: Data file splash\.bin is missing$/);
    assert.ok(seen.console.some((m) => m.type === 'log' && m.text === 'Could not open splash.bin'));
    assert.deepEqual(seen.errors, []);
    await page.close();
  });

  test('a browser without Web Audio says "Can\'t initialize device"', async () => {
    const noAudio = (page) => page.evaluateOnNewDocument(() => {
      delete window.AudioContext;
      delete window.webkitAudioContext;
    });
    const { page, seen } = await openPage(browser, `${siteUrl}/full/`, noAudio);
    await startShow(page);
    await waitFor(page, 'the end state', () => !document.getElementById('again').hidden, 10000);
    assert.match(await page.$eval('#line', (e) => e.textContent), /^Can't initialize device: /);
    assert.deepEqual(seen.errors, []);
    await page.close();
  });

  test('a display failure shows the popup on the page, then the error', async () => {
    const noCanvas = (page) => page.evaluateOnNewDocument(() => {
      HTMLCanvasElement.prototype.getContext = () => null;
    });
    const { page, seen } = await openPage(browser, `${siteUrl}/full/`, noCanvas);
    await startShow(page);
    await waitFor(page, 'the popup', () => document.getElementById('popup').open, 10000);
    await screenshot(page, 'popup');
    const text = await page.$eval('#popup-text', (e) => e.textContent);
    assert.equal(text, 'DirectDraw support is not possible with the current display driver. \n\nthis browser cannot draw on a canvas');
    assert.ok(seen.console.some((m) => m.type === 'error' && m.text.includes('this browser cannot draw on a canvas')));
    // WebKitGTK in full screen takes no driver's click: its WebDriver finds every element covered.
    if (engine === 'webkit') await page.evaluate(() => document.exitFullscreen());
    await page.click('#popup-ok');
    await waitFor(page, 'the end state', () => !document.getElementById('again').hidden, 5000);
    assert.match(await page.$eval('#line', (e) => e.textContent), /Can't open the display/);
    await page.close();
  });
});
