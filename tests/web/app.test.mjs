// The page as people keep and share it, in Chromium: installable as an app, played with no
// network after one visit (as started from a phone's home screen), a new build taking over whole
// at the next visit, the preview a posted link shows, and Lighthouse's audits. The site is a copy
// served by a plain static server of this test's own, which counts the bytes it sends.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import crypto from 'node:crypto';
import fs from 'node:fs';
import http from 'node:http';
import os from 'node:os';
import path from 'node:path';
import { describe, test, before, after } from 'node:test';
import lighthouse from 'lighthouse';
import { KnownDevices } from 'puppeteer-core';
import { engine, startBrowser, waitFor } from './browser.mjs';

const siteDir = process.env.TARNWICK_SITE_DIR;
const nativeBin = path.resolve(process.env.TARNWICK_NATIVE_BIN || '../../build/bin');
const previewFrame = Number(process.env.TARNWICK_PREVIEW_FRAME);
const shots = process.env.TARNWICK_SCREENSHOTS || '';
const stamp = path.resolve('../../scripts/stamp-web-site');
if (!siteDir || !previewFrame) throw new Error('TARNWICK_SITE_DIR or TARNWICK_PREVIEW_FRAME is not set: run the app tests through scripts/test-web');
if (engine !== 'chromium') throw new Error(`the app tests use Chromium's own protocol, not ${engine}`);

const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const sha256 = (file) => crypto.createHash('sha256').update(fs.readFileSync(file)).digest('hex');

// Copies of the site under one root, served as a static server does: files, a folder's
// index.html, Last-Modified and 304s, nothing more.
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.png': 'image/png',
  '.txt': 'text/plain', '.webmanifest': 'application/manifest+json' };
function startServer(root) {
  const served = { bytes: 0, requests: [], down: false, refused: 0 };
  const server = http.createServer((request, response) => {
    if (served.down) {  // no signal: the connection breaks
      served.refused += 1;
      request.socket.destroy();
      return;
    }
    let name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    if (name.endsWith('/')) name += 'index.html';
    const file = path.join(root, path.normalize(name));
    if (!file.startsWith(root + path.sep) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      response.writeHead(404).end();
      return;
    }
    const modified = fs.statSync(file).mtime;
    modified.setMilliseconds(0);
    const since = Date.parse(request.headers['if-modified-since'] || '');
    served.requests.push(name);
    if (since >= modified.getTime()) {
      response.writeHead(304).end();
      return;
    }
    const body = fs.readFileSync(file);
    served.bytes += body.length;
    response.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream',
      'Content-Length': body.length, 'Last-Modified': modified.toUTCString() });
    response.end(body);
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () => resolve({ server, served, url: `http://127.0.0.1:${server.address().port}` }));
  });
}

async function shot(page, name) {
  if (shots) await page.screenshot({ path: path.join(shots, `app-${name}.png`) });
}

// The page's canvas now, to see frames change.
const canvasNow = (page) => page.evaluate(() => document.getElementById('screen').toDataURL());

let browser;
let root;
let site;
before(async () => {
  root = fs.mkdtempSync(path.join(os.tmpdir(), 'tarnwick-app-'));
  for (const copy of ['show', 'update']) fs.cpSync(siteDir, path.join(root, copy), { recursive: true, dereference: true });
  site = await startServer(root);
  browser = await startBrowser();
});
after(async () => {
  if (browser) await browser.close();
  if (site) site.server.close();
  if (root) fs.rmSync(root, { recursive: true, force: true });
});

