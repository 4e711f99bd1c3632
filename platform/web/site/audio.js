'use strict';
// The show's music through Web Audio: the wasm renders the module in chunks, and each chunk is
// scheduled as an AudioBufferSourceNode at its exact frame on the AudioContext's clock, a little
// ahead of time. Whatever the main thread does (a long frame, a hidden tab), the queued chunks
// play on gaplessly. A hidden tab's timers are slowed down, so the lead is longer there, and
// every chunk that ends tops the queue up as well.
window.tarnwickAudio = (function () {
  const rate = 44100;
  const chunkFrames = 2048;
  const visibleLead = 0.25;  // seconds scheduled ahead while the page is seen
  const hiddenLead = 1.0;    // and while hidden: the stamps of the stream reach 1.4 s back
  const poolSize = 40;       // buffers in turn, more than the longest lead holds

  let context = null;
  let output = null;
  let pool = [];
  let poolNext = 0;
  let left = null;
  let right = null;
  let running = false;
  let timer = 0;
  let firstFrame = 0;      // the context's frame at which stream frame 0 plays
  let framesQueued = 0;    // stream frames rendered and scheduled
  const sources = new Set();

  const audio = {
    onChunk: null,  // told of every chunk: (first stream frame, left, right)

    // Made in the Play click: browsers start sound only from a user's gesture.
    prepare() {
      const Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) return;
      try {
        context = new Context({ sampleRate: rate, latencyHint: 'interactive' });
      } catch (e) {
        console.error('No audio output: ' + e.message);
        context = null;
        return;
      }
      context.resume().catch(() => {});
      output = context.createGain();
      output.connect(context.destination);
    },

    context: () => context,
    output: () => output,
    startFrame: () => firstFrame,
    framesQueued: () => framesQueued,

    open() {
      return context !== null && context.sampleRate === rate;
    },

    start() {
      pool = [];
      for (let i = 0; i < poolSize; ++i) pool.push(context.createBuffer(2, chunkFrames, rate));
      left = new Float32Array(chunkFrames);
      right = new Float32Array(chunkFrames);
      firstFrame = Math.ceil((context.currentTime + 0.05) * rate);
      framesQueued = 0;
      running = true;
      timer = setInterval(audio.pump, 40);
      audio.pump();
    },

    stop() {
      running = false;
      clearInterval(timer);
      for (const source of sources) {
        source.onended = null;
        try { source.stop(); } catch (e) { /* never started */ }
      }
      sources.clear();
    },

    // Schedules chunks until the queue reaches the lead. After a stall longer than the lead the
    // stream is moved later, a short silence, rather than played late and out of step.
    pump() {
      if (!running) return;
      const now = context.currentTime;
      const lead = document.hidden ? hiddenLead : visibleLead;
      if ((firstFrame + framesQueued) / rate < now + 0.01) {
        firstFrame = Math.ceil((now + 0.02) * rate) - framesQueued;
      }
      while ((firstFrame + framesQueued) / rate < now + lead) queueChunk();
    },

    // The frame of the stream leaving the graph now: the output's own timestamp carried on to
    // this moment, or without one the clock less the output latency.
    heardFrame() {
      if (!context || !running) return 0;
      const stamp = context.getOutputTimestamp ? context.getOutputTimestamp() : null;
      let time;
      if (stamp && stamp.performanceTime > 0) {
        time = stamp.contextTime + (performance.now() - stamp.performanceTime) / 1000;
      } else {
        time = context.currentTime - (context.outputLatency || 0);
      }
      return time * rate - firstFrame;
    },
  };

  function queueChunk() {
    const at = Module._web_music_render(chunkFrames) >> 1;
    const samples = Module.HEAP16.subarray(at, at + 2 * chunkFrames);
    for (let i = 0; i < chunkFrames; ++i) {
      left[i] = samples[2 * i] / 32768;
      right[i] = samples[2 * i + 1] / 32768;
    }
    const buffer = pool[poolNext];
    poolNext = (poolNext + 1) % pool.length;
    buffer.copyToChannel(left, 0);
    buffer.copyToChannel(right, 1);
    const source = context.createBufferSource();
    source.buffer = buffer;
    source.connect(output);
    source.onended = () => {
      sources.delete(source);
      audio.pump();
    };
    source.start((firstFrame + framesQueued) / rate);
    sources.add(source);
    if (audio.onChunk) audio.onChunk(framesQueued, left, right);
    framesQueued += chunkFrames;
  }

  document.addEventListener('visibilitychange', () => audio.pump());
  return audio;
})();
