// The page's side of the core worker: jobs go in, results come back, and a
// job that is no longer wanted is abandoned by ending its worker. A spare
// worker is kept started, so that the next search does not wait for the
// module to compile again; after an abandon the next spare is started a
// little later, so that its compiling does not take the processor from the
// page and the new search at once.
import type { CoreRun } from './core';
import type { WorkerAnswer, WorkerJob } from './worker_protocol';

/** Why a job's promise was rejected when the job was given up. */
export class Abandoned extends Error {
  constructor() {
    super('the search was abandoned');
  }
}

const kSpareDelayMs = 1500;

interface Waiting {
  resolve(results: CoreRun[]): void;
  reject(error: Error): void;
}

export class CoreWorker {
  private worker: Worker;
  private spare: Worker | null = null;
  private readonly waiting = new Map<number, Waiting>();
  private nextId = 1;
  private spareTimer: ReturnType<typeof setTimeout> | undefined;

  constructor(private readonly start: () => Worker, private readonly keepSpare: boolean) {
    this.worker = this.started();
    if (keepSpare) this.spare = this.started();
  }

  /** Whether a job is still running. */
  get busy(): boolean {
    return this.waiting.size > 0;
  }

  /** Runs each argument list in turn, in the worker. */
  run(runs: string[][]): Promise<CoreRun[]> {
    const id = this.nextId++;
    const job: WorkerJob = { id, runs };
    return new Promise((resolve, reject) => {
      this.waiting.set(id, { resolve, reject });
      this.worker.postMessage(job);
    });
  }

  /** Ends every running job: their promises reject with Abandoned. */
  abandon(): void {
    if (!this.busy) return;
    this.worker.terminate();
    for (const { reject } of this.waiting.values()) reject(new Abandoned());
    this.waiting.clear();
    this.worker = this.spare ?? this.started();
    this.spare = null;
    if (!this.keepSpare) return;
    clearTimeout(this.spareTimer);
    this.spareTimer = setTimeout(() => {
      this.spare ??= this.started();
    }, kSpareDelayMs);
  }

  private started(): Worker {
    const worker = this.start();
    worker.onmessage = (event: MessageEvent<WorkerAnswer>) => {
      if (worker !== this.worker) return;
      const waiting = this.waiting.get(event.data.id);
      this.waiting.delete(event.data.id);
      waiting?.resolve(event.data.results);
    };
    worker.onerror = (event: ErrorEvent) => {
      if (worker !== this.worker) return;
      for (const { reject } of this.waiting.values()) reject(new Error(event.message));
      this.waiting.clear();
    };
    return worker;
  }
}
