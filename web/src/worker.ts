// The worker that runs the core, off the page's thread: each message is one
// job, answered in turn. Whatever the core throws (an abort, a module that
// cannot be made for want of memory) goes back as the job's failure, so that
// the page is never left waiting.
import coreScript from '@core?raw';

import { type CoreModule, answerInCore, checkListInCore, factoryFromScript, listReadLimit, runInCore } from './core';
import type { JobResults, JobKind, WorkerJob, WorkerReply, WorkerRequest } from './worker_protocol';

const core = factoryFromScript(coreScript)();

function perform(module: CoreModule, job: WorkerJob): JobResults[JobKind] {
  switch (job.kind) {
    case 'run': return runInCore(module, job.args);
    case 'answer': return answerInCore(module, job.request);
    case 'listLimit': return listReadLimit(module);
    case 'checkList': return checkListInCore(module, job.bytes, job.name, job.language);
  }
}

function failureOf(error: unknown): string {
  return error instanceof Error ? `${error.name}: ${error.message}` : String(error);
}

self.onmessage = async (event: MessageEvent<WorkerRequest>) => {
  const { id, job } = event.data;
  let reply: WorkerReply;
  try {
    reply = { id, result: perform(await core, job) };
  } catch (error) {
    reply = { id, failure: failureOf(error) };
  }
  self.postMessage(reply);
};
