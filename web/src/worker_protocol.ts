// The messages between the page and its core worker: each request a job,
// each reply its result or why the worker could not give one.
import type { Answer, AnswerRequest, ListCheck, RunResult } from './core';
import type { Language } from './i18n';

export type WorkerJob =
  | { kind: 'run'; args: string[] }
  | { kind: 'answer'; request: AnswerRequest }
  | { kind: 'listLimit' }
  | { kind: 'checkList'; bytes: Uint8Array; name: string; language: Language };

/** What each kind of job resolves with. */
export interface JobResults {
  run: RunResult;
  answer: Answer;
  listLimit: number;
  checkList: ListCheck;
}

export type JobKind = WorkerJob['kind'];

export interface WorkerRequest {
  id: number;
  job: WorkerJob;
}

/** A result, or `failure`: what the core threw (an abort, no memory). */
export type WorkerReply =
  | { id: number; result: JobResults[JobKind] }
  | { id: number; failure: string };
