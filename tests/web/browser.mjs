// Debian's Chromium or Firefox ESR, headless, for the page's tests: started with a fresh profile
// and stopped by the tests themselves; Firefox is driven over WebDriver BiDi, so the tests use
// only what both protocols give. WebKit is WebKitGTK's MiniBrowser in a private Xvfb (webkit.mjs)
// behind the same surface. No browser is ever downloaded.
// TARNWICK_BROWSER names the engine: chromium (the default), firefox or webkit.
import fs from 'node:fs';
import puppeteer from 'puppeteer-core';
import { startWebKit } from './webkit.mjs';

export const engine = process.env.TARNWICK_BROWSER || 'chromium';
const executables = {
  chromium: process.env.TARNWICK_CHROMIUM || '/usr/bin/chromium',
  firefox: process.env.TARNWICK_FIREFOX || '/usr/bin/firefox-esr',
};

function launchOptions({ env, firefoxPrefs, headless, chromiumArgs, userDataDir, kiosk }) {
  if (engine === 'firefox') {
    return {
      browser: 'firefox',
      executablePath: executables.firefox,
      headless,
      env,
      extraPrefsFirefox: {
        // Full screen at once, without its warning and transition, as a viewer sees it settle.
        'full-screen-api.warning.timeout': 0,
        'full-screen-api.transition-duration.enter': '0 0',
        'full-screen-api.transition-duration.leave': '0 0',
        ...firefoxPrefs,
      },
    };
  }
  return {
    executablePath: executables.chromium,
    headless,
    ignoreDefaultArgs: ['--mute-audio'],  // the sound goes to the test's own server, heard there
    env,
    userDataDir,
    // A kiosk window covers the whole screen, the page's own size.
    ...(kiosk ? { defaultViewport: null } : {}),
    args: [
      '--no-sandbox', '--autoplay-policy=no-user-gesture-required', '--disable-gpu',
      '--disable-background-networking', '--disable-component-update', '--disable-sync',
      '--no-first-run', ...(kiosk ? ['--kiosk', '--window-position=0,0'] : []), ...chromiumArgs,
    ],
  };
}

// `env` replaces the browser's environment (its sound server); `firefoxPrefs` adds preferences;
// `headless: false` shows the browser on the X server of env's DISPLAY, `kiosk` (Chromium) over
// all of its screen. Chromium takes `chromiumArgs` besides its own, and `userDataDir`, a profile
// kept from one start to the next.
export async function startBrowser({ env = process.env, firefoxPrefs = {}, headless = true, chromiumArgs = [], userDataDir, kiosk = false } = {}) {
  if (engine === 'webkit') return startWebKit({ env });
  const executable = executables[engine];
  if (!executable) throw new Error(`TARNWICK_BROWSER is ${engine}: chromium, firefox or webkit`);
  if (!fs.existsSync(executable)) {
    throw new Error(`${engine} cannot start: ${executable} is missing (scripts/install-deps web)`);
  }
  // Puppeteer makes each browser a fresh profile, but for a given userDataDir, and removes it
  // once the browser has exited.
  try {
    return await puppeteer.launch(launchOptions({ env, firefoxPrefs, headless, chromiumArgs, userDataDir, kiosk }));
  } catch (error) {
    throw new Error(`${engine} cannot start (${executable}): ${error.message}`);
  }
}

// A new page that keeps every console message and page error it sees.
// `prepare` may set the page up before it loads.
export async function openPage(browser, url, prepare, waitUntil = 'load') {
  const page = await browser.newPage();
  if (prepare) await prepare(page);
  const seen = { console: [], errors: [] };
  page.on('console', (message) => seen.console.push({ type: message.type(), text: message.text() }));
  page.on('pageerror', (error) => seen.errors.push(error.message));
  page.on('requestfailed', (request) => seen.errors.push(`request failed: ${request.url()}`));
  await page.goto(url, { waitUntil });
  return { page, seen };
}

// Waits for the Play button and presses it.
export async function startShow(page) {
  await page.waitForSelector('#play:not([hidden])', { timeout: 60000 });
  await page.click('#play');
}

// Waits for `fn` to be true in the page; the error names what was waited for.
export async function waitFor(page, what, fn, timeout = 30000, ...args) {
  try {
    await page.waitForFunction(fn, { timeout, polling: 100 }, ...args);
  } catch (error) {
    throw new Error(`waited ${timeout / 1000} s for ${what}`);
  }
}

// The page's clock on the monotonic clock of this process (node's hrtime, CLOCK_MONOTONIC, as the
// reader's): the offset from the quickest of a few round trips, in ns.
export async function pageClockOffset(page) {
  let best = null;
  for (let i = 0; i < 20; ++i) {
    const before = process.hrtime.bigint();
    const now = await page.evaluate(() => performance.now());
    const after = process.hrtime.bigint();
    const trip = after - before;
    if (!best || trip < best.trip) best = { trip, offset: Number((before + after) / 2n) - now * 1e6 };
  }
  return best;
}
