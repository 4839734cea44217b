// The console's core as the WebAssembly module gives it (src/web): one whole
// tapsmith-cli run per call, the arguments written into the module's memory
// and both streams read back from it as the native program's bytes.

/** What one tapsmith-cli run gives: its exit status and what it printed. */
export interface RunResult {
  exit: number;
  stdout: string;
  stderr: string;
}

/** The target window a run searched, in volts (typical 0: none). */
export interface TargetWindow {
  least: number;
  greatest: number;
  typical: number;
}

/** A run as the page gets it: the result, and the window for its chart. */
export interface CoreRun extends RunResult {
  window: TargetWindow | null;
}

/** The part of the Emscripten module that the page uses. */
export interface CoreModule {
  HEAPU8: Uint8Array;
  HEAPU32: Uint32Array;
  HEAPF64: Float64Array;
  _malloc(size: number): number;
  _free(pointer: number): void;
  _tapsmith_run(argc: number, argv: number): number;
  _tapsmith_output(stream: number, size: number): number;
  _tapsmith_window(volts: number): number;
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
export function checkedArguments(args: unknown): string[] {
  if (!Array.isArray(args) || !args.every((arg) => typeof arg === 'string')) {
    throw new TypeError('tapsmith.run: the arguments must be an array of strings');
  }
  return [...args];
}

const encoder = new TextEncoder();
const decoder = new TextDecoder();

/** Runs tapsmith-cli with `args` (without the program's name) in `core`. */
export function runInCore(core: CoreModule, args: readonly string[]): CoreRun {
  const argv = ['tapsmith-cli', ...args];
  const pointers = argv.map((arg) => {
    const bytes = encoder.encode(`${arg}\0`);
    const pointer = core._malloc(bytes.length);
    core.HEAPU8.set(bytes, pointer);
    return pointer;
  });
  const table = core._malloc(4 * argv.length);
  core.HEAPU32.set(pointers, table >>> 2);
  const size = core._malloc(4);
  const volts = core._malloc(3 * 8);
  try {
    const exit = core._tapsmith_run(argv.length, table);
    // Read after the run: a run that grew the memory replaced the views.
    const read = (stream: number): string => {
      const at = core._tapsmith_output(stream, size);
      const length = core.HEAPU32[size >>> 2];
      return decoder.decode(core.HEAPU8.subarray(at, at + length));
    };
    const searched = core._tapsmith_window(volts) !== 0;
    const [least, greatest, typical] = core.HEAPF64.subarray(volts >>> 3, (volts >>> 3) + 3);
    const window = searched ? { least, greatest, typical } : null;
    return { exit, stdout: read(1), stderr: read(2), window };
  } finally {
    for (const pointer of pointers) core._free(pointer);
    core._free(table);
    core._free(size);
    core._free(volts);
  }
}
