// The worker client with workers of the test's own: a worker that fails
// settles its job with the failure and is replaced, the jobs behind it are
// answered by the fresh one in order, and none is left waiting.
import { describe, expect, it } from 'vitest';

import { Abandoned, CoreWorker, WorkerFailed, type WorkerLike } from '../../src/search_client';
import type { WorkerReply, WorkerRequest } from '../../src/worker_protocol';

class FakeWorker implements WorkerLike {
  readonly received: WorkerRequest[] = [];
  terminated = false;
  onmessage: ((event: MessageEvent<WorkerReply>) => void) | null = null;
  onerror: ((event: ErrorEvent) => void) | null = null;
  onmessageerror: ((event: MessageEvent) => void) | null = null;

  postMessage(message: WorkerRequest): void {
    this.received.push(message);
  }
  terminate(): void {
    this.terminated = true;
  }
  reply(data: WorkerReply): void {
    this.onmessage?.({ data } as MessageEvent<WorkerReply>);
  }
  die(message: string): void {
    this.onerror?.({ message, preventDefault() {} } as ErrorEvent);
  }
}

function client(keepSpare = false) {
  const workers: FakeWorker[] = [];
  const core = new CoreWorker(() => {
    const worker = new FakeWorker();
    workers.push(worker);
    return worker;
  }, keepSpare);
  return { core, workers };
}

const run = (args: string[]) => ({ kind: 'run', args }) as const;
const printed = (stdout: string) => ({ exit: 0, stdout, stderr: '' });

describe('the worker client', () => {
  it('rejects the job a worker failed in, and has a fresh worker answer the rest in order', async () => {
    const { core, workers } = client();
    const first = core.ask(run(['--help']));
    const second = core.ask(run(['--version']));
    const third = core.ask(run(['--lang', 'en']));
    const [failing] = workers;
    failing.reply({ id: failing.received[0].id, result: printed('help') });
    failing.reply({ id: failing.received[1].id, failure: 'RuntimeError: Aborted(OOM)' });
    await expect(first).resolves.toEqual(printed('help'));
    await expect(second).rejects.toThrow(WorkerFailed);
    await expect(second).rejects.toMatchObject({ detail: 'RuntimeError: Aborted(OOM)' });
    expect(failing.terminated).toBe(true);
    const fresh = workers[1];
    expect(fresh.received.map((request) => request.job)).toEqual([run(['--lang', 'en'])]);
    fresh.reply({ id: fresh.received[0].id, result: printed('status') });
    await expect(third).resolves.toEqual(printed('status'));
    expect(core.busy).toBe(false);
  });

  it('settles the running job when its worker dies, and goes on in the spare', async () => {
    const { core, workers } = client(true);
    const job = core.ask(run(['--vo', '3.3']));
    workers[0].die('Uncaught RangeError: WebAssembly.instantiate(): Out of memory');
    await expect(job).rejects.toMatchObject({ name: 'WorkerFailed', detail: expect.stringContaining('Out of memory') });
    const next = core.ask(run(['--vo', '5']));
    const spare = workers[1];
    expect(spare.received).toHaveLength(1);
    spare.reply({ id: spare.received[0].id, result: printed('found') });
    await expect(next).resolves.toEqual(printed('found'));
    // A late word from the worker that died changes nothing.
    workers[0].reply({ id: 1, result: printed('late') });
    expect(core.busy).toBe(false);
  });

  it('abandons every running job by ending its worker', async () => {
    const { core, workers } = client();
    const job = core.ask(run(['--best', '1000']));
    core.abandon();
    await expect(job).rejects.toThrow(Abandoned);
    expect(workers[0].terminated).toBe(true);
    expect(workers[1].received).toEqual([]);
  });
});
