// When the page searches: once the typing pauses, one answer per change of
// the inputs, in the search worker; a search still running for inputs that
// are gone is abandoned. After the answer is shown, the whole design space
// is asked for in the same worker, so that it never holds the first result
// back.
import type { Answer, AnswerMatch } from './core';
import { buildArguments } from './options';
import type { Page } from './page_state';
import { Abandoned, type CoreWorker } from './search_client';

const kPauseMs = 180;

/** What the searches tell the page. */
export interface SearchView {
  pending(): void;
  answered(answer: Answer): void;
  spaced(space: readonly AnswerMatch[]): void;
  failed(error: unknown, of: 'answer' | 'space'): void;
}

export interface Searcher {
  /** Searches once the typing pauses. */
  schedule(): void;
  /** Searches now. */
  run(): Promise<void>;
}

// Whether the answer shows all it found already, so that its design space is its matches.
function showsAll(answer: Answer): boolean {
  return !answer.too_many && (answer.count ?? 0) <= answer.matches.length;
}

export function searcher(page: Page, worker: CoreWorker, view: SearchView): Searcher {
  let timer: ReturnType<typeof setTimeout> | undefined;
  // Each change of the inputs starts a new generation; a result that comes
  // back for an older one is for inputs that are gone.
  let generation = 0;

  const ask = async <T>(mine: number, asked: Promise<T>, of: 'answer' | 'space'): Promise<T | null> => {
    try {
      const answer = await asked;
      return mine === generation ? answer : null;
    } catch (error) {
      if (!(error instanceof Abandoned) && mine === generation) view.failed(error, of);
      return null;
    }
  };

  const run = async () => {
    const mine = ++generation;
    worker.abandon();
    view.pending();
    const args = buildArguments(page.state.form, page.state.language);
    const answer = await ask(mine, worker.ask({ kind: 'answer', request: { args, text: true, csv: true, json: true } }), 'answer');
    if (answer === null) return;
    view.answered(answer);
    if (answer.error !== null || answer.matches.length === 0) return;
    if (showsAll(answer)) {
      view.spaced(answer.matches);
      return;
    }
    const space = await ask(mine, worker.ask({ kind: 'answer', request: { args, space: true } }), 'space');
    if (space !== null) view.spaced(space.matches);
  };

  return {
    schedule() {
      ++generation;
      clearTimeout(timer);
      view.pending();
      timer = setTimeout(() => void run(), kPauseMs);
    },
    run,
  };
}
