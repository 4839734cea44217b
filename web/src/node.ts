// tapsmith.mjs: the console's search as a JavaScript module, for Node and
// for bundlers. run(args) is tapsmith-cli with those arguments, in process.
import { createRequire } from 'node:module';

import coreScript from '@core?raw';

import { type CoreModule, type RunResult, checkedArguments, factoryFromScript, runInCore } from './core';

export type { RunResult };

let core: Promise<CoreModule> | undefined;

/**
 * Runs tapsmith-cli with `args` (its arguments, without the program's name)
 * and resolves with its exit status and what it printed, byte for byte as the
 * native program prints it. There is no disk: --settings, --save and
 * --list-file are usage errors (64); --values takes a stock list instead.
 */
export async function run(args: readonly string[]): Promise<RunResult> {
  const checked = checkedArguments(args);
  core ??= factoryFromScript(coreScript, createRequire(import.meta.url))();
  const { exit, stdout, stderr } = runInCore(await core, checked);
  return { exit, stdout, stderr };
}
