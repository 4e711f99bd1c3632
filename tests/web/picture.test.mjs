// The page's picture against what is heard, end to end: headful Chromium over all of a private X
// server's screen, playing into the latency rig's PulseAudio (a FIFO read like a sound card, small
// and large). The screen is sampled about 1000 times a second (screen_watch, as for the native
// program); every beat of the lattice flashes a picture with black in it over grain that has
// none, and each flash must reach the screen, at the median, within 12 ms of when its row is
// heard in the FIFO's recording.
import assert from 'node:assert/strict';
import { spawn, execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import { startBrowser, openPage, startShow, waitFor } from './browser.mjs';
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

// Measured: from one run to the next the same lead gives a median from -15.5 to +13.2 ms (twelve
// runs; the delay from an animation frame to Xvfb's screen 26 to 51 ms, one and a half to three
// periods, steady within a run); the page's lead is their middle. Positions taken at the
// animation frame's own time rather than its callback's spread as widely. Reported until the
// page can learn its own delay to the screen.
const lateFault = 'headful Chromium under Xvfb: the delay to the screen differs by up to a period and a half from run to run';

for (const [fifoName, fifoBytes] of [['small', 8192], ['large', 65536]]) {
  test(`each beat's flash on the screen of headful Chromium against its row heard through the ${fifoName} FIFO`, { todo: lateFault }, async (t) => {
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
      const { page, seen } = await openPage(browser, `${siteUrl}/full/`);
      await startShow(page);
      await waitFor(page, `${watchFrom} s of music`, (frames) => Module.tarnwickAudio.heardFrame() > frames, 120000, watchFrom * rate);
      const watch = startChild('screen_watch', path.join(programs, 'screen_watch'), [String(watchFor), path.join(folder, 'screen.log')], { env });
      const watched = await watch.ended;
      assert.equal(watched, '', watched);
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
          path.join(folder, 'screen.log'), '12', `headful Chromium, PulseAudio into a FIFO of ${fifoBytes} bytes`], { encoding: 'utf8' });
      } catch (error) {
        verdict = error.stdout || error.message;
      }
      t.diagnostic(verdict.trim());
      assert.doesNotMatch(verdict, /FAILED/, `the picture is not in step with the sound (see ${folder})`);
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
