// The page's hooks for other tools: tapsmith-cli's arguments in and what it
// printed out (run), or the same run as the core's structured answer
// (answer), in a worker of its own that the page's searches never end;
// calls are answered in order. The page checks its list files there too.
import { type Answer, type AnswerRequest, type RunResult, checkedArguments, checkedRequest } from './core';
import { CoreWorker, type WorkerLike } from './search_client';

declare global {
  interface Window {
    tapsmith: {
      run(args: readonly string[]): Promise<RunResult>;
      answer(request: AnswerRequest): Promise<Answer>;
    };
  }
}

/** The worker the searches never end, started when first asked for. */
export function steadyWorker(start: () => WorkerLike): () => CoreWorker {
  let worker: CoreWorker | null = null;
  return () => {
    worker ??= new CoreWorker(start, false);
    return worker;
  };
}

export function exposeHooks(steady: () => CoreWorker): void {
  window.tapsmith = {
    async run(args) {
      const checked = checkedArguments(args);
      const { exit, stdout, stderr } = await steady().ask({ kind: 'run', args: checked });
      return { exit, stdout, stderr };
    },
    async answer(request) {
      return steady().ask({ kind: 'answer', request: checkedRequest(request) });
    },
  };
}
