// Timers the browser does not stretch.  A setTimeout nested deeper than five
// levels waits at least 4 ms and a hidden tab's waits at least a second,
// which would add seconds to a transfer of a few hundred frames paced 1 ms
// apart.  Short waits therefore run on message-channel tasks, which neither
// clamp applies to, checking the clock on each; long waits (a reply's time
// limit, which only matters when the reply is missing) use setTimeout.

const kShortWait = 50;  // ms; up to this, the message channel
const channel = new MessageChannel();
const waiting = new Map<number, { deadline: number; run: () => void }>();
let nextId = 1;

function tick(): void {
  const now = performance.now();
  for (const [id, wait] of waiting) {
    if (wait.deadline > now) continue;
    waiting.delete(id);
    wait.run();
  }
  if (waiting.size > 0) channel.port2.postMessage(0);
}
channel.port1.onmessage = tick;

// Runs `run` after `ms` milliseconds; the answer cancels it.
export function after(ms: number, run: () => void): () => void {
  if (ms > kShortWait) {
    const timer = setTimeout(run, ms);
    return () => clearTimeout(timer);
  }
  const id = nextId++;
  if (waiting.size === 0) channel.port2.postMessage(0);
  waiting.set(id, { deadline: performance.now() + ms, run });
  return () => waiting.delete(id);
}
