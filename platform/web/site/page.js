'use strict';
// The page around the show: loads its files with a percentage, offers Play, passes keys and
// activation to the show as window messages, puts its frames on the canvas, and shows how the
// show ended. The browser's console stands in for standard output and standard error.
(function () {
  const message = { activate: 0, keyDown: 1 };
  const keyEscape = 27;
  const files = ['tarnwick.wasm', 'tarnwick.dat', 'tarnwick.it'];

  const canvas = document.getElementById('screen');
  const status = document.getElementById('status');
  const line = document.getElementById('line');
  const play = document.getElementById('play');
  const again = document.getElementById('again');
  const popup = document.getElementById('popup');
  const close = document.getElementById('close');
  const wakeLock = window.tarnwickWakeLock;

  let context2d = null;
  let image = null;
  let started = false;
  let scene = 0;
  const queue = [];
  let wake = null;
  const errorLines = [];

  // What the page's tests and measurements read: the script's log, the frame times.
  const statsSize = 1 << 15;
  const stats = {
    flips: 0,
    count: 0,
    work: new Float64Array(statsSize),  // ms the wasm worked between two flips
    scene: new Uint8Array(statsSize),
    lastResume: 0,
  };

  function say(text, isError) {
    line.textContent = text;
    line.className = isError ? 'error' : '';
  }

  // The sound output lost or back, on the page and the console. An output that played and stopped
  // was paused by the system (a call, another app's sound) or the browser.
  const notice = document.getElementById('notice');
  const silentText = 'No sound output: playing silently';
  const pausedText = 'Sound paused: tap to resume';
  window.tarnwickAudio.onOutput = (running, played) => {
    const text = running ? '' : played ? pausedText : silentText;
    notice.hidden = running || !started;
    notice.textContent = text;
    console.warn(running ? 'Sound output back' : text);
  };

  function post(kind, param) {
    if (!started) return;
    queue.push([kind, param]);
    if (wake) {
      const resolve = wake;
      wake = null;
      resolve();
    }
  }

  function active() {
    return document.visibilityState === 'visible' && document.hasFocus() ? 1 : 0;
  }

  let escapeAt = -Infinity;      // when the show last had the Escape key
  let activationAt = -Infinity;  // when the page was last hidden, shown, blurred or focused

  document.addEventListener('keydown', (event) => {
    if (!started) return;
    const code = event.key === 'Escape' ? keyEscape : event.keyCode;
    if (code === keyEscape) {
      event.preventDefault();
      escapeAt = performance.now();
    }
    post(message.keyDown, code);
  });
  document.addEventListener('visibilitychange', () => {
    activationAt = performance.now();
    post(message.activate, active());
  });
  window.addEventListener('blur', () => {
    activationAt = performance.now();
    post(message.activate, 0);
  });
  window.addEventListener('focus', () => {
    activationAt = performance.now();
    post(message.activate, active());
  });

  // A browser without a keyboard lock keeps Escape for itself in full screen and only leaves
  // it: full screen left while the show plays is then the viewer's Escape. The other ways out the
  // page knows of are a hidden page and lost focus: browsers leave full screen just before or
  // after those events, or when the page is shown again, so a change of activation shortly
  // before or after is the reason instead. The page's own exit comes after the show has ended.
  const activationBefore = 500;  // ms
  const activationAfter = 150;   // ms
  // An iPad's Safari before 16.4 offers full screen only under its prefixed names.
  const fullscreenElement = () => document.fullscreenElement || document.webkitFullscreenElement || null;
  const fullscreenLeft = () => {
    if (fullscreenElement() || !started) return;
    const left = performance.now();
    setTimeout(() => {
      if (!started || active() === 0) return;
      if (activationAt > left - activationBefore) return;
      if (left - escapeAt < 1000) return;  // the key itself came through
      escapeAt = left;
      post(message.keyDown, keyEscape);
    }, activationAfter);
  };
  document.addEventListener('onfullscreenchange' in document ? 'fullscreenchange' : 'webkitfullscreenchange', fullscreenLeft);

  // A phone has no Escape key: a tap (or click) on the picture shows a close control for a few
  // seconds, in a corner over the picture only where the screen has no room beside it, and a tap
  // on it ends the show as Escape does.
  const closeShown = 3000;  // ms
  let closeTimer = 0;
  canvas.addEventListener('click', () => {
    if (!started) return;
    close.hidden = false;
    clearTimeout(closeTimer);
    closeTimer = setTimeout(() => { close.hidden = true; }, closeShown);
  });
  close.addEventListener('click', () => {
    close.hidden = true;
    escapeAt = performance.now();
    post(message.keyDown, keyEscape);
  });

  const page = {
    log: [],
    stats,
    errorLines,

    takeMessage() {
      return queue.length ? queue.shift() : null;
    },

    nextMessage(timeoutMs) {
      if (queue.length) return Promise.resolve();
      return new Promise((resolve) => {
        wake = resolve;
        if (timeoutMs >= 0) {
          setTimeout(() => {
            if (wake === resolve) wake = null;
            resolve();
          }, timeoutMs);
        }
      });
    },

    windowShown(title) {
      document.title = title;
      canvas.style.display = 'block';
    },

    showCursor(shown) {
      canvas.style.cursor = shown ? 'default' : 'none';
    },

    messageBox(title, text) {
      console.error(title + ': ' + text);
      document.getElementById('popup-title').textContent = title;
      document.getElementById('popup-text').textContent = text;
      return new Promise((resolve) => {
        popup.addEventListener('close', () => resolve(), { once: true });
        popup.showModal();
      });
    },

    openCanvas(width, height) {
      canvas.width = width;
      canvas.height = height;
      context2d = canvas.getContext('2d', { alpha: false });
      if (!context2d) return false;
      image = context2d.createImageData(width, height);
      return true;
    },

    // Puts the picture on the canvas now and lets the show go on at the next animation frame,
    // the browser's vertical blank. A hidden page gets no animation frames: a timer stands in.
    showFrame(pixels) {
      const now = performance.now();
      if (stats.lastResume > 0) {
        const at = stats.count % statsSize;
        stats.work[at] = now - stats.lastResume;
        stats.scene[at] = scene;
        stats.count += 1;
      }
      image.data.set(pixels);
      context2d.putImageData(image, 0, 0);
      stats.flips += 1;
      return new Promise((resolve) => {
        let done = false;
        const next = () => {
          if (done) return;
          done = true;
          window.tarnwickAudio.pump();
          stats.lastResume = performance.now();
          resolve();
        };
        requestAnimationFrame(next);
        setTimeout(next, document.hidden ? 0 : 250);
      });
    },

    scriptLine(text) {
      page.log.push(text);
      const switched = /^scene (\d+) /.exec(text);
      if (switched) scene = Number(switched[1]);
    },

    showEnded(exitCode) {
      started = false;
      notice.hidden = true;
      close.hidden = true;
      window.tarnwickAudio.close();
      wakeLock.release();
      canvas.style.display = 'none';
      leaveFullscreen();
      if (exitCode === 0) {
        say('The show has ended.');
      } else {
        say(errorLines.length ? errorLines.join('\n') : 'The show stopped with an error.', true);
      }
      status.hidden = false;
      again.hidden = false;
      page.ended = true;
    },
  };

  // Standard output and error come byte by byte; a line goes to the console at its end, or
  // when nothing more follows at once (the archive's dots have no line end of their own).
  function consoleStream(show) {
    let text = '';
    let pending = false;
    const flush = () => {
      pending = false;
      if (text) show(text);
      text = '';
    };
    return (code) => {
      if (code === null || code === 10) {
        flush();
        return;
      }
      text += String.fromCharCode(code);
      if (!pending) {
        pending = true;
        setTimeout(flush, 0);
      }
    };
  }

  window.Module = {
    tarnwickPage: page,
    tarnwickAudio: window.tarnwickAudio,
    stdout: consoleStream((text) => console.log(text)),
    stderr: consoleStream((text) => {
      errorLines.push(text);
      console.error(text);
    }),
    onRuntimeInitialized: null,
  };

  // Reads one response, counting its bytes as they come.
  async function readCounted(response, progress) {
    const reader = response.body.getReader();
    const parts = [];
    let size = 0;
    for (;;) {
      const { done, value } = await reader.read();
      if (done) break;
      parts.push(value);
      size += value.length;
      progress.loaded += value.length;
      progress.show();
    }
    const bytes = new Uint8Array(size);
    let at = 0;
    for (const part of parts) {
      bytes.set(part, at);
      at += part.length;
    }
    return bytes;
  }

  function loadScript(src) {
    return new Promise((resolve, reject) => {
      const script = document.createElement('script');
      script.src = src;
      script.onload = resolve;
      script.onerror = () => reject(new Error('cannot load ' + src));
      document.body.appendChild(script);
    });
  }

  async function load() {
    const progress = {
      loaded: 0,
      total: 0,
      show() {
        const percent = progress.total ? Math.min(100, Math.floor(100 * progress.loaded / progress.total)) : 0;
        say('Loading ' + percent + '%');
      },
    };
    // Every size first, so that the percentage counts all the files from the start; a file
    // the server does not have is left out (the show reports missing data itself).
    const responses = await Promise.all(files.map((name) => fetch(name)));
    for (const response of responses) {
      if (response.ok) progress.total += Number(response.headers.get('Content-Length')) || 0;
    }
    const loaded = await Promise.all(responses.map((response) => (response.ok ? readCounted(response, progress) : null)));
    if (!loaded[0]) throw new Error('tarnwick.wasm is missing on the server');
    Module.wasmBinary = loaded[0].buffer;
    const ready = new Promise((resolve) => { Module.onRuntimeInitialized = resolve; });
    await loadScript('tarnwick.js');
    await ready;
    // The data the show reads from its current folder; a missing file is the show's to report.
    for (let i = 1; i < files.length; ++i) {
      if (loaded[i]) Module.FS.writeFile(files[i], loaded[i]);
    }
    say('');
    play.hidden = false;
    play.focus();
    keepOffline();
  }

  // The site kept for visits without a network (service_worker.js), once this page has all it
  // needs; the server asked for a newer build, which takes over now, for the next visit.
  function keepOffline() {
    if (!navigator.serviceWorker) return;  // only over https, or from this machine
    navigator.serviceWorker.register('service_worker.js').then((registration) => {
      const takeOver = () => { if (registration.waiting) registration.waiting.postMessage('take over'); };
      const watch = (worker) => { if (worker) worker.addEventListener('statechange', takeOver); };
      takeOver();
      watch(registration.installing);
      registration.addEventListener('updatefound', () => watch(registration.installing));
      if (registration.active) registration.update().catch(() => {});  // none without a network
    }).catch((error) => console.warn('Not kept for offline: ' + error.message));
  }

  // Full screen where the browser offers it (not on an iPhone); the show plays as well without.
  function enterFullscreen() {
    const root = document.documentElement;
    const lockEscape = () => {
      // In full screen Escape would only leave it; the show wants the key.
      if (navigator.keyboard && navigator.keyboard.lock) navigator.keyboard.lock(['Escape']).catch(() => {});
    };
    if (root.requestFullscreen) {
      root.requestFullscreen().then(lockEscape).catch(() => {});
    } else if (root.webkitRequestFullscreen) {
      root.webkitRequestFullscreen();
    }
  }

  function leaveFullscreen() {
    if (document.fullscreenElement && document.exitFullscreen) {
      document.exitFullscreen().catch(() => {});
    } else if (document.webkitFullscreenElement && document.webkitExitFullscreen) {
      document.webkitExitFullscreen();
    }
  }

  // Everything that needs the viewer's gesture happens in the Play tap itself.
  play.addEventListener('click', () => {
    play.hidden = true;
    status.hidden = true;  // its empty line would take the taps across the picture's middle
    window.tarnwickAudio.prepare();
    wakeLock.hold();
    enterFullscreen();
    started = true;
    Module.callMain([]);
  });

  // Playing again starts from a fresh page: the show's start-up runs once per page.
  again.addEventListener('click', () => location.reload());

  load().catch((error) => {
    console.error(error.message);
    say('Cannot load the show: ' + error.message, true);
  });
})();
