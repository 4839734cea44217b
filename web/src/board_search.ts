// When the board is chosen: once its inputs pause, one answer of the core
// per change, in a worker of its own, and only while the board is shown. A
// choice can take its whole time limit: one still running for a board that
// is gone is abandoned, its worker ended.
import type { Answer } from './core';
import { boardArguments } from './board';
import type { Page } from './page_state';
import { Abandoned, type CoreWorker } from './search_client';
import type { Searcher } from './searching';

const kPauseMs = 350;

/** What the board's searches tell the page. */
export interface BoardSearchView {
  /** No rail: nothing to choose. */
  empty(): void;
  pending(): void;
  answered(answer: Answer): void;
  failed(error: unknown): void;
}

/** The board's searcher; its worker is started by `start` when the board is first chosen. */
export function boardSearcher(page: Page, start: () => CoreWorker, view: BoardSearchView): Searcher {
  let timer: ReturnType<typeof setTimeout> | undefined;
  let generation = 0;
  let worker: CoreWorker | null = null;

  const run = async () => {
    const mine = ++generation;
    clearTimeout(timer);
    worker?.abandon();
    if (page.board.rails.length === 0) {
      view.empty();
      return;
    }
    view.pending();
    const args = boardArguments(page.board, page.state.language);
    try {
      worker ??= start();
      const answer = await worker.ask({ kind: 'answer', request: { args, text: true, csv: true, json: true } });
      if (mine === generation) view.answered(answer);
    } catch (error) {
      if (!(error instanceof Abandoned) && mine === generation) view.failed(error);
    }
  };

  return {
    schedule() {
      ++generation;
      clearTimeout(timer);
      page.boardCurrent = false;
      // Out of sight, the board waits until it is shown again.
      if (page.view !== 'board') {
        worker?.abandon();
        return;
      }
      if (page.board.rails.length === 0) {
        void run();
        return;
      }
      view.pending();
      timer = setTimeout(() => void run(), kPauseMs);
    },
    run,
  };
}
