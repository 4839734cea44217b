// Debian's Chromium, driven by playwright-core (which downloads no browser),
// and the page as the build made it, opened from disk as a user opens it.
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

import { type BrowserContext, type Page, chromium } from 'playwright-core';

import { webBuild } from '../native';

export const pageUrl = pathToFileURL(join(webBuild, 'tapsmith.html')).href;

export interface Chromium {
  context: BrowserContext;
  close(): Promise<void>;
}

/** A fresh Chromium with a profile of its own, in `locale`. */
export async function launchChromium(locale = 'en-US', width = 1280, height = 900): Promise<Chromium> {
  const profile = mkdtempSync(join(tmpdir(), 'tapsmith-chromium-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.TAPSMITH_CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    locale,
    viewport: { width, height },
    acceptDownloads: true,
    args: [
      '--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run', '--disable-quic',
      `--lang=${locale}`,
    ],
  });
  return {
    context,
    async close() {
      await context.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

/** How many searches the page has shown so far. */
export function searchesShown(page: Page): Promise<number> {
  return page.evaluate(() => Number(document.body.dataset.searched ?? '0'));
}

/** Does `action`, then waits until the page shows the search it starts. */
export async function afterSearch(page: Page, action: () => Promise<unknown>): Promise<void> {
  const before = await searchesShown(page);
  await action();
  await page.waitForFunction((n) => Number(document.body.dataset.searched ?? '0') > n &&
    !document.querySelector('.results')?.hasAttribute('aria-busy'), before, { timeout: 30_000 });
}

/** How many board choices the page has shown so far. */
export function boardsShown(page: Page): Promise<number> {
  return page.evaluate(() => Number(document.body.dataset.boardSearched ?? '0'));
}

/** Does `action`, then waits until the page shows the board's choice it starts. */
export async function afterBoardSearch(page: Page, action: () => Promise<unknown>): Promise<void> {
  const before = await boardsShown(page);
  await action();
  await page.waitForFunction((n) => Number(document.body.dataset.boardSearched ?? '0') > n &&
    !document.getElementById('board-results')?.hasAttribute('aria-busy'), before, { timeout: 90_000 });
}

/** Opens the page from disk, `fragment` its URL's "#...", and waits for its first result. */
export async function openPage(chromium: Chromium, fragment = ''): Promise<Page> {
  const page = await chromium.context.newPage();
  page.on('pageerror', (error) => {
    throw error;
  });
  await page.goto(pageUrl + fragment);
  await page.waitForFunction(() => document.body.dataset.searched !== undefined, null, { timeout: 30_000 });
  return page;
}
