// A phone's interruption (a call, Siri, an alarm) in the middle of the show, as WebKit makes one:
// the context suspended from outside, the page's resume() held until the interruption ends (its
// promise then settles, as WebKit's does), and then the context running again. The page must ask
// at once, on a tap and when shown again, say on its line that the sound is paused, play on
// silently meanwhile, have the music heard again within a second of being let run, never take
// the script back, end the show by itself at its time and close the context.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { startBrowser, openPage, startShow, waitFor } from './browser.mjs';

const siteUrl = process.env.TARNWICK_SITE_URL;
const nativeBin = path.resolve(process.env.TARNWICK_NATIVE_BIN || '../../build/bin');
const programs = process.env.TARNWICK_FIFO_READER && path.dirname(process.env.TARNWICK_FIFO_READER);
if (!siteUrl || !programs) throw new Error('TARNWICK_SITE_URL or TARNWICK_FIFO_READER is not set: run through scripts/test-web');
const rate = 44100;
const interruptAt = 30;  // s of music
const interruptFor = 3000;  // ms

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));

// Run in the page before its scripts: the interruption, started by window.tarnwickInterrupt(ms).
function interruptions() {
  const record = window.tarnwickInterruption = { resumes: [], from: 0, allowed: 0, loud: 0, held: 0 };
  const realResume = AudioContext.prototype.resume;
  let interrupted = false;
  let waiting = [];
  AudioContext.prototype.resume = function () {
    record.resumes.push(performance.now());
    if (!interrupted) return realResume.call(this);
    record.held += 1;
    return new Promise((resolve) => waiting.push(resolve));
  };
  window.tarnwickInterrupt = async (ms) => {
    const context = Module.tarnwickAudio.context();
    // Past the interruption, the first moment the output carries sound again.
    const analyser = context.createAnalyser();
    Module.tarnwickAudio.output().connect(analyser);
    const samples = new Float32Array(analyser.fftSize);
    const listen = () => {
      analyser.getFloatTimeDomainData(samples);
      if (record.allowed > 0 && samples.some((v) => Math.abs(v) > 0.01)) {
        record.loud = performance.now();
        return;
      }
      setTimeout(listen, 5);
    };
    interrupted = true;
    record.from = performance.now();
    await context.suspend();
    setTimeout(() => {
      interrupted = false;
      record.allowed = performance.now();
      realResume.call(context).then(() => {
        for (const resolve of waiting) resolve();
        waiting = [];
      });
      listen();
    }, ms);
  };
}

// The native script, its lines without their passes.
function nativeScript() {
  const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'tarnwick-log-')), 'show.log');
  execFileSync(path.join(nativeBin, 'tarnwick-render'), ['--log', file], { cwd: nativeBin, stdio: 'ignore' });
  const lines = fs.readFileSync(file, 'utf8').trim().split('\n').filter((line) => !line.startsWith('end'));
  fs.rmSync(path.dirname(file), { recursive: true, force: true });
  return lines.map((line) => line.replace(/ pass \d+ /, ' '));
}

