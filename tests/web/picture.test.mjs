// The page's picture against what is heard, end to end: headful Chromium over all of a private X
// server's screen, playing into the latency rig's PulseAudio (a FIFO read like a sound card, small
// and large). The screen is sampled about 1000 times a second (screen_watch, as for the native
// program); every beat of the lattice flashes a picture with black in it over grain that has
// none, and each flash is timed against when its row is heard in the FIFO's recording. The page
// also logs each animation frame and what it drew in it, so the browser's own delay to the screen
// is measured, and the page is held to 12 ms at the median with that delay as it allows for it.
import assert from 'node:assert/strict';
import { spawn, execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import { startBrowser, openPage, startShow, waitFor, pageClockOffset } from './browser.mjs';
import { startXvfb } from './x_server.mjs';

const siteUrl = process.env.TARNWICK_SITE_URL;
const reader = process.env.TARNWICK_FIFO_READER;
const run = process.env.TARNWICK_LATENCY_RUN;
const nativeBin = process.env.TARNWICK_NATIVE_BIN;
if (!siteUrl || !reader || !run || !nativeBin) {
  throw new Error('TARNWICK_SITE_URL, TARNWICK_FIFO_READER, TARNWICK_LATENCY_RUN or TARNWICK_NATIVE_BIN is not set: run through scripts/test-web');
}
const rig = path.resolve('../latency');
const programs = path.dirname(reader);
const rate = 44100;
const beatRows = [0, 6, 12, 16, 24, 30, 32, 38, 44, 48, 56, 62];
const beatOrders = [10, 11, 12];  // past the lattice's fade in at (9,0); order 11 begins with its toggle
const watchFrom = 60;    // s of music: the lattice from 57.6 s
const watchFor = 25;     // to the swirl at (13,0), 83.2 s

// A child whose `ended` settles with '' when it exits with 0, or else with why.
function startChild(what, command, args, options) {
  const child = spawn(command, args, { stdio: ['ignore', 'ignore', 'pipe'], ...options });
  const errors = [];
  child.stderr.on('data', (data) => errors.push(data.toString()));
  child.ended = new Promise((resolve) => {
    child.on('error', (error) => resolve(`${what} cannot start (${command}): ${error.message}`));
    child.on('exit', (code, signal) => resolve(code === 0 ? '' : `${what} ended (${code ?? signal}): ${errors.join('').trim()}`));
  });
  return child;
}

// The page reckons a picture on the screen one and three quarters display periods (60 Hz) after
// its animation frame (web_video.cpp), in the middle of the period it is shown for.
const allowedMs = 1000 * 7 / (4 * 60);
// Measured: headful Chromium under Xvfb takes 20 ms from an animation frame to the screen in most
// runs and 36 ms in some, steady within a run; and as a row lasts six periods, every beat of a run
// falls at the same point of a period, so end to end a run's median lies anywhere in a period
// around that delay: from -16 to +13 ms over seventeen runs.
const lateFault = 'headful Chromium under Xvfb: its delay to the screen is one period or two, as its compositor settles for the run';

// Each animation frame's time and how much of what the page drew in it is black (per mille),
// the frame's time as the browser gives it to the callback.
const frameLog = `
  window.tarnwickFrames = { times: [], black: [], at: 0, on: false };
  const requestFrame = window.requestAnimationFrame.bind(window);
  window.requestAnimationFrame = (callback) => requestFrame((time) => { window.tarnwickFrames.at = time; callback(time); });
  const put = CanvasRenderingContext2D.prototype.putImageData;
  CanvasRenderingContext2D.prototype.putImageData = function (image, ...rest) {
    const log = window.tarnwickFrames;
    if (log.on) {
      let black = 0;
      for (let i = 0; i < image.data.length; i += 64) black += (image.data[i] | image.data[i + 1] | image.data[i + 2]) === 0;
      log.times.push(log.at);
      log.black.push(Math.floor(black * 64000 / image.data.length));
    }
    return put.call(this, image, ...rest);
  };`;

for (const [fifoName, fifoBytes] of [['small', 8192], ['large', 65536]]) {
  test(`each beat's flash on the screen of headful Chromium against its row heard through the ${fifoName} FIFO`, async (t) => {
    const folder = path.join(run, `picture-${fifoName}`);
    fs.rmSync(folder, { recursive: true, force: true });
    const server = path.join(rig, 'latency_servers.sh');
    const address = execFileSync(server, ['pulse', folder, String(fifoBytes), reader], { encoding: 'utf8' }).trim();
    let xvfb = null;
    let browser = null;
    try {
      let display;
      [xvfb, display] = await startXvfb();
      const env = { ...process.env, DISPLAY: display, PULSE_SERVER: address, XDG_RUNTIME_DIR: path.join(folder, 'xdg') };
      delete env.WAYLAND_DISPLAY;
      browser = await startBrowser({ env, headless: false, kiosk: true });
      const { page, seen } = await openPage(browser, `${siteUrl}/full/`, (opened) => opened.evaluateOnNewDocument(frameLog));
      await startShow(page);
      await waitFor(page, `${watchFrom} s of music`, (frames) => Module.tarnwickAudio.heardFrame() > frames, 120000, watchFrom * rate);
      await page.evaluate(() => { window.tarnwickFrames.on = true; });
      const clockBefore = await pageClockOffset(page);
      const watch = startChild('screen_watch', path.join(programs, 'screen_watch'), [String(watchFor), path.join(folder, 'screen.log')], { env });
      const watched = await watch.ended;
      assert.equal(watched, '', watched);
      const clockAfter = await pageClockOffset(page);
      const offset = (clockBefore.offset + clockAfter.offset) / 2;
      const frames = await page.evaluate(() => { window.tarnwickFrames.on = false; return window.tarnwickFrames; });
      fs.writeFileSync(path.join(folder, 'frames.log'), frames.times.map((ms, i) => `${Math.round(ms * 1e6 + offset)} ${frames.black[i]}\n`).join(''));
      const box = await page.evaluate(() => {
        const r = document.getElementById('screen').getBoundingClientRect();
        return `${r.width}x${r.height} at ${r.left},${r.top} of ${window.innerWidth}x${window.innerHeight}`;
      });
      t.diagnostic(`the canvas: ${box}`);
      await page.keyboard.press('Escape');
      assert.deepEqual(seen.errors, []);
      await browser.close();
      browser = null;
      execFileSync(server, ['stop', folder]);

      // The lattice's first row, then every beat's, as the page plays them.
      const rows = [[9, 0], ...beatOrders.flatMap((order) => beatRows.map((row) => [order, order === 11 && row === 0 ? 1 : row]))];
      const module = path.join(nativeBin, 'tarnwick.it');
      const lines = rows.map(([order, row]) => {
        const raw = path.join(folder, `row-${order}-${row}.raw`);
        const [start, seenAt] = execFileSync(path.join(programs, 'module_row'), [module, String(order), String(row), raw], { encoding: 'utf8' }).trim().split(' ');
        return `${start} ${seenAt} ${raw}\n`;
      });
      fs.writeFileSync(path.join(folder, 'rows.txt'), lines.join(''));
      let verdict;
      try {
        verdict = execFileSync('python3', [path.join(rig, 'check_heard.py'), 'beats', path.join(folder, 'heard.raw'), path.join(folder, 'rows.txt'),
          path.join(folder, 'screen.log'), path.join(folder, 'frames.log'), String(allowedMs), '12', `headful Chromium, PulseAudio into a FIFO of ${fifoBytes} bytes`], { encoding: 'utf8' });
      } catch (error) {
        verdict = error.stdout || error.message;
      }
      t.diagnostic(verdict.trim());
      assert.doesNotMatch(verdict, /FAILED/, `the picture is not in step with the sound (see ${folder})`);
      await t.test('and end to end, whatever the browser\'s delay to the screen', { todo: lateFault }, () => {
        assert.doesNotMatch(verdict, /end to end beyond/);
      });
    } finally {
      if (browser) await browser.close();
      execFileSync(server, ['stop', folder]);
      if (xvfb) {
        xvfb.kill();
        await xvfb.ended;
      }
    }
  });
}
