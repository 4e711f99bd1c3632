// The heard position the page reports against an output of real latency: the browser plays into a
// private PulseAudio whose pipe sink fills a FIFO, small (8192 bytes, 46 ms) and large (65536
// bytes, 371 ms), read like a sound card at exactly 44100 frames a second (the native programs'
// rig, tests/latency). What the page rendered is found in what the reader heard, which dates every
// stream frame on the monotonic clock; the frame the page said it heard at each moment must be
// that one: median within 10 ms, 5th and 95th percentiles within 20 ms. In Chromium the page also
// meets every other engine's clock (engine_clocks.js: their output timestamps and latencies as
// they compute them, from Chromium's true values), WebKit's on Apple platforms above all: every
// browser on an iPhone.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import path from 'node:path';
import { test } from 'node:test';
import { engine, startBrowser, openPage, startShow, pageClockOffset } from './browser.mjs';

const siteUrl = process.env.TARNWICK_SITE_URL;
const reader = process.env.TARNWICK_FIFO_READER;
const run = process.env.TARNWICK_LATENCY_RUN;
if (!siteUrl || !reader || !run) throw new Error('TARNWICK_SITE_URL, TARNWICK_FIFO_READER or TARNWICK_LATENCY_RUN is not set: run through scripts/test-web');
const rig = path.resolve('../latency');
const fifos = [['small', 8192], ['large', 65536]];
const engineClocks = fs.readFileSync(path.resolve('engine_clocks.js'), 'utf8');

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// An engine whose own faults keep the heard position from being right: the test runs, and its
// result is reported under the fault's name without failing the run.
// Its GStreamer output plays silence into a FIFO output; with PULSE_LATENCY_MSEC (60: a few seconds
// of broken sound, 250: silence) it is no better.
const gtkSound = 'its GStreamer output plays silence into this FIFO output (and drops out into a small one)';
const engineFault = {
  webkit: `WebKitGTK 2.50: ${gtkSound}, and its outputLatency is 0 where the stream has about 70 ms`,
}[engine];
// The engines modelled in Chromium, and what keeps one from being right.
const models = engine !== 'chromium' ? [[engine, engineFault]] : [
  ['chromium', undefined],
  ['webkit', undefined],
  ['safari-17', 'Safari before 18.4 has no outputLatency: nothing tells the page how late the output is'],
  ['firefox', undefined],
  ['webkitgtk', 'WebKitGTK stamps ahead of now and says 0 for outputLatency: nothing tells the output\'s delay'],
];

for (const [model, fault] of models) {
  for (const [fifoName, fifoBytes] of fifos) {
    const name = model === engine ? engine : `${model}'s clock (modelled in Chromium)`;
    test(`the heard position, ${name}, against the ${fifoName} FIFO read as a sound card`, { todo: fault }, (t) => heardOnRig(t, model, fifoName, fifoBytes));
  }
}

async function heardOnRig(t, model, fifoName, fifoBytes) {
  const folder = path.join(run, `${model}-${fifoName}`);
  fs.rmSync(folder, { recursive: true, force: true });
  const server = path.join(rig, 'latency_servers.sh');
  const address = execFileSync(server, ['pulse', folder, String(fifoBytes), reader], { encoding: 'utf8' }).trim();
  let serverUp = true;
  const stopServer = () => {
    if (serverUp) execFileSync(server, ['stop', folder]);
    serverUp = false;
  };
  const browser = await startBrowser({ env: { ...process.env, PULSE_SERVER: address, XDG_RUNTIME_DIR: path.join(folder, 'xdg') } });
  try {
    const modelled = (opened) => opened.evaluateOnNewDocument(`window.tarnwickEngineModel = '${model}';\n${engineClocks}`);
    const { page } = await openPage(browser, `${siteUrl}/full/`, model === engine ? undefined : modelled);
    await startShow(page);
    // The stream as rendered, 16-bit as the wasm made it, from the first chunk after the set-up.
    await page.evaluate(() => {
      const record = { first: -1, chunks: [] };
      Module.tarnwickAudio.onChunk = (first, left, right) => {
        if (record.first < 0) record.first = first;
        const chunk = new Int16Array(2 * left.length);
        for (let i = 0; i < left.length; ++i) {
          chunk[2 * i] = Math.round(left[i] * 32768);
          chunk[2 * i + 1] = Math.round(right[i] * 32768);
        }
        record.chunks.push(chunk);
      };
      window.latencyRecord = record;
    });
    await page.waitForFunction(() => Module.tarnwickAudio.heardFrame() > 3 * 44100, { timeout: 30000, polling: 100 });  // past the splash, the output settled
    const clockBefore = await pageClockOffset(page);
    const said = await page.evaluate(async () => {
      const rows = [];
      const end = performance.now() + 8000;
      while (performance.now() < end) {
        rows.push([performance.now(), Module.tarnwickAudio.heardFrame()]);
        await new Promise((resolve) => setTimeout(resolve, 23));
      }
      return rows;
    });
    const clockAfter = await pageClockOffset(page);
    const facts = await page.evaluate(() => {
      const context = Module.tarnwickAudio.context();
      const ms = (s) => (s === undefined ? 'none' : `${(s * 1000).toFixed(1)} ms`);
      return `baseLatency ${ms(context.baseLatency)}, outputLatency ${ms(context.outputLatency)}, ${context.sampleRate} Hz`;
    });
    t.diagnostic(`${model}'s context: ${facts}`);
    const stream = await page.evaluate(() => {
      const record = window.latencyRecord;
      Module.tarnwickAudio.onChunk = null;
      let bytes = '';
      for (const chunk of record.chunks) {
        const view = new Uint8Array(chunk.buffer);
        for (let i = 0; i < view.length; i += 8192) bytes += String.fromCharCode(...view.subarray(i, i + 8192));
      }
      return { first: record.first, base64: btoa(bytes) };
    });
    await page.keyboard.press('Escape');
    await browser.close();
    stopServer();  // the reader writes when its first slot was heard

    const drift = (clockAfter.offset - clockBefore.offset) / 1e6;
    t.diagnostic(`page clock offset taken over ${Number(clockBefore.trip) / 1e6} ms; drift over the run ${drift.toFixed(2)} ms`);
    const offset = (clockBefore.offset + clockAfter.offset) / 2;
    fs.writeFileSync(path.join(folder, 'said.log'), said.map(([ms, frame]) => `${Math.round(ms * 1e6 + offset)} ${Math.floor(frame)}\n`).join(''));
    fs.writeFileSync(path.join(folder, 'stream.raw'), Buffer.from(stream.base64, 'base64'));
    fs.writeFileSync(path.join(folder, 'stream.first'), `${stream.first}\n`);
    let verdict;
    try {
      verdict = execFileSync('python3', [path.join(rig, 'check_heard.py'), 'stream', path.join(folder, 'heard.raw'),
        path.join(folder, 'stream.raw'), String(stream.first), path.join(folder, 'said.log'), '10', '20',
        `${model}, PulseAudio into a FIFO of ${fifoBytes} bytes`], { encoding: 'utf8' });
    } catch (error) {
      verdict = error.stdout || error.message;
    }
    t.diagnostic(verdict.trim());
    assert.doesNotMatch(verdict, /FAILED/, `the heard position is not what the FIFO played (see ${folder})`);
  } finally {
    if (browser.connected) await browser.close();
    stopServer();
  }
}