test('an interruption mid-show: paused and said so, asked to resume, the music back within 1 s, the script on, the show ending at its time', async (t) => {
  // Where the end row's sound begins in the music.
  const endRaw = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'tarnwick-end-')), 'row.raw');
  const endFrame = Number(execFileSync(path.join(programs, 'module_row'), [path.join(nativeBin, 'tarnwick.it'), '43', '32', endRaw], { encoding: 'utf8' }).split(' ')[0]);
  fs.rmSync(path.dirname(endRaw), { recursive: true, force: true });
  const browser = await startBrowser();
  try {
    const { page, seen } = await openPage(browser, `${siteUrl}/full/`, (opened) => opened.evaluateOnNewDocument(interruptions));
    // When the show ended, and the frame last heard before, a moment earlier.
    await page.evaluate(() => {
      const shown = Module.tarnwickPage;
      const showEnded = shown.showEnded;
      shown.showEnded = (code) => {
        window.tarnwickEndedAt = performance.now();
        showEnded(code);
      };
      setInterval(() => {
        const heard = Module.tarnwickAudio.heardFrame();
        if (heard > 0 && !window.tarnwickEndedAt) window.tarnwickLastHeard = { at: performance.now(), heard };
      }, 100);
    });
    await startShow(page);
    await waitFor(page, `${interruptAt} s of music`, (frames) => Module.tarnwickAudio.heardFrame() > frames, 120000, interruptAt * rate);
    const heardNow = () => ({ heard: Module.tarnwickAudio.heardFrame(), at: performance.now() });
    const before = await page.evaluate(heardNow);
    const positionBefore = await page.evaluate(() => Module._web_music_position());

    await page.evaluate((ms) => { window.tarnwickInterrupt(ms); }, interruptFor);
    await waitFor(page, 'the line saying the sound is paused', () => !document.getElementById('notice').hidden, 2000);
    const said = await page.evaluate(() => ({ text: document.getElementById('notice').textContent, at: performance.now() - window.tarnwickInterruption.from }));
    assert.equal(said.text, 'Sound paused: tap to resume');
    // While it is paused the script plays on, silently.
    await sleep(800);
    const positionSilent = await page.evaluate(() => Module._web_music_position());
    assert.notEqual(positionSilent, positionBefore, 'the position stood still while paused');
    await page.mouse.click(500, 300);  // a tap
    await sleep(100);
    const other = await browser.newPage();  // hidden, and shown again
    await other.bringToFront();
    await waitFor(page, 'the page hidden', () => document.visibilityState === 'hidden', 5000);
    await other.close();
    await page.bringToFront();
    await waitFor(page, 'the page shown', () => document.visibilityState === 'visible', 5000);

    await waitFor(page, 'the sound back', () => window.tarnwickInterruption.loud > 0 && document.getElementById('notice').hidden, 5000);
    const record = await page.evaluate(() => window.tarnwickInterruption);
    const asked = record.resumes.filter((at) => at >= record.from && at < record.allowed).map((at) => Math.round(at - record.from));
    const heardAgain = record.loud - record.allowed;
    t.diagnostic(`the line ${said.at.toFixed(0)} ms after the interruption; resume asked at ${asked.join(', ')} ms; ` +
      `the music sounding again ${heardAgain.toFixed(0)} ms after it was let run`);
    assert.ok(asked.length >= 3 && asked[0] < 100, `resume asked at ${asked.join(', ')} ms into the interruption: at once, on the tap and when shown`);
    assert.ok(heardAgain < 1000, `the music sounded again ${heardAgain.toFixed(0)} ms after the context was let run`);
    // The music heard again is where the silence had gone on to: only the output's start-up late.
    await sleep(1000);
    const after = await page.evaluate(heardNow);
    const lagMs = (after.at - before.at) - (after.heard - before.heard) / rate * 1000;
    t.diagnostic(`across the interruption the music heard lags the clock by ${lagMs.toFixed(1)} ms`);
    assert.ok(Math.abs(lagMs) < 150, `the music came back ${lagMs.toFixed(0)} ms away from the clock`);

    // Minutes of show: asked every few seconds, each question short.
    for (let waited = 0; await page.$eval('#again', (e) => e.hidden); waited += 2000) {
      assert.ok(waited < 400000, 'the show did not end by itself within 400 s');
      await sleep(2000);
    }
    const end = await page.evaluate(() => ({
      at: window.tarnwickEndedAt,
      last: window.tarnwickLastHeard,
      state: Module.tarnwickAudio.context().state,
      line: document.getElementById('line').textContent,
      log: Module.tarnwickPage.log.map((line) => line.replace(/ pass \d+ /, ' ')),
    }));
    // Due when the end row is heard, reckoned from the last frame heard before the end (a stall of a
    // loaded machine moves the music later, and the show with it).
    const late = end.at - (end.last.at + (endFrame - end.last.heard) / rate * 1000);
    const musicLate = end.at - (before.at + (endFrame - before.heard) / rate * 1000);
    t.diagnostic(`the show ended ${late.toFixed(0)} ms after its end row was heard (the music itself ` +
      `${(musicLate / 1000).toFixed(2)} s later than at the interruption's start: stalls of the machine)`);
    assert.equal(end.line, 'The show has ended.');
    // Each line once and in the native order; a row a stalled pass of a loaded machine missed
    // holds the rest of its table back, as in the native program, but nothing goes back.
    const native = nativeScript();
    const places = end.log.map((line) => native.indexOf(line));
    assert.ok(places.every((at, i) => at >= 0 && (i === 0 || at > places[i - 1])), `the script went back or off: ${end.log.join(', ')}`);
    assert.equal(end.log[end.log.length - 1], native[native.length - 1], 'the end screen');
    t.diagnostic(`${end.log.length} of the script's ${native.length} lines, in order`);
    assert.ok(Math.abs(late) < 250, `the show ended ${late.toFixed(0)} ms from when its end row was heard`);
    await waitFor(page, 'the context closed', () => Module.tarnwickAudio.context().state === 'closed', 2000);
    assert.deepEqual(seen.errors, []);
  } finally {
    await browser.close();
  }
});
