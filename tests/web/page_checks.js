// An independent check of the position the show reports: an AudioWorklet taps what leaves the
// page's audio graph, the tapped sound is found in the stream the wasm rendered, and so each
// moment's true stream frame is known from the sound itself, not from the page's arithmetic.
// Runs inside the page: the tests add it with page.addScriptTag and call window.tarnwickCheck.
'use strict';
window.tarnwickCheck = (function () {
  // Installed right after Play: the tap behind the show's output, and a record of the rendered
  // stream with the position stamped on each slice of it.
  async function installTap(seconds) {
    const rate = 44100;
    const audio = Module.tarnwickAudio;
    const context = audio.context();
    const code = `
      class Tap extends AudioWorkletProcessor {
        constructor() { super(); this.block = new Float32Array(4096); this.fill = 0; this.first = 0; }
        process(inputs) {
          const input = inputs[0];
          if (this.fill === 0) this.first = currentFrame;
          const left = input.length ? input[0] : null;
          for (let i = 0; i < 128; ++i) this.block[this.fill + i] = left ? left[i] : 0;
          this.fill += 128;
          if (this.fill === this.block.length) {
            this.port.postMessage({ frame: this.first, left: this.block }, [this.block.buffer]);
            this.block = new Float32Array(4096);
            this.fill = 0;
          }
          return true;
        }
      }
      registerProcessor('tarnwick-tap', Tap);`;
    await context.audioWorklet.addModule(URL.createObjectURL(new Blob([code], { type: 'text/javascript' })));
    const tap = new AudioWorkletNode(context, 'tarnwick-tap', { numberOfOutputs: 1, outputChannelCount: [1] });
    const mute = context.createGain();
    mute.gain.value = 0;
    audio.output().connect(tap);
    tap.connect(mute);
    mute.connect(context.destination);
    const record = {
      blocks: [],
      stream: new Float32Array(rate * seconds),
      streamFrames: 0,
      stamps: new Uint32Array(Math.ceil(rate * seconds / 128)),
    };
    tap.port.onmessage = (event) => {
      if (record.blocks.length < seconds * rate / 4096) record.blocks.push(event.data);
    };
    audio.onChunk = (first, left) => {
      if (first + left.length > record.stream.length) return;
      record.stream.set(left, first);
      // A chunk starts on any frame once the stream was taken up again after a silence.
      for (let f = Math.ceil(first / 128) * 128; f < first + left.length; f += 128) record.stamps[f / 128] = Module._web_music_position_at(f);
      record.streamFrames = first + left.length;
    };
    window.tarnwickTap = record;
  }

  // The context's frame heard now, as the page reckons it from the browser's output timestamp
  // (the latency rig checks that reckoning against an output of real latency).
  function outputFrame() {
    return Module.tarnwickAudio.outputTime() * 44100;
  }

  // Samples the position the core reports, with the moment's output frame, for a while.
  async function samplePositions(milliseconds) {
    const samples = [];
    const end = performance.now() + milliseconds;
    while (performance.now() < end) {
      samples.push({ position: Module._web_music_position(), output: outputFrame(), takenUp: Module.tarnwickAudio.takenUpFrame() });
      await new Promise((resolve) => setTimeout(resolve, 23));
    }
    return samples;
  }

  // Where the tapped sound lies in the rendered stream: the context's time, in frames of 44100 Hz,
  // less the stream frame, one value per loud block found from a context frame (44100 Hz) on (all
  // equal where the stream plays gaplessly and exactly). A context at another rate hears the
  // stream resampled: there the tapped samples lie on straight lines between the stream's.
  // The music repeats itself sample for sample (a pattern played again), so a block may match at
  // several places: each block gives the offset most blocks agree on where it is among its own.
  function findOffsets(fromFrame = 0) {
    const record = window.tarnwickTap;
    const stream = record.stream;
    const step = 44100 / Module.tarnwickAudio.context().sampleRate;  // stream frames per tapped frame
    const tolerance = step === 1 ? 1e-6 : 1e-5;
    const at = (p) => {
      const i = Math.floor(p);
      const f = p - i;
      return f === 0 ? stream[i] : stream[i] + (stream[i + 1] - stream[i]) * f;
    };
    const candidates = [];
    for (let b = 0; b < record.blocks.length; b += 7) {
      const block = record.blocks[b];
      const first = block.frame * step;
      if (first < fromFrame) continue;
      let energy = 0;
      for (let i = 0; i < block.left.length; ++i) energy += block.left[i] * block.left[i];
      if (energy / block.left.length < 1e-5) continue;
      const fraction = first - Math.floor(first);
      const last = record.streamFrames - Math.ceil(block.left.length * step) - 2;
      const found = [];
      for (let s = 0; s <= last; ++s) {
        if (Math.abs(at(s + fraction) - block.left[0]) > tolerance || Math.abs(at(s + fraction + step) - block.left[1]) > tolerance) continue;
        let worst = 0;
        for (let i = 0; i < block.left.length && worst <= tolerance; ++i) worst = Math.max(worst, Math.abs(at(s + fraction + i * step) - block.left[i]));
        if (worst <= tolerance) found.push(Math.floor(first) - s);
      }
      if (found.length > 0) candidates.push(found);
    }
    const votes = new Map();
    for (const found of candidates) for (const offset of found) votes.set(offset, (votes.get(offset) || 0) + 1);
    // Where a whole span repeats, two offsets tie: the stream's own schedule tells which is heard.
    const scheduled = Module.tarnwickAudio.startFrame();
    let agreed = null;
    for (const [offset, count] of votes) {
      const best = agreed === null ? -1 : votes.get(agreed);
      if (count > best || (count === best && Math.abs(offset - scheduled) < Math.abs(agreed - scheduled))) agreed = offset;
    }
    return candidates.map((found) => (found.includes(agreed) ? agreed : found[0]));
  }

  // Judges the samples against the sound: each reported position must be one stamped within
  // 20 ms of the frame truly leaving the graph. The error of a sample is how far that frame lies
  // from the nearest slice stamped with the reported position.
  function judge(samples, offset) {
    const record = window.tarnwickTap;
    const window20 = Math.round(0.020 * 44100);
    const slices = Math.floor(record.streamFrames / 128);
    const errors = [];
    let judged = 0;
    let within = 0;
    for (const sample of samples) {
      // Reported as heard two and a quarter display periods on, half a period after the frame
      // drawn now is shown (60 Hz: the page does not know its display's rate).
      const truth = Math.floor(sample.output - offset) + Math.floor((44100 * 9) / (4 * 60));
      if (truth < 44100 || truth >= record.streamFrames - 44100) continue;
      // Taken up again (after a stall) and not heard yet: silence, where the stream stands.
      if (sample.output - offset < sample.takenUp) continue;
      judged += 1;
      const at = Math.floor(truth / 128);
      let best = Infinity;
      for (let d = 0; d < 2 * 44100 / 128 && best === Infinity; ++d) {
        for (const slice of [at - d, at + d]) {
          if (slice < 0 || slice >= slices || record.stamps[slice] !== sample.position) continue;
          const start = slice * 128;
          const distance = truth < start ? start - truth : truth >= start + 128 ? truth - start - 127 : 0;
          best = Math.min(best, distance);
        }
      }
      errors.push(best === Infinity ? Infinity : best / 44.1);
      if (best <= window20) within += 1;
    }
    errors.sort((a, b) => a - b);
    return {
      judged,
      within,
      medianMs: errors.length ? errors[Math.floor(errors.length / 2)] : NaN,
      worstMs: errors.length ? errors[errors.length - 1] : NaN,
    };
  }

  // Canvas pixels against the frame of the latest flip through its palette, and that palette
  // against the show's 6-bit one: mismatching pixels and entries.
  function canvasMatches() {
    const canvas = document.getElementById('screen');
    const shown = canvas.getContext('2d').getImageData(0, 0, 320, 200).data;
    const heap = Module.HEAPU8;
    const pixels = Module._web_shown_pixels();
    const palette = Module._web_shown_palette();
    const fade = Module._web_fade_output();
    let pixelsWrong = 0;
    let entriesWrong = 0;
    let lit = 0;
    for (let i = 0; i < 64000; ++i) {
      const entry = palette + 4 * heap[pixels + i];
      const rgb = [heap[entry], heap[entry + 1], heap[entry + 2]];
      if (shown[4 * i] !== rgb[0] || shown[4 * i + 1] !== rgb[1] || shown[4 * i + 2] !== rgb[2] || shown[4 * i + 3] !== 255) pixelsWrong += 1;
      if (rgb[0] + rgb[1] + rgb[2] > 0) lit += 1;
    }
    for (let i = 0; i < 256; ++i) {
      for (let c = 0; c < 3; ++c) if (heap[palette + 4 * i + c] !== heap[fade + 3 * i + c] << 2) entriesWrong += 1;
    }
    return { pixelsWrong, entriesWrong, lit };
  }

  // Flips of the show and animation frames of the browser over the same time.
  async function countFrames(milliseconds) {
    const stats = Module.tarnwickPage.stats;
    let frames = 0;
    let counting = true;
    const tick = () => {
      if (!counting) return;
      frames += 1;
      requestAnimationFrame(tick);
    };
    const firstFlips = stats.flips;
    requestAnimationFrame(tick);
    await new Promise((resolve) => setTimeout(resolve, milliseconds));
    counting = false;
    return { flips: stats.flips - firstFlips, frames };
  }

  // The loudest stretch the tap has heard, as a root mean square.
  function loudness() {
    let loudest = 0;
    for (const block of window.tarnwickTap.blocks) {
      let energy = 0;
      for (let i = 0; i < block.left.length; ++i) energy += block.left[i] * block.left[i];
      loudest = Math.max(loudest, Math.sqrt(energy / block.left.length));
    }
    return { loudest, blocks: window.tarnwickTap.blocks.length };
  }

  return { installTap, samplePositions, findOffsets, judge, canvasMatches, countFrames, loudness };
})();
