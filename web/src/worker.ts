// The worker that runs the core, off the page's thread: each message is a
// job of one or more argument lists, answered with their results in order.
import coreScript from '@core?raw';

import { factoryFromScript, runInCore } from './core';
import type { WorkerJob, WorkerAnswer } from './worker_protocol';

const core = factoryFromScript(coreScript)();

self.onmessage = async (event: MessageEvent<WorkerJob>) => {
  const { id, runs } = event.data;
  const module = await core;
  const answer: WorkerAnswer = { id, results: runs.map((args) => runInCore(module, args)) };
  self.postMessage(answer);
};
