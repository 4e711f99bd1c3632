'use strict';
// The show's music through Web Audio: the wasm renders the module in chunks, and each chunk is
// scheduled as an AudioBufferSourceNode at its exact frame on the AudioContext's clock, a little
// ahead of time. Whatever the main thread does (a long frame, a hidden tab), the queued chunks
// play on gaplessly. A hidden tab's timers are slowed down, so the lead is longer there, and
// every chunk that ends tops the queue up as well.
//
// A context that does not run (no sound server: the browser keeps it suspended) or stops running
// is a lost device to the module player, which plays on silently on the page's clock and asks
// again every 2 s; a context that runs again takes the stream from where the silence is.
//
// A phone suspends or interrupts the context by itself for a call, Siri, an alarm or another
// app's sound. While the show plays, the page asks the context to run again at once, whenever the
// page is shown again and at any tap (a phone may start sound only in a gesture), and says on its
// line that the sound is paused; the moment the context runs, the player takes it up again. At
// the show's end the context is closed, which lets a phone end the page's audio session.
//
// The output latency is read only just after the context's clock has stepped, once it has played a
// second, and again every 2 s. Firefox asks the server once and keeps that answer, for its output
// timestamp too: asked at a random moment it misses the sound queued since the last callback, up
// to a callback's worth, and in a stream's first moments, before the server's buffers have filled,
// far more. Just after a step, what was just queued is all in the answer.
//
// The stream is 44100 Hz. A context that runs at another rate (a phone's hardware rate, where the
// browser does not take the rate asked for) gets chunks resampled here, at its own rate, each a
// whole number of its frames long and starting on one, so that they join exactly: a browser
// resampling buffer by buffer adds or drops a frame at some joins, as its read position, a sum
// of inexact steps, lands just short of a buffer's end or past it. Times are reckoned in seconds
// of the context's clock, which mean the same at any rate.
window.tarnwickAudio = (function () {
  const rate = 44100;       // the stream's
  let chunkFrames = 2048;   // stream frames per chunk
  let step = 1;             // stream frames that last a whole number of the context's frames
  let bufferRate = rate;    // the chunks' buffers: the context's rate, or the stream's where
  let bufferFrames = 2048;  // no small step joins the two (the browser resamples those itself)
  let lag = 0;              // stream frames the sound plays after its schedule: 1 where resampled
  let beforeLeft = 0;       // the stream frame before the chunk, which resampling leans on
  let beforeRight = 0;
  const visibleLead = 0.25;  // seconds scheduled ahead while the page is seen
  const hiddenLead = 1.0;    // and while hidden: the stamps of the stream reach 1.4 s back
  const poolSize = 40;       // buffers in turn, more than the longest lead holds

  let context = null;
  let output = null;
  let pool = [];
  let poolNext = 0;
  let left = null;          // a chunk of the stream
  let right = null;
  let bufferLeft = null;    // and as its buffer holds it
  let bufferRight = null;
  let running = false;
  let timer = 0;
  let firstFrame = 0;      // the context's frame at which stream frame 0 plays
  let framesQueued = 0;    // stream frames rendered and scheduled
  let takenUpAt = 0;       // the stream frame it was started or moved at
  let everStarted = false;
  let startedAt = 0;       // performance.now() of the first start
  let lost = false;        // the context stopped running, or did not start in time
  let clockSeen = -1;      // the context's time when last seen to change, and when (ms)
  let clockSeenAt = 0;
  let clockStep = 50;      // ms the context's time moved at its last step: a device callback's
  const staleClock = 100;  // ms without a step: a clock not kept up to date, in a running context
  const startGrace = 2000; // ms a fresh context may take to start running
  let latency = null;      // the output latency as last read on a step of the clock (s)
  const latencySettle = 1.0;   // seconds of the context's clock before the first reading
  const latencyEvery = 2000;   // ms between readings
  const stepWait = 50;         // ms to wait for a step before reading anyway
  let ranOnce = false;      // the context has run: stopping now is a pause, not a missing output
  let closed = false;      // the show has ended
  const stamps = recentShare(0.5);  // the output stamps' context time less performance time, s
  const stampGaps = recentShare(0.5);  // the clock less the stamps' context time, as taken, s
  // The render head's, as the polls see its steps: seen late, never early, so never ahead of the
  // true head; the upper quartile of the last second's is nearest it.
  const heads = recentShare(0.75);
  let stampLatest = -1;    // performance time of the latest stamp taken, ms
  const stampFarBehind = 2.0;  // s behind the clock: no output is that late; a stamp gone wrong
  const quantum = 128;         // frames the context renders at a time
  const ticks = new MessageChannel();
  let tickClock = -1;
  let tickUntil = 0;
  const sources = new Set();

  const audio = {
    onChunk: null,   // told of every chunk: (first stream frame, left, right)
    onOutput: null,  // told when the sound output is lost (false, and whether it had played) and back (true)

    // Made and resumed in the Play tap: browsers start sound only from a user's gesture. Where the
    // page has an audio session (Safari) it plays back, so that a phone's ringer switch does not
    // mute it.
    prepare() {
      const Context = window.AudioContext || window.webkitAudioContext;
      if (!Context) return;
      if (navigator.audioSession) {
        try {
          navigator.audioSession.type = 'playback';
        } catch (e) { /* the music plays all the same */ }
      }
      context = makeContext(Context);
      if (context === null) return;
      ({ step, chunkFrames, bufferRate, bufferFrames } = chunking(context.sampleRate));
      lag = bufferRate === rate ? 0 : 1;
      context.resume().catch(() => {});
      context.addEventListener('statechange', stateChanged);
      output = context.createGain();
      output.connect(context.destination);
      ticks.port1.onmessage = watchClockStep;
      setTimeout(readLatencySoon, 100);
    },

    context: () => context,
    output: () => output,
    startFrame: () => firstFrame,
    takenUpFrame: () => takenUpAt,
    framesQueued: () => framesQueued,

    // 0: ready; 1: no Web Audio; 2: not running (a fresh context may start later).
    open() {
      if (context === null) return 1;
      if (context.state === 'running' || !everStarted) return 0;
      askToRun();
      return 2;
    },

    // Stream frame `first` plays a moment from now; the frames before it were heard or passed.
    start(first) {
      pool = [];
      for (let i = 0; i < poolSize; ++i) pool.push(context.createBuffer(2, bufferFrames, bufferRate));
      left = new Float32Array(chunkFrames);
      right = new Float32Array(chunkFrames);
      bufferLeft = lag ? new Float32Array(bufferFrames) : left;
      bufferRight = lag ? new Float32Array(bufferFrames) : right;
      beforeLeft = 0;
      beforeRight = 0;
      framesQueued = first;
      takenUpAt = first;
      firstFrame = frameOnClock(context.currentTime + 0.05) - framesQueued;
      running = true;
      if (!everStarted) startedAt = performance.now();
      everStarted = true;
      if (lost && audio.onOutput) audio.onOutput(true);
      lost = false;
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

    // The show has ended: the context goes, and with it a phone's audio session.
    close() {
      audio.stop();
      closed = true;
      if (context && context.state !== 'closed') context.close().catch(() => {});
    },

    // Schedules chunks until the queue reaches the lead. After a stall longer than the lead the
    // stream is moved later, a short silence, rather than played late and out of step.
    pump() {
      if (!running) return;
      const now = context.currentTime;
      const lead = document.hidden ? hiddenLead : visibleLead;
      if ((firstFrame + framesQueued) / rate < now + 0.01) {
        // Firefox's clock is the main thread's copy: after a long task it stands where it was
        // until the audio thread's news is read, and a stream moved by it would start in the
        // past, late. It is moved on a clock seen moving.
        if (seeClock(performance.now(), now) > staleClock) return;
        firstFrame = frameOnClock(now + 0.02) - framesQueued;
        takenUpAt = framesQueued;
      }
      while ((firstFrame + framesQueued) / rate < now + lead) queueChunk();
    },

    // Whether the listener hears the context: it runs, or it is fresh and may yet start.
    outputHeard() {
      if (!context || !running) return false;
      if (context.state === 'running') ranOnce = true;
      const heard = context.state === 'running' || (performance.now() - startedAt < startGrace && !lost);
      if (!heard && !lost) {
        lost = true;
        if (audio.onOutput) audio.onOutput(false, ranOnce);
      }
      return heard;
    },

    // The context's time heard now. What the engines report means something else in each:
    // - Chromium stamps the context time leaving its output at its latest device callback, the
    //   output's delay taken off: what is heard, but now and then a stamp lands 20 to 40 ms off.
    //   Its clock less `outputLatency` leaves out its own FIFO: later than what is heard.
    // - WebKit on Apple platforms (Safari, every browser on an iPhone) stamps the render head, at
    //   the host time of the render: nothing of the output's delay taken off. Its `outputLatency`
    //   (Safari 18.4 on) is the route's alone (a Bluetooth or AirPlay link), 0 until the context
    //   plays; it leaves out the IO buffer, `baseLatency`, and the ring from the audio process to
    //   the page, here taken as one render quantum. Before 18.4 there is no `outputLatency`, and
    //   nothing tells the output's delay. Before early 2024 it divided the stamp by the rate twice:
    //   a context time that barely moves.
    // - Firefox stamps its clock less its latency, dated that latency ago: carried on, its clock.
    //   Its clock less `outputLatency` is what is heard.
    // - WebKitGTK dates its stamps a context time ahead, and says 0 for `outputLatency`.
    // So neither the stamp carried on nor the clock less latency is ever earlier than what is
    // heard, and the earlier of the two is taken. The stamps' offset from the performance clock is
    // the median of the last second's, so that one stamp off moves nothing, and the clock's the
    // upper quartile, as a step is only ever seen late; a stamp dated ahead of now, ahead of the
    // clock or far behind it, or whose context time runs slow, is set aside. A fresh stamp on the
    // render head is WebKit's: there the IO buffer and ring come off the clock too. It is told by
    // its context time against the clock read with it: WebKit's trails the clock by the render
    // just done (a clock step, or the IO buffer), every other engine's by the whole output's delay.
    outputTime() {
      const now = performance.now();
      const clock = context.currentTime;
      seeClock(now, clock);
      if (latency === null) latency = context.outputLatency || 0;
      // The render head carried on from when a poll saw it step, at most to its next step; it
      // steps a device callback at a time, seen a poll late.
      heads.add(now, clock + Math.min(now - clockSeenAt, clockStep) / 1000 - now / 1000);
      const head = now / 1000 + heads.value(now);
      const byStamp = stampHeard(now, clock, head);
      const ioBuffer = context.baseLatency || 0;
      const ring = quantum / context.sampleRate;
      const renderJustDone = Math.max(clockStep / 1000, ioBuffer) + ring;
      const stampOnHead = stampGaps.value(now) <= renderJustDone + 0.001 && now - stampLatest < Math.max(20, 500 * latency);
      return Math.min(byStamp, head - latency - (stampOnHead ? ioBuffer + ring : 0));
    },

    // The frame of the stream heard now. Where the stream has run dry, or has been taken up again
    // and is not yet heard, the frame where it stands: none beyond it was heard.
    heardFrame() {
      if (!context || !running) return 0;
      const frame = audio.outputTime() * rate - firstFrame - lag;
      return Math.min(Math.max(frame, takenUpAt), framesQueued);
    },
  };

  // Notes when the context's clock was last seen to move; the ms since.
  function seeClock(now, clock) {
    if (clock !== clockSeen) {
      if (clock > clockSeen && clockSeen >= 0) clockStep = Math.min(50, (clock - clockSeen) * 1000);
      clockSeen = clock;
      clockSeenAt = now;
    }
    return now - clockSeenAt;
  }

  // The output timestamp carried on to now, from the median offset of the last second's stamps;
  // Infinity where there is none to trust.
  function stampHeard(now, clock, head) {
    const stamp = context.getOutputTimestamp ? context.getOutputTimestamp() : null;
    const read = performance.now();  // a stamp dated at the call is not one ahead of now
    if (stamp && stamp.performanceTime > 0 && stamp.performanceTime <= read && stamp.performanceTime !== stampLatest) {
      const carried = stamp.contextTime + (now - stamp.performanceTime) / 1000;
      if (carried <= head + headSlack() && carried > head - stampFarBehind) {
        stamps.add(stamp.performanceTime, stamp.contextTime - stamp.performanceTime / 1000);
        stampGaps.add(stamp.performanceTime, clock - stamp.contextTime);
        stampLatest = stamp.performanceTime;
      }
    }
    // A context time that moves at half the pace of the performance clock is no clock.
    if (stamps.drift(now) < -0.5) return Infinity;
    return now / 1000 + stamps.value(now);
  }

  // Values of the last second, each with its time (ms): the one SHARE of them lie at or below
  // (0.5: their median; Infinity without any), and how fast they drift, seconds a second from the
  // oldest to the newest (0 over too short a while).
  function recentShare(share) {
    const slots = 128;  // more than a second's worth at any poll rate a browser keeps
    const keep = 1000;   // ms
    const values = new Float64Array(slots);
    const times = new Float64Array(slots);
    const sorted = new Float64Array(slots);
    let next = 0;
    let count = 0;
    const settle = 5;   // values in a row that make a change
    const newest = () => (next - 1 + slots) % slots;
    const shareOf = (kept) => {
      for (let i = 0; i < kept; ++i) sorted[i] = values[(next - 1 - i + slots) % slots];
      sorted.fill(Infinity, kept).sort();
      return sorted[Math.min(kept - 1, Math.floor(kept * share))];
    };
    const oldest = () => (next - count + slots) % slots;
    // The newest value stands in for a while where none came since (a browser's stamps pause
    // now and then): a moment without one must not move the estimate.
    const prune = (now) => {
      while (count > 1 && times[oldest()] < now - keep) count -= 1;
      if (count === 1 && times[newest()] < now - 5 * keep) count = 0;
    };
    return {
      add(time, value) {
        values[next] = value;
        times[next] = time;
        next = (next + 1) % slots;
        count = Math.min(count + 1, slots);
      },
      value(now) {
        prune(now);
        if (count === 0) return Infinity;
        // The newest few agreeing with each other far from the rest is a real change (the output
        // dropped out and plays later now): the older ones go.
        if (count > settle) {
          let low = Infinity;
          let high = -Infinity;
          for (let i = 1; i <= settle; ++i) {
            low = Math.min(low, values[(next - i + slots) % slots]);
            high = Math.max(high, values[(next - i + slots) % slots]);
          }
          const middle = (low + high) / 2;
          if (high - low < 0.005 && Math.abs(middle - shareOf(count)) > 0.015) count = settle;
        }
        return shareOf(count);
      },
      drift(now) {
        prune(now);
        const span = count > 1 ? times[newest()] - times[oldest()] : 0;
        return span > 200 ? ((values[newest()] - values[oldest()]) * 1000) / span : 0;
      },
    };
  }

  // How far ahead of the clock seen a render head may lie: a render quantum, and the time the
  // clock is carried on from the poll that saw it step.
  function headSlack() {
    return quantum / context.sampleRate + 0.005;
  }

  // The show plays and the context does not run: it is asked to again. Never where it was
  // closed, and not before the show is played.
  function askToRun() {
    if (!context || closed || context.state === 'running' || context.state === 'closed') return;
    context.resume().catch(() => {});
  }

  // Suspended or interrupted from outside: asked to run again at once. Running again after the
  // player took it for lost: the player is told, so that the music is back at its next poll.
  function stateChanged() {
    if (context.state === 'running') {
      ranOnce = true;
      if (lost && !closed) Module._web_music_output_back();
      return;
    }
    askToRun();
  }

  // Asks for the stream's rate, so that nothing is resampled; a browser that refuses to run at it
  // runs at its own.
  function makeContext(Context) {
    try {
      return new Context({ sampleRate: rate, latencyHint: 'interactive' });
    } catch (e) {
      try {
        return new Context({ latencyHint: 'interactive' });
      } catch (again) {
        console.error('No audio output: ' + again.message);
        return null;
      }
    }
  }

  // Chunks of about 2048 stream frames that are whole numbers of the context's frames too: 2058
  // (2240 of 48000 Hz), say. A rate sharing no such small step with 44100 Hz keeps 2048 frames at
  // 44100 Hz.
  function chunking(contextRate) {
    const gcd = (a, b) => (b === 0 ? a : gcd(b, a % b));
    const whole = rate / gcd(rate, contextRate);
    if (!Number.isInteger(contextRate) || whole > 4096) {
      return { step: 1, chunkFrames: 2048, bufferRate: rate, bufferFrames: 2048 };
    }
    const frames = Math.max(1, Math.round(2048 / whole)) * whole;
    return { step: whole, chunkFrames: frames, bufferRate: contextRate, bufferFrames: frames * contextRate / rate };
  }

  // The chunk at the buffer's rate, a straight line between stream frames, one stream frame late:
  // the buffer's last frames lean on the chunk's last frame, its first on the frame before it.
  function resample() {
    for (let j = 0; j < bufferFrames; ++j) {
      const at = (j * rate) / bufferRate - 1;
      const i = Math.floor(at);
      const f = at - i;
      const l = i < 0 ? beforeLeft : left[i];
      const r = i < 0 ? beforeRight : right[i];
      bufferLeft[j] = l + (left[i + 1] - l) * f;
      bufferRight[j] = r + (right[i + 1] - r) * f;
    }
    beforeLeft = left[chunkFrames - 1];
    beforeRight = right[chunkFrames - 1];
  }

  // The first stream-rate frame on the clock at or after a time that is also a frame of the context.
  function frameOnClock(seconds) {
    return Math.ceil(Math.ceil(seconds * rate) / step) * step;
  }

  // Waits, within a few clock steps, for the next one, then reads the latency.
  function readLatencySoon() {
    if (context.state !== 'running' || context.currentTime < latencySettle) {
      setTimeout(readLatencySoon, 100);
      return;
    }
    tickClock = -1;
    tickUntil = performance.now() + stepWait;
    ticks.port2.postMessage(0);
  }

  function watchClockStep() {
    const clock = context.currentTime;
    if ((tickClock >= 0 && clock !== tickClock) || performance.now() > tickUntil) {
      latency = context.outputLatency || 0;
      setTimeout(readLatencySoon, latencyEvery);
      return;
    }
    tickClock = clock;
    ticks.port2.postMessage(0);
  }

  function queueChunk() {
    const at = Module._web_music_render(chunkFrames) >> 1;
    const samples = Module.HEAP16.subarray(at, at + 2 * chunkFrames);
    for (let i = 0; i < chunkFrames; ++i) {
      left[i] = samples[2 * i] / 32768;
      right[i] = samples[2 * i + 1] / 32768;
    }
    if (lag) resample();
    const buffer = pool[poolNext];
    poolNext = (poolNext + 1) % pool.length;
    buffer.copyToChannel(bufferLeft, 0);
    buffer.copyToChannel(bufferRight, 1);
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

  document.addEventListener('visibilitychange', () => {
    if (!document.hidden) askToRun();
    audio.pump();
  });
  // Any tap or key is a gesture in which a phone lets the sound start again.
  for (const gesture of ['click', 'touchend', 'keydown']) window.addEventListener(gesture, askToRun, true);
  return audio;
})();
