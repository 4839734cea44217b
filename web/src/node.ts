// tapsmith.mjs: the console's search as a JavaScript module, for Node and
// for bundlers. run(args) is tapsmith-cli with those arguments, in process;
// answer(request) is the same run as one structured answer.
import { createRequire } from 'node:module';

import coreScript from '@core?raw';

import {
  type Answer,
  type AnswerRequest,
  type CoreModule,
  type RunResult,
  answerInCore,
  checkedArguments,
  checkedRequest,
  factoryFromScript,
  runInCore,
} from './core';

export type { Answer, AnswerRequest, RunResult };

let core: Promise<CoreModule> | undefined;

function loaded(): Promise<CoreModule> {
  core ??= factoryFromScript(coreScript, createRequire(import.meta.url))();
  return core;
}

/**
 * Runs tapsmith-cli with `args` (its arguments, without the program's name)
 * and resolves with its exit status and what it printed, byte for byte as the
 * native program prints it. There is no disk: --settings, --save and
 * --list-file are usage errors (64); --values takes a stock list instead.
 */
export async function run(args: readonly string[]): Promise<RunResult> {
  const checked = checkedArguments(args);
  return runInCore(await loaded(), checked);
}

/**
 * The same run as one structured answer: its exit status, status line,
 * error and the options at fault, the window searched, the matches with
 * their texts, the notes on why nothing was found and the renderings asked.
 */
export async function answer(request: AnswerRequest): Promise<Answer> {
  const checked = checkedRequest(request);
  return answerInCore(await loaded(), checked);
}
