// Measures the page, not a test: plays the whole show in headless Chromium or Firefox
// (TARNWICK_BROWSER) and prints the median time the wasm worked per frame in each scene, and the
// flips per second. Firefox's timers are left at full precision for it.
//   TARNWICK_SITE_URL=http://127.0.0.1:8000 node measure.mjs   (with scripts/serve-web running)
import { startBrowser, openPage, startShow } from './browser.mjs';

const url = process.env.TARNWICK_SITE_URL || 'http://127.0.0.1:8000';
const browser = await startBrowser({ firefoxPrefs: { 'privacy.reduceTimerPrecision': false } });
try {
  const { page } = await openPage(browser, url + '/');
  await startShow(page);
  const started = Date.now();
  while (!(await page.evaluate(() => Module.tarnwickPage.ended === true))) {
    await new Promise((resolve) => setTimeout(resolve, 2000));
  }
  const result = await page.evaluate(() => {
    const stats = Module.tarnwickPage.stats;
    const count = Math.min(stats.count, stats.work.length);
    const byScene = {};
    for (let i = 0; i < count; ++i) (byScene[stats.scene[i]] ||= []).push(stats.work[i]);
    const medians = {};
    for (const [scene, times] of Object.entries(byScene)) {
      times.sort((a, b) => a - b);
      medians[scene] = { frames: times.length, medianMs: times[times.length >> 1], p95Ms: times[Math.floor(times.length * 0.95)] };
    }
    return { flips: stats.flips, medians };
  });
  const seconds = (Date.now() - started) / 1000;
  console.log(JSON.stringify({ seconds, flipsPerSecond: result.flips / seconds, scenes: result.medians }, null, 1));
} finally {
  await browser.close();
}
