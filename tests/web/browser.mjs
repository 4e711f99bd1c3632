// Debian's Chromium, headless, for the page's tests: started with a fresh profile and stopped
// by the tests themselves. No browser is ever downloaded.
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import puppeteer from 'puppeteer-core';

export const chromiumPath = process.env.TARNWICK_CHROMIUM || '/usr/bin/chromium';

// Chromium may still be writing its profile while it exits.
function removeProfile(profile) {
  try {
    fs.rmSync(profile, { recursive: true, force: true, maxRetries: 10, retryDelay: 100 });
  } catch (error) {
    console.error(`could not remove ${profile}: ${error.message}`);
  }
}

export async function startChromium() {
  if (!fs.existsSync(chromiumPath)) {
    throw new Error(`Chromium cannot start: ${chromiumPath} is missing (scripts/install-deps web)`);
  }
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'tarnwick-chromium-'));
  try {
    const browser = await puppeteer.launch({
      executablePath: chromiumPath,
      headless: true,
      userDataDir: profile,
      args: [
        '--no-sandbox', '--autoplay-policy=no-user-gesture-required', '--disable-gpu',
        '--disable-background-networking', '--disable-component-update', '--disable-sync',
        '--no-first-run',
      ],
    });
    browser.on('disconnected', () => removeProfile(profile));
    return browser;
  } catch (error) {
    removeProfile(profile);
    throw new Error(`Chromium cannot start (${chromiumPath}): ${error.message}`);
  }
}

// A new page that keeps every console message and page error it sees.
// `prepare` may set the page up before it loads.
export async function openPage(browser, url, prepare) {
  const page = await browser.newPage();
  if (prepare) await prepare(page);
  const seen = { console: [], errors: [] };
  page.on('console', (message) => seen.console.push({ type: message.type(), text: message.text() }));
  page.on('pageerror', (error) => seen.errors.push(error.message));
  page.on('requestfailed', (request) => seen.errors.push(`request failed: ${request.url()}`));
  await page.goto(url, { waitUntil: 'load' });
  return { page, seen };
}

// Waits for the Play button and presses it.
export async function startShow(page) {
  await page.waitForSelector('#play:not([hidden])', { timeout: 60000 });
  await page.click('#play');
}
