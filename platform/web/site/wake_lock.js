'use strict';
// Keeps the screen on while the show plays: browsers keep the display awake for a playing video,
// not for a canvas with Web Audio. A browser releases the lock when its page is hidden, so the
// lock is asked for again whenever the page is shown while the show plays. A browser without the
// lock, or one that refuses it, leaves one line on the console, and the show plays on.
window.tarnwickWakeLock = (function () {
  let wanted = false;
  let lock = null;
  let asking = false;
  let said = false;

  function sayOnce(text) {
    if (said) return;
    said = true;
    console.info(text);
  }

  function request() {
    if (!wanted || lock || asking || document.visibilityState !== 'visible') return;
    if (!navigator.wakeLock) {
      sayOnce('Screen wake lock: not offered by this browser; the screen may go dark');
      return;
    }
    asking = true;
    navigator.wakeLock.request('screen').then((sentinel) => {
      asking = false;
      if (!wanted) {
        sentinel.release().catch(() => {});
        return;
      }
      lock = sentinel;
      sentinel.addEventListener('release', () => {
        if (lock === sentinel) lock = null;
      });
    }, (error) => {
      asking = false;
      sayOnce('Screen wake lock refused (' + error.message + '); the screen may go dark');
    });
  }

  document.addEventListener('visibilitychange', request);

  return {
    // In Play's gesture: some browsers grant the lock only from one.
    hold() {
      wanted = true;
      request();
    },
    release() {
      wanted = false;
      if (lock) lock.release().catch(() => {});
      lock = null;
    },
  };
})();
