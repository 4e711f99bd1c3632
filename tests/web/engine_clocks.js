// Run in Chromium before the page's scripts, for the latency rig: the AudioContext's output
// timestamp and outputLatency rewritten as another engine computes them, from this Chromium's
// true values. window.tarnwickEngineModel (set just before) names the engine:
//   chromium   as it is
//   webkit     WebKit on Apple platforms, Safari 18.4 on: the render head stamped at the call;
//              outputLatency the route's alone, here the true delay less 10 ms, and 0 until the
//              context has played half a second
//   safari-17  the same stamp, and no outputLatency at all
//   firefox    the clock less the latency, dated that latency ago; outputLatency the true delay
//   webkitgtk  stamps dated a context time ahead, outputLatency 0
// The true delay, from the render head to what is heard, is the 90th percentile of the last 256
// readings (about 2.5 s) of the context's time less Chromium's own stamp carried on: the context's
// time steps a device callback at a time, so a reading is short of the head by up to a callback,
// never over, and the percentile keeps Chromium's stamps that jitter from reaching the model. Over
// fewer readings or at the upper quartile it moved by 10 ms from one reading to the next.
'use strict';
(function () {
  const model = window.tarnwickEngineModel || 'chromium';
  if (model === 'chromium') return;
  const proto = AudioContext.prototype;
  const realStamp = proto.getOutputTimestamp;
  const delays = new Float64Array(256);
  let count = 0;
  let next = 0;

  function trueDelay(context) {
    const stamp = realStamp.call(context);
    const now = performance.now();
    if (stamp.performanceTime > 0 && stamp.performanceTime <= now) {
      delays[next] = context.currentTime - (stamp.contextTime + (now - stamp.performanceTime) / 1000);
      next = (next + 1) % delays.length;
      count = Math.min(count + 1, delays.length);
    }
    if (count === 0) return 0;
    const sorted = Array.from(delays.subarray(0, count)).sort((a, b) => a - b);
    return sorted[Math.floor(count * 0.9)];
  }

  const stamps = {
    webkit: (context, now) => ({ contextTime: context.currentTime, performanceTime: now }),
    firefox: (context, now) => {
      const delay = trueDelay(context);
      return { contextTime: Math.max(0, context.currentTime - delay), performanceTime: now - 1000 * delay };
    },
    webkitgtk: (context, now) => ({ contextTime: context.currentTime, performanceTime: now + 1000 * context.currentTime }),
  };
  stamps['safari-17'] = stamps.webkit;
  const latencies = {
    webkit: (context) => {
      const delay = trueDelay(context);
      return context.state !== 'running' || context.currentTime < 0.5 ? 0 : Math.max(0, delay - 0.010);
    },
    firefox: (context) => trueDelay(context),
    webkitgtk: () => 0,
  };
  if (!stamps[model]) throw new Error(`no engine model ${model}`);

  proto.getOutputTimestamp = function () {
    trueDelay(this);
    return stamps[model](this, performance.now());
  };
  if (model === 'safari-17') {
    delete proto.outputLatency;
    delete BaseAudioContext.prototype.outputLatency;
  } else {
    Object.defineProperty(proto, 'outputLatency', { configurable: true, get() { return latencies[model](this); } });
  }
})();
