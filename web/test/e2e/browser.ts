// Debian's Chromium, driven by playwright-core (which downloads no browser),
// and the page as the build made it, opened from disk.
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';
import { pathToFileURL } from 'node:url';

import { type Browser, type BrowserContext, chromium } from 'playwright-core';

export const webBuild = resolve(process.env.TAPSMITH_WEB_BUILD ?? resolve(import.meta.dirname, '../../../build-web'));
export const pageUrl = pathToFileURL(join(webBuild, 'tapsmith.html')).href;
export const nativeCli = resolve(process.env.TAPSMITH_CLI ?? resolve(import.meta.dirname, '../../../build/tapsmith-cli'));

export interface Chromium {
  browser: BrowserContext;
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
    args: [
      '--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
      '--disable-component-update', '--disable-sync', '--no-first-run', '--disable-quic',
      `--lang=${locale}`,
    ],
  });
  return {
    browser: context,
    async close() {
      await context.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

export type { Browser };
