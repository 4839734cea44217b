// The native tapsmith-cli of the build, run on the same arguments as the
// WebAssembly core, for the differential tests.
import { spawnSync } from 'node:child_process';
import { mkdtempSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join, resolve } from 'node:path';

export const webBuild = resolve(process.env.TAPSMITH_WEB_BUILD ?? resolve(import.meta.dirname, '../../build-web'));
export const nativeCli = resolve(process.env.TAPSMITH_CLI ?? resolve(import.meta.dirname, '../../build/tapsmith-cli'));

// An empty folder to run in: a stray settings file must not count.
const folder = mkdtempSync(join(tmpdir(), 'tapsmith-native-'));

export interface Printed {
  exit: number;
  stdout: string;
  stderr: string;
}

/** What the native program printed for `args`, as UTF-8 text. */
export function runNative(args: readonly string[]): Printed {
  const result = spawnSync(nativeCli, args, { cwd: folder, encoding: 'utf8', env: { ...process.env, LC_ALL: 'C.UTF-8' } });
  if (result.error) throw result.error;
  return { exit: result.status ?? -1, stdout: result.stdout, stderr: result.stderr };
}

/** Whether `args` touch the disk, which the WebAssembly core has not. */
export function needsDisk(args: readonly string[]): boolean {
  return args.some((arg) => arg === '--settings' || arg === '--save' || arg === '--list-file');
}