describe('the page kept and shared', { concurrency: false }, () => {
  test('installable once the service worker holds it; then, with no network, started as from a home screen and played', async (t) => {
    const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'tarnwick-profile-'));
    let visiting = null;
    let app = null;
    try {
      // Installed apps are of a profile, not of an incognito context: a profile kept on disk.
      visiting = await startBrowser({ userDataDir: profile });
      const page = await visiting.newPage();
      site.served.bytes = 0;
      await page.goto(`${site.url}/show/`);
      await page.waitForSelector('#play:not([hidden])', { timeout: 60000 });
      await waitFor(page, 'the service worker to control the page', () => navigator.serviceWorker.controller !== null, 60000);
      const first = site.served.bytes;
      const cdp = await page.createCDPSession();
      const { installabilityErrors } = await cdp.send('Page.getInstallabilityErrors');
      assert.deepEqual(installabilityErrors, []);
      const manifest = await cdp.send('Page.getAppManifest');
      assert.deepEqual(manifest.errors, []);
      const data = JSON.parse(manifest.data);
      assert.deepEqual([data.display, data.orientation, data.theme_color, data.background_color], ['fullscreen', 'landscape', '#000000', '#000000']);
      // The next visit asks the server only whether the worker changed.
      site.served.bytes = 0;
      await page.reload();
      await page.waitForSelector('#play:not([hidden])', { timeout: 60000 });
      const second = site.served.bytes;
      t.diagnostic(`bytes from the server: first visit ${first}, second visit ${second}`);
      assert.ok(first > 4000000, `the first visit loaded ${first} bytes`);
      assert.ok(second < 20000, `the second visit loaded ${second} bytes`);
      await visiting.close();
      visiting = null;

      // A train without signal: the server unreachable, the show started as an app window
      // (Chromium's standalone display mode) of the same profile, then reloaded with the
      // browser's network emulated off.
      site.served.down = true;
      app = await startBrowser({ userDataDir: profile, chromiumArgs: [`--app=${site.url}/show/`] });
      const target = await app.waitForTarget((candidate) => candidate.type() === 'page' && candidate.url().startsWith(site.url), { timeout: 20000 });
      const shown = await target.page();
      const errors = [];
      shown.on('pageerror', (error) => errors.push(error.message));
      await shown.waitForSelector('#play:not([hidden])', { timeout: 60000 });
      await shown.emulate(KnownDevices['Pixel 5 landscape']);
      await shown.setOfflineMode(true);
      await shown.reload();
      await shown.waitForSelector('#play:not([hidden])', { timeout: 60000 });
      assert.ok(await shown.evaluate(() => matchMedia('(display-mode: standalone)').matches), 'not in the standalone display mode');
      await shot(shown, 'home-screen-offline-play');
      await shown.tap('#play');
      await waitFor(shown, 'the main loop', () => Module._web_active_passes() > 60, 30000);
      assert.equal(await shown.evaluate(() => Module.tarnwickAudio.context().state), 'running');
      const before = await canvasNow(shown);
      await sleep(500);
      assert.notEqual(await canvasNow(shown), before, 'the picture did not change');
      await shot(shown, 'home-screen-offline-show');
      t.diagnostic(`with no network, ${site.served.refused} requests found the server gone`);
      assert.deepEqual(errors, []);
    } finally {
      site.served.down = false;
      if (visiting) await visiting.close();
      if (app) await app.close();
      fs.rmSync(profile, { recursive: true, force: true });
    }
  });

  test('a new build takes over whole at the next visit; a copy caught halfway leaves the old one', async (t) => {
    const dir = path.join(root, 'update');
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.goto(`${site.url}/update/`);
    await page.waitForSelector('#play:not([hidden])', { timeout: 60000 });
    await waitFor(page, 'the service worker to control the page', () => navigator.serviceWorker.controller !== null, 60000);
    const kept = () => page.evaluate(() => caches.keys());
    const oldCaches = await kept();
    assert.equal(oldCaches.length, 1);
    // The page's worker tries the server's worker and finishes whatever that starts.
    const settle = () => page.evaluate(async () => {
      const registration = await navigator.serviceWorker.getRegistration();
      await registration.update().catch(() => {});
      while (registration.installing) await new Promise((resolve) => setTimeout(resolve, 100));
    });
    const isNew = () => page.evaluate(() => window.tarnwickBuild === 2);

    // The server's worker already lists the new page.js, the old one still there.
    const pageJs = path.join(dir, 'page.js');
    const oldPageJs = fs.readFileSync(pageJs);
    fs.writeFileSync(pageJs, Buffer.concat([oldPageJs, Buffer.from('\nwindow.tarnwickBuild = 2;\n')]));
    execFileSync(stamp, [dir]);
    const newPageJs = fs.readFileSync(pageJs);
    fs.writeFileSync(pageJs, oldPageJs);
    for (let visit = 0; visit < 2; ++visit) {
      await page.reload();
      await page.waitForSelector('#play:not([hidden])', { timeout: 60000 });
      await settle();
      assert.equal(await isNew(), false);
    }
    assert.equal((await page.evaluate(() => navigator.serviceWorker.getRegistration().then((r) => r.waiting))), null);

    // The copy finished: this visit is still the old build, the next the new one whole.
    fs.writeFileSync(pageJs, newPageJs);
    site.served.bytes = 0;
    await page.reload();
    await page.waitForSelector('#play:not([hidden])', { timeout: 60000 });
    assert.equal(await isNew(), false, 'the new page.js came into a page of the old build');
    try {
      await waitFor(page, 'the new build to take over', async (old) => {
        const keys = await caches.keys();
        return keys.length === 1 && keys[0] !== old;
      }, 60000, oldCaches[0]);
    } catch (error) {
      const state = await page.evaluate(async () => {
        const registration = await navigator.serviceWorker.getRegistration();
        const worker = (w) => w && w.state;
        return { caches: await caches.keys(), active: worker(registration.active), waiting: worker(registration.waiting), installing: worker(registration.installing) };
      });
      throw new Error(`${error.message}: ${JSON.stringify(state)}; the server was asked for ${site.served.requests.slice(-12).join(' ')}`);
    }
    t.diagnostic(`bytes from the server for the update: ${site.served.bytes}`);
    assert.ok(site.served.bytes < 100000, `the update fetched ${site.served.bytes} bytes: more than what changed`);
    await page.reload();
    await page.waitForSelector('#play:not([hidden])', { timeout: 60000 });
    assert.equal(await isNew(), true, 'two visits later the page is still the old build');
    // Every file the page can be given is the new build's.
    const names = fs.readdirSync(dir).filter((name) => name !== 'service_worker.js');
    const got = await page.evaluate(async (list) => {
      const out = {};
      for (const name of list) {
        const bytes = await (await fetch(name)).arrayBuffer();
        out[name] = Array.from(new Uint8Array(await crypto.subtle.digest('SHA-256', bytes)), (b) => b.toString(16).padStart(2, '0')).join('');
      }
      return out;
    }, names);
    for (const name of names) assert.equal(got[name], sha256(path.join(dir, name)), name);
    await context.close();
  });

  test("the preview's tags, icons, and its picture a frame of the show in sharp 4:3 blocks", async () => {
    const context = await browser.createBrowserContext();
    const page = await context.newPage();
    await page.goto(`${site.url}/show/`);
    const tags = await page.evaluate(() => {
      const meta = (key) => document.querySelector(`meta[name="${key}"], meta[property="${key}"]`)?.content || '';
      return {
        description: meta('description'), title: meta('og:title'), ogDescription: meta('og:description'),
        image: meta('og:image'), width: meta('og:image:width'), height: meta('og:image:height'),
        card: meta('twitter:card'), capable: meta('apple-mobile-web-app-capable'),
        statusBar: meta('apple-mobile-web-app-status-bar-style'),
      };
    });
    assert.ok(tags.description.length > 50 && tags.ogDescription.length > 50, JSON.stringify(tags));
    assert.equal(tags.title, 'Tarnwick');
    assert.equal(tags.card, 'summary_large_image');
    assert.deepEqual([tags.capable, tags.statusBar], ['yes', 'black']);
    const icons = await page.evaluate(async () => {
      const size = (href) => new Promise((resolve) => {
        const image = new Image();
        image.onload = () => resolve(`${image.naturalWidth}x${image.naturalHeight}`);
        image.onerror = () => resolve('none');
        image.src = href;
      });
      return [await size(document.querySelector('link[rel="icon"]').href),
        await size(document.querySelector('link[rel="apple-touch-icon"]').href)];
    });
    assert.deepEqual(icons, ['32x32', '180x180']);

    // The show's own frame, rendered natively.
    const frames = fs.mkdtempSync(path.join(os.tmpdir(), 'tarnwick-preview-'));
    execFileSync(path.join(nativeBin, 'tarnwick-render'), ['--png', frames, '--frames', String(previewFrame)], { cwd: nativeBin, stdio: 'ignore' });
    const frame = fs.readFileSync(path.join(frames, `frame-${String(previewFrame).padStart(6, '0')}.png`));
    fs.rmSync(frames, { recursive: true, force: true });
    const result = await page.evaluate(async (src, frameUrl) => {
      const pixels = async (url) => {
        const image = new Image();
        image.src = url;
        await image.decode();
        const canvas = document.createElement('canvas');
        canvas.width = image.naturalWidth;
        canvas.height = image.naturalHeight;
        const context = canvas.getContext('2d');
        context.drawImage(image, 0, 0);
        return { width: canvas.width, height: canvas.height, data: context.getImageData(0, 0, canvas.width, canvas.height).data };
      };
      const preview = await pixels(src);
      const native = await pixels(frameUrl);
      const bw = preview.width / native.width;
      const bh = preview.height / native.height;
      let notBlock = 0;
      let notFrame = 0;
      const colours = new Set();
      for (let y = 0; y < preview.height; ++y) {
        for (let x = 0; x < preview.width; ++x) {
          const at = (y * preview.width + x) * 4;
          const from = (Math.floor(y / bh) * native.width + Math.floor(x / bw)) * 4;
          const rgb = (d, i) => (d[i] << 16) | (d[i + 1] << 8) | d[i + 2];
          colours.add(rgb(preview.data, at));
          if (rgb(preview.data, at) !== rgb(native.data, from)) ++notFrame;
          const corner = ((y - y % bh) * preview.width + (x - x % bw)) * 4;
          if (rgb(preview.data, at) !== rgb(preview.data, corner)) ++notBlock;
        }
      }
      return { width: preview.width, height: preview.height, bw, bh, notBlock, notFrame, colours: colours.size };
    }, tags.image, `data:image/png;base64,${frame.toString('base64')}`);
    assert.ok(result.width >= 1200 && result.width * 3 === result.height * 4, JSON.stringify(result));
    assert.deepEqual([String(result.width), String(result.height)], [tags.width, tags.height]);
    assert.ok(Number.isInteger(result.bw) && Number.isInteger(result.bh), JSON.stringify(result));
    assert.deepEqual([result.notBlock, result.notFrame], [0, 0], JSON.stringify(result));
    assert.ok(result.colours >= 64, `the preview has ${result.colours} colours`);
    await context.close();
  });

  test('Lighthouse: accessibility, best practices and SEO at least 95; performance reported', async (t) => {
    const page = await browser.newPage();
    const { lhr } = await lighthouse(`${site.url}/show/`, { output: 'json', logLevel: 'error',
      onlyCategories: ['performance', 'accessibility', 'best-practices', 'seo'] }, undefined, page);
    const scores = Object.fromEntries(Object.entries(lhr.categories).map(([id, category]) => [id, Math.round(category.score * 100)]));
    const failing = Object.values(lhr.categories).flatMap((category) => category.auditRefs
      .filter((ref) => ref.weight > 0 && lhr.audits[ref.id].score !== null && lhr.audits[ref.id].score < 1)
      .map((ref) => `${category.id}/${ref.id} ${lhr.audits[ref.id].displayValue || lhr.audits[ref.id].score}`));
    t.diagnostic(`Lighthouse ${lhr.lighthouseVersion} in ${lhr.environment.hostUserAgent}: ${JSON.stringify(scores)}`);
    if (failing.length) t.diagnostic(`short of full marks: ${failing.join(', ')}`);
    assert.deepEqual(lhr.runWarnings, []);
    for (const id of ['accessibility', 'best-practices', 'seo']) assert.ok(scores[id] >= 95, `${id} ${scores[id]}`);
    assert.ok(Number.isFinite(scores.performance));
    await page.close();
  });
});
