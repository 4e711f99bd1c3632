'use strict';
// Keeps every file of the site for visits without a network. The build writes the list of the
// site's files with the SHA-256 of each (scripts/stamp-web-site), so a new build is a new worker:
// it fetches every file, checks each against its hash, and takes over only once all are held, at
// the page's word (page.js), when that page needs nothing more. A page and a wasm of two builds
// never meet, and a server caught halfway through a copy leaves the build before it in place.
const siteFiles = {};  // name: SHA-256, written by the build
const build = '';  // written by the build
// Caches belong to the whole origin: another copy of the site on it keeps its own.
const cachePrefix = `tarnwick ${self.registration.scope} `;
const cacheName = cachePrefix + build;
const hashHeader = 'X-Tarnwick-Sha256';

const hex = (digest) => Array.from(new Uint8Array(digest), (b) => b.toString(16).padStart(2, '0')).join('');

// A file with this hash kept for an earlier build, so that an update fetches only what changed.
async function keptCopy(name, hash) {
  for (const key of await caches.keys()) {
    if (key === cacheName || !key.startsWith(cachePrefix)) continue;
    const kept = await (await caches.open(key)).match(name);
    if (kept && kept.headers.get(hashHeader) === hash) return kept;
  }
  return null;
}

async function fetchChecked(name, hash) {
  // Asked of the server again (a 304 where the browser holds it already); where the browser's
  // copy is not this build's (a file replaced within the second of its date), fetched whole.
  for (const mode of ['no-cache', 'reload']) {
    const response = await fetch(name, { cache: mode });
    if (!response.ok) throw new Error(`${name}: ${response.status} ${response.statusText}`);
    const bytes = await response.arrayBuffer();
    if (hex(await crypto.subtle.digest('SHA-256', bytes)) !== hash) continue;
    const headers = new Headers(response.headers);
    headers.delete('Content-Encoding');  // the bytes are kept as the page reads them
    headers.set('Content-Length', String(bytes.byteLength));
    headers.set(hashHeader, hash);
    return new Response(bytes, { status: 200, statusText: 'OK', headers });
  }
  throw new Error(`${name} on the server is not of this build`);
}

self.addEventListener('install', (event) => {
  event.waitUntil((async () => {
    const cache = await caches.open(cacheName);
    await Promise.all(Object.entries(siteFiles).map(async ([name, hash]) => {
      const held = await cache.match(name);  // from an install cut short
      if (held && held.headers.get(hashHeader) === hash) return;
      await cache.put(name, (await keptCopy(name, hash)) || (await fetchChecked(name, hash)));
    }));
  })());
});

self.addEventListener('message', (event) => {
  if (event.data === 'take over') self.skipWaiting();
});

self.addEventListener('activate', (event) => {
  event.waitUntil((async () => {
    for (const key of await caches.keys()) {
      if (key !== cacheName && key.startsWith(cachePrefix)) await caches.delete(key);
    }
    await self.clients.claim();
  })());
});

self.addEventListener('fetch', (event) => {
  const request = event.request;
  if (request.method !== 'GET') return;
  const scope = new URL(self.registration.scope);
  const url = new URL(request.url);
  if (url.origin !== scope.origin || !url.pathname.startsWith(scope.pathname)) return;
  // The page by its folder's address too; a shared link's query (?ref=...) is not another page.
  let name = url.pathname.slice(scope.pathname.length);
  if (name === '' && request.mode === 'navigate') name = 'index.html';
  if (!Object.hasOwn(siteFiles, name)) return;
  event.respondWith((async () => {
    const kept = await (await caches.open(cacheName)).match(name);
    return kept || fetch(request);
  })());
});
