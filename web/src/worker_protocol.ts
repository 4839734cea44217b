// The messages between the page and its core worker.
import type { CoreRun } from './core';

export interface WorkerJob {
  id: number;
  runs: string[][];
}

export interface WorkerAnswer {
  id: number;
  results: CoreRun[];
}
