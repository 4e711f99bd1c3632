// A private X server for the suites that need a screen: Xvfb on the first free display.
import { spawn } from 'node:child_process';

// Resolves to [process, ':N'] once Xvfb says its display (-displayfd: it picks a free one, and
// nothing can take it meanwhile); `process.ended` settles when it exits. -noreset: a server
// resetting as its last client leaves drops a client connecting meanwhile.
export function startXvfb(size = '1024x768') {
  return new Promise((resolve, reject) => {
    const xvfb = spawn('Xvfb', ['-displayfd', '3', '-screen', '0', `${size}x24`, '-nolisten', 'tcp', '-noreset'],
      { stdio: ['ignore', 'ignore', 'pipe', 'pipe'] });
    xvfb.ended = new Promise((ended) => xvfb.once('exit', ended));
    let said = '';
    let errors = '';
    xvfb.stderr.on('data', (data) => { errors += data; });
    xvfb.stdio[3].on('data', (data) => {
      said += data;
      if (said.includes('\n')) resolve([xvfb, ':' + said.trim()]);
    });
    xvfb.on('error', (error) => reject(new Error(`Xvfb cannot start: ${error.message}`)));
    xvfb.on('exit', (code) => reject(new Error(`Xvfb exited (${code}) before giving a display: ${errors.trim()}`)));
  });
}
