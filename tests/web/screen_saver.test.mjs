// The screen kept on, end to end: a private session bus with a stand-in screen saver
// (screen_saver.py) that records every inhibition, and under it, in a private X server, headful
// Chromium playing the page and the Linux program. Each holds the screen saver off while the show
// plays and lets go when it ends. Every part is started and stopped here; one that cannot start
// fails the test with its reason.
import assert from 'node:assert/strict';
import { spawn, execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import readline from 'node:readline';
import { describe, test, before, after } from 'node:test';
import { startBrowser, openPage, startShow, waitFor } from './browser.mjs';
import { startXvfb } from './x_server.mjs';

const siteUrl = process.env.TARNWICK_SITE_URL;
const nativeBin = path.resolve(process.env.TARNWICK_NATIVE_BIN || '../../build/bin');
if (!siteUrl) throw new Error('TARNWICK_SITE_URL is not set: run the page tests through scripts/test-web');
const screenSaver = 'org.freedesktop.ScreenSaver';

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const work = fs.mkdtempSync(path.join(os.tmpdir(), 'tarnwick-screen-saver-'));
const children = [];
let xvfb = null;

function start(what, command, args, options = {}) {
  const child = spawn(command, args, { stdio: ['ignore', 'pipe', 'pipe'], ...options });
  const errors = [];
  child.stderr.on('data', (data) => errors.push(data.toString()));
  child.failure = new Promise((resolve) => {
    child.on('error', (error) => resolve(`${what} cannot start (${command}): ${error.message}`));
    child.on('exit', (code, signal) => resolve(`${what} ended (${code ?? signal}): ${errors.join('').trim()}`));
  });
  children.push(child);
  return child;
}

// The first line a child writes, or its failure.
async function firstLine(what, child, timeout = 10000) {
  const lines = readline.createInterface({ input: child.stdout });
  const line = new Promise((resolve) => lines.once('line', resolve));
  const late = sleep(timeout).then(() => `${what} gave no answer within ${timeout / 1000} s`);
  const first = await Promise.race([line, child.failure.then((why) => ({ why })), late.then((why) => ({ why }))]);
  if (typeof first !== 'string') throw new Error(first.why);
  return { first, lines };
}

// The stand-in's record: events as they come, and the inhibitions held now.
const record = { events: [], held: new Map() };
function heldBy(predicate) {
  return [...record.held.values()].filter(predicate);
}
async function waitUntil(what, check, timeout) {
  const end = Date.now() + timeout;
  while (!check()) {
    if (Date.now() > end) throw new Error(`waited ${timeout / 1000} s for ${what}; the screen saver saw ${JSON.stringify(record.events)}`);
    await sleep(50);
  }
}

let env;

before(async () => {
  const config = path.join(work, 'bus.conf');
  fs.writeFileSync(config, `<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=${work}/bus</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
`);
  const bus = start('the private session bus', 'dbus-daemon', ['--config-file', config, '--nofork', '--print-address=1']);
  const address = (await firstLine('the private session bus', bus)).first.trim();

  let display;
  [xvfb, display] = await startXvfb();

  env = { ...process.env, DBUS_SESSION_BUS_ADDRESS: address, DISPLAY: display };
  delete env.WAYLAND_DISPLAY;
  const standIn = start('the stand-in screen saver', '/usr/bin/python3', [path.resolve('screen_saver.py')], { env });
  const { first, lines } = await firstLine('the stand-in screen saver', standIn);
  assert.equal(JSON.parse(first).event, 'ready', first);
  lines.on('line', (text) => {
    const event = JSON.parse(text);
    record.events.push(event);
    if (event.event === 'Inhibit') record.held.set(event.cookie, event);
    if (event.event === 'UnInhibit') record.held.delete(event.cookie);
    if (event.event === 'gone') for (const cookie of event.cookies) record.held.delete(cookie);
  });
});

after(async () => {
  for (const child of children.reverse()) {
    if (child.exitCode === null && child.signalCode === null) {
      child.kill();
      await Promise.race([child.failure, sleep(3000)]);
    }
  }
  if (xvfb) {
    xvfb.kill();
    await xvfb.ended;
  }
  fs.rmSync(work, { recursive: true, force: true });
});

describe('the screen saver held off while the show plays', { concurrency: false }, () => {
  test('headful Chromium on the page inhibits it while the show plays and lets go at the end', async (t) => {
    const browser = await startBrowser({ env, headless: false });
    try {
      const { page, seen } = await openPage(browser, `${siteUrl}/full/`);
      const before = new Set(record.held.keys());
      await startShow(page);
      const playAt = Date.now();
      const screenHolds = () => heldBy((e) => e.interface === screenSaver && !before.has(e.cookie));
      await waitUntil('an inhibition of the screen saver', () => screenHolds().length > 0, 10000);
      t.diagnostic(`inhibited ${Date.now() - playAt} ms after Play: ${JSON.stringify(screenHolds())}`);
      await waitFor(page, 'the main loop', () => Module._web_active_passes() > 120, 20000);
      assert.ok(screenHolds().length > 0, 'the inhibition ended while the show plays');
      await page.keyboard.press('Escape');
      await waitFor(page, 'the end state', () => !document.getElementById('again').hidden, 5000);
      await waitUntil('the screen saver let go', () => screenHolds().length === 0, 5000);
      t.diagnostic(record.events.filter((e) => e.event === 'Inhibit').map((e) => `${e.interface}: "${e.reason}"`).join(', '));
      assert.ok(!seen.console.some((m) => /wake lock/i.test(m.text)), JSON.stringify(seen.console.filter((m) => /wake lock/i.test(m.text))));
      assert.deepEqual(seen.errors, []);
    } finally {
      await browser.close();
    }
  });

  test('the Linux program inhibits it while it plays, and the inhibition ends with it', async () => {
    const program = path.join(nativeBin, 'tarnwick');
    assert.ok(fs.existsSync(program), `${program} is missing: build the native program first`);
    const senders = new Set(record.events.map((e) => e.sender));
    const show = start('the Linux program', program, [], { cwd: nativeBin, env: { ...env, SDL_AUDIODRIVER: 'dummy' } });
    const fresh = () => heldBy((e) => e.interface === screenSaver && !senders.has(e.sender));
    await waitUntil('the program to inhibit the screen saver', () => fresh().length > 0, 15000);
    await sleep(9000);  // into the show
    assert.equal(show.exitCode, null, `the program ended: ${await Promise.race([show.failure, sleep(0)])}`);
    assert.ok(fresh().length > 0, 'the inhibition ended while the program plays');
    // Escape is taken once the main loop runs, after the splash: a slow machine may still be in it.
    execFileSync('xdotool', ['key', 'Escape'], { env });
    const ended = await Promise.race([show.failure, sleep(30000).then(() => null)]);
    assert.ok(ended !== null, 'Escape did not end the program within 30 s');
    assert.equal(show.exitCode, 0, ended);
    await waitUntil('the inhibition to end with the program', () => fresh().length === 0, 5000);
  });
});
