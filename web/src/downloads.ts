// The console's own CSV and JSON of the search shown, as files; on only
// while what they hold is what the page shows.
import type { Page } from './page_state';

const kButtons = { csv: 'download-csv', json: 'download-json' } as const;

/** Whether the page shows a current answer with matches to download. */
export function downloadable(page: Page): boolean {
  const { shown } = page;
  return page.current && shown !== null && shown.error === null && shown.matches.length > 0;
}

export function showDownloads(page: Page): void {
  for (const id of Object.values(kButtons)) (document.getElementById(id) as HTMLButtonElement).disabled = !downloadable(page);
}

export function download(page: Page, format: 'csv' | 'json'): void {
  const output = downloadable(page) ? page.shown?.[format] : null;
  if (output === null || output === undefined) return;
  const type = format === 'csv' ? 'text/csv' : 'application/json';
  const url = URL.createObjectURL(new Blob([output], { type: `${type};charset=utf-8` }));
  const link = document.createElement('a');
  link.href = url;
  link.download = `tapsmith.${format}`;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

export function wireDownloads(page: Page): void {
  for (const [format, id] of Object.entries(kButtons) as ['csv' | 'json', string][]) {
    document.getElementById(id)?.addEventListener('click', () => download(page, format));
  }
}
