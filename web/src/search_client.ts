// The page's side of a core worker: jobs go in, results come back in order,
// and a job that is no longer wanted is abandoned by ending its worker. A
// spare worker is kept started, so that the next search does not wait for
// the module to compile again; after an abandon the next spare is started a
// little later, so that its compiling does not take the processor from the
// page and the new search at once. A worker that fails (the core aborted,
// ran out of memory, or the worker itself died) settles the job it was
// running with WorkerFailed and is replaced; the jobs behind it go to the
// fresh worker, in their order.
import type { JobKind, JobResults, WorkerJob, WorkerReply, WorkerRequest } from './worker_protocol';

/** Why a job's promise was rejected when the job was given up. */
export class Abandoned extends Error {
  constructor() {
    super('the search was abandoned');
    this.name = 'Abandoned';
  }
}

/** Why a job's promise was rejected when its worker failed: what it said. */
export class WorkerFailed extends Error {
  constructor(readonly detail: string) {
    super(`the core's worker failed${detail === '' ? '' : `: ${detail}`}`);
    this.name = 'WorkerFailed';
  }
}

/** What the client uses of a Worker, so that a test can hand in its own. */
export interface WorkerLike {
  postMessage(message: WorkerRequest): void;
  terminate(): void;
  onmessage: ((event: MessageEvent<WorkerReply>) => void) | null;
  onerror: ((event: ErrorEvent) => void) | null;
  onmessageerror: ((event: MessageEvent) => void) | null;
}

const kSpareDelayMs = 1500;

interface Pending {
  request: WorkerRequest;
  resolve(result: unknown): void;
  reject(error: Error): void;
}

export class CoreWorker {
  private worker: WorkerLike;
  private spare: WorkerLike | null = null;
  // A Map keeps the order the jobs were posted in: the order they run in.
  private readonly pending = new Map<number, Pending>();
  private nextId = 1;
  private spareTimer: ReturnType<typeof setTimeout> | undefined;

  constructor(private readonly start: () => WorkerLike, private readonly keepSpare: boolean) {
    this.worker = this.started();
    if (keepSpare) this.spare = this.started();
  }

  /** Whether a job is still running. */
  get busy(): boolean {
    return this.pending.size > 0;
  }

  /** Runs `job` in the worker, after the jobs given before it. */
  ask<K extends JobKind>(job: Extract<WorkerJob, { kind: K }>): Promise<JobResults[K]> {
    const request: WorkerRequest = { id: this.nextId++, job };
    return new Promise((resolve, reject) => {
      this.pending.set(request.id, { request, resolve: resolve as (result: unknown) => void, reject });
      this.worker.postMessage(request);
    });
  }

  /** Ends every running job: their promises reject with Abandoned. */
  abandon(): void {
    if (!this.busy) return;
    for (const { reject } of this.pending.values()) reject(new Abandoned());
    this.pending.clear();
    this.replaceWorker();
  }

  private replaceWorker(): void {
    this.worker.terminate();
    this.worker = this.spare ?? this.started();
    this.spare = null;
    for (const { request } of this.pending.values()) this.worker.postMessage(request);
    this.startSpareLater();
  }

  private startSpareLater(): void {
    if (!this.keepSpare) return;
    clearTimeout(this.spareTimer);
    this.spareTimer = setTimeout(() => {
      this.spare ??= this.started();
    }, kSpareDelayMs);
  }

  // The job `id` failed, or (undefined) the one the worker was running.
  private failed(worker: WorkerLike, id: number | undefined, detail: string): void {
    if (worker === this.spare) {
      worker.terminate();
      this.spare = null;
      this.startSpareLater();
      return;
    }
    if (worker !== this.worker) return;
    const job = this.pending.get(id ?? this.pending.keys().next().value ?? 0);
    if (job !== undefined) {
      this.pending.delete(job.request.id);
      job.reject(new WorkerFailed(detail));
    }
    this.replaceWorker();
  }

  private started(): WorkerLike {
    const worker = this.start();
    worker.onmessage = (event) => {
      if (worker !== this.worker) return;
      const reply = event.data;
      if ('failure' in reply) {
        this.failed(worker, reply.id, reply.failure);
        return;
      }
      const job = this.pending.get(reply.id);
      this.pending.delete(reply.id);
      job?.resolve(reply.result);
    };
    // Handled here: the page's own error handlers are not told.
    worker.onerror = (event) => {
      event.preventDefault();
      this.failed(worker, undefined, event.message ?? '');
    };
    worker.onmessageerror = () => this.failed(worker, undefined, '');
    return worker;
  }
}
