/** What one tapsmith-cli run gives: its exit status and what it printed. */
export interface RunResult {
  /** tapsmith-cli's exit status: 0 found, 1 nothing found, 2 input error, 64 usage error. */
  exit: number;
  /** Its standard output, as UTF-8 text. */
  stdout: string;
  /** Its standard error, as UTF-8 text. */
  stderr: string;
}

/**
 * Runs tapsmith-cli with `args` (its arguments, without the program's name)
 * and resolves with its exit status and what it printed, byte for byte as the
 * native program prints it. There is no disk: --settings, --save and
 * --list-file are usage errors (64); --values takes a stock list instead.
 */
export function run(args: readonly string[]): Promise<RunResult>;
