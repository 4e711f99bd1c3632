// The core compiled to wasm draws the same frames as the native build: every case of the scene
// harness runs in tarnwick-render (native) and in tarnwick-frames (wasm, under node), from the
// same show data, and the 64000 bytes must be equal.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import crypto from 'node:crypto';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { describe, test, after } from 'node:test';

const nativeBin = path.resolve(process.env.TARNWICK_NATIVE_BIN || '../../build/bin');
const webBin = path.resolve(process.env.TARNWICK_WEB_BIN || '../../build-web/bin');
const scratch = fs.mkdtempSync(path.join(os.tmpdir(), 'tarnwick-frames-'));
after(() => fs.rmSync(scratch, { recursive: true, force: true }));

// Blocks of two levels crossed by a bright diagonal, and a sawtooth of every index: pictures
// for the scenes that start from the previous frame.
function writeStartFrames() {
  const blocks = new Uint8Array(64000);
  const ramp = new Uint8Array(64000);
  for (let y = 0; y < 200; ++y) {
    for (let x = 0; x < 320; ++x) {
      let v = ((x >> 4) + (y >> 4)) % 2 ? 180 : 40;
      if (x - y > 60 && x - y < 66) v = 250;
      blocks[y * 320 + x] = v;
      ramp[y * 320 + x] = (y * 320 + x) * 31 / 7 & 255;
    }
  }
  fs.writeFileSync(path.join(scratch, 'blocks.raw'), blocks);
  fs.writeFileSync(path.join(scratch, 'ramp.raw'), ramp);
}
writeStartFrames();

// scene, passes, ticks, and what else the case needs
const cases = [
  [0, 1, 1], [0, 200, 7], [0, 400, 5],
  [1, 1, 1], [1, 60, 2, '--beat-at', '10,59'], [1, 200, 3, '--beat-at', '7,100,196'],
  [2, 1, 1], [2, 60, 1], [2, 30, 2], [2, 20, 0],
  [3, 1, 0, '--start', 'blocks'], [3, 25, 1, '--start', 'blocks'], [3, 10, 3, '--start', 'ramp'],
  [4, 1, 1], [4, 90, 2, '--beat-at', '3,40,89'], [4, 300, 4, '--beat-at', '150'],
  [5, 1, 0], [5, 3, 2], [5, 40, 3], [5, 120, 5, '--start', 'ramp'],
  [6, 2, 1], [6, 80, 5], [6, 1000, 5], [6, 1, 3, '--start', 'ramp'],
];

function harnessArgs(c, raw) {
  const [scene, passes, ticks, ...extra] = c;
  const args = ['--scene', String(scene), '--passes', String(passes), '--ticks', String(ticks), '--raw', raw];
  for (let i = 0; i < extra.length; i += 2) {
    args.push(extra[i], extra[i] === '--start' ? path.join(scratch, extra[i + 1] + '.raw') : extra[i + 1]);
  }
  return args;
}

function frameOf(command, args, raw) {
  execFileSync(command[0], [...command.slice(1), ...args], { cwd: nativeBin, stdio: ['ignore', 'ignore', 'pipe'] });
  const bytes = fs.readFileSync(raw);
  fs.rmSync(raw);
  return bytes;
}

const native = [path.join(nativeBin, 'tarnwick-render')];
const wasm = [process.execPath, '--no-experimental-fetch', path.join(webBin, 'tarnwick-frames.js')];

describe('the scene harness in wasm', () => {
  for (const c of cases) {
    test(`scene ${c.join(' ')}: the native frame`, () => {
      const nativeRaw = path.join(scratch, 'native.raw');
      const wasmRaw = path.join(scratch, 'wasm.raw');
      const expected = frameOf(native, harnessArgs(c, nativeRaw), nativeRaw);
      const got = frameOf(wasm, harnessArgs(c, wasmRaw), wasmRaw);
      assert.equal(expected.length, 64000);
      const hash = (b) => crypto.createHash('sha256').update(b).digest('hex').slice(0, 16);
      assert.equal(hash(got), hash(expected));
    });
  }

  test('a start frame of the wrong size fails in wasm as natively', () => {
    const short = path.join(scratch, 'short.raw');
    fs.writeFileSync(short, new Uint8Array(63999));
    const args = ['--scene', '3', '--passes', '1', '--ticks', '1', '--raw', path.join(scratch, 'x.raw'), '--start', short];
    for (const command of [native, wasm]) {
      assert.throws(() => execFileSync(command[0], [...command.slice(1), ...args], { cwd: nativeBin, stdio: 'pipe' }),
        (error) => error.status === 1 && /must hold exactly 64000 bytes/.test(String(error.stderr)));
    }
  });
});
