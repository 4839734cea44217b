// The console's own CSV and JSON of the search shown, and of the board's
// choice, as files; each pair on only while what it holds is what the page
// shows.
import type { Answer } from './core';
import type { Page } from './page_state';

type Format = 'csv' | 'json';

interface Source {
  buttons: Record<Format, string>;
  file: string;
  /** The answer shown while it is current, else null. */
  answer(page: Page): Answer | null;
  /** Whether it holds something to download. */
  holds(answer: Answer): boolean;
}

const kSources: Record<'single' | 'board', Source> = {
  single: {
    buttons: { csv: 'download-csv', json: 'download-json' },
    file: 'tapsmith',
    answer: (page) => (page.current ? page.shown : null),
    holds: (answer) => answer.matches.length > 0,
  },
  board: {
    buttons: { csv: 'board-download-csv', json: 'board-download-json' },
    file: 'tapsmith-board',
    answer: (page) => (page.boardCurrent ? page.boardShown : null),
    // An unsolvable board chose nothing.
    holds: (answer) => answer.exit === 0 && (answer.board?.rails.length ?? 0) > 0,
  },
};

function current(page: Page, source: Source): Answer | null {
  const answer = source.answer(page);
  return answer !== null && answer.error === null && source.holds(answer) ? answer : null;
}

/** Whether the page shows a current answer (the search's, or the board's) to download. */
export function downloadable(page: Page, of: keyof typeof kSources = 'single'): boolean {
  return current(page, kSources[of]) !== null;
}

export function showDownloads(page: Page): void {
  for (const source of Object.values(kSources)) {
    const off = current(page, source) === null;
    for (const id of Object.values(source.buttons)) (document.getElementById(id) as HTMLButtonElement).disabled = off;
  }
}

function download(page: Page, source: Source, format: Format): void {
  const output = current(page, source)?.[format];
  if (output === null || output === undefined) return;
  const type = format === 'csv' ? 'text/csv' : 'application/json';
  const url = URL.createObjectURL(new Blob([output], { type: `${type};charset=utf-8` }));
  const link = document.createElement('a');
  link.href = url;
  link.download = `${source.file}.${format}`;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

export function wireDownloads(page: Page): void {
  for (const source of Object.values(kSources)) {
    for (const [format, id] of Object.entries(source.buttons) as [Format, string][]) {
      document.getElementById(id)?.addEventListener('click', () => download(page, source, format));
    }
  }
}
