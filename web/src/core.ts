// The console's core as the WebAssembly module gives it (src/web): one whole
// tapsmith-cli run per call, the arguments written into the module's memory
// and what comes back read from it as the native program's bytes; or the
// same run as one structured answer; or a list file's bytes checked.

// The answer's shapes are those the module declares for its users: one
// declaration, which the page and tapsmith.mjs share.
import type { Answer, AnswerRequest, RunResult } from '../tapsmith';
export type { Answer, AnswerBoard, AnswerBoardRail, AnswerMatch, AnswerRequest, RunResult } from '../tapsmith';

/** Something the core noticed, with the options it is about. */
export type AnswerNote = Answer['notes'][number];

/** A list file checked as the console checks one: its text, or why not. */
export interface ListCheck {
  values?: string;
  message?: string;
}

/** The part of the Emscripten module that the page uses. */
export interface CoreModule {
  HEAPU8: Uint8Array;
  HEAPU32: Uint32Array;
  _malloc(size: number): number;
  _free(pointer: number): void;
  _tapsmith_run(argc: number, argv: number): number;
  _tapsmith_output(stream: number, size: number): number;
  _tapsmith_answer(request: number, length: number): number;
  _tapsmith_check_list(bytes: number, size: number, name: number, language: number): number;
  _tapsmith_list_read_limit(): number;
}

export type CoreFactory = () => Promise<CoreModule>;

/**
 * The module's factory from its script text. The script is a classic one
 * that declares `createTapsmithCore`; under Node it asks for `require`, which
 * an ES module has to hand in.
 */
export function factoryFromScript(script: string, nodeRequire?: unknown): CoreFactory {
  const make = new Function('require', '__dirname', `${script}\nreturn createTapsmithCore;`);
  return make(nodeRequire, '') as CoreFactory;
}

/** The arguments as run() takes them, or a TypeError saying what is wrong. */
export function checkedArguments(args: unknown, caller = 'tapsmith.run'): string[] {
  if (!Array.isArray(args) || !args.every((arg) => typeof arg === 'string')) {
    throw new TypeError(`${caller}: the arguments must be an array of strings`);
  }
  return [...args];
}

/** The request as answer() takes it, or a TypeError saying what is wrong. */
export function checkedRequest(request: unknown): AnswerRequest {
  const asked = request as AnswerRequest | null;
  if (typeof asked !== 'object' || asked === null) throw new TypeError('tapsmith.answer: the request must be an object');
  const flags = ['text', 'csv', 'json', 'space'] as const;
  if (flags.some((flag) => asked[flag] !== undefined && typeof asked[flag] !== 'boolean')) {
    throw new TypeError('tapsmith.answer: text, csv, json and space are true or false');
  }
  return { ...asked, args: checkedArguments(asked.args, 'tapsmith.answer') };
}

const encoder = new TextEncoder();
const decoder = new TextDecoder();

/** Memory of the module for `size` bytes; an Error if it has none to give. */
function allocate(core: CoreModule, size: number): number {
  const pointer = core._malloc(Math.max(size, 1));
  if (pointer === 0) throw new Error(`the core has no memory for ${size} bytes`);
  return pointer;
}

/** Calls `use` with the bytes copied into the module's memory, then frees them. */
function withBytes<T>(core: CoreModule, bytes: Uint8Array, use: (pointer: number) => T): T {
  const pointer = allocate(core, bytes.length);
  try {
    core.HEAPU8.set(bytes, pointer);
    return use(pointer);
  } finally {
    core._free(pointer);
  }
}

// Read after the call: a call that grew the memory replaced the views.
function readOutput(core: CoreModule, stream: number): string {
  const size = allocate(core, 4);
  try {
    const at = core._tapsmith_output(stream, size);
    const length = core.HEAPU32[size >>> 2];
    return decoder.decode(core.HEAPU8.subarray(at, at + length));
  } finally {
    core._free(size);
  }
}

/** Runs tapsmith-cli with `args` (without the program's name) in `core`. */
export function runInCore(core: CoreModule, args: readonly string[]): RunResult {
  const argv = ['tapsmith-cli', ...args];
  const pointers: number[] = [];
  try {
    for (const arg of argv) {
      const bytes = encoder.encode(`${arg}\0`);
      const pointer = allocate(core, bytes.length);
      pointers.push(pointer);
      core.HEAPU8.set(bytes, pointer);
    }
    const table = allocate(core, 4 * argv.length);
    pointers.push(table);
    core.HEAPU32.set(pointers.slice(0, argv.length), table >>> 2);
    const exit = core._tapsmith_run(argv.length, table);
    return { exit, stdout: readOutput(core, 1), stderr: readOutput(core, 2) };
  } finally {
    for (const pointer of pointers) core._free(pointer);
  }
}

/** The structured answer of one run in `core`. */
export function answerInCore(core: CoreModule, request: AnswerRequest): Answer {
  const bytes = encoder.encode(JSON.stringify(request));
  withBytes(core, bytes, (pointer) => core._tapsmith_answer(pointer, bytes.length));
  return JSON.parse(readOutput(core, 1)) as Answer;
}

/** A list file's first bytes (at most listReadLimit + 1), checked in `core`. */
export function checkListInCore(core: CoreModule, bytes: Uint8Array, name: string, language: 'ja' | 'en'): ListCheck {
  const nameBytes = encoder.encode(`${name}\0`);
  withBytes(core, nameBytes, (namePointer) =>
    withBytes(core, bytes, (pointer) => core._tapsmith_check_list(pointer, bytes.length, namePointer, language === 'en' ? 1 : 0)));
  return JSON.parse(readOutput(core, 1)) as ListCheck;
}

/** The most bytes of a list file the check needs: one more is too long. */
export function listReadLimit(core: CoreModule): number {
  return core._tapsmith_list_read_limit();
}
