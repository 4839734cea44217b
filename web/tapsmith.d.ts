/** What one tapsmith-cli run gives: its exit status and what it printed. */
export interface RunResult {
  /** tapsmith-cli's exit status: 0 found, 1 nothing found, 2 input error, 64 usage error. */
  exit: number;
  /** Its standard output, as UTF-8 text. */
  stdout: string;
  /** Its standard error, as UTF-8 text. */
  stderr: string;
}

/** What answer() is asked: tapsmith-cli's arguments and what to hold beside the answer. */
export interface AnswerRequest {
  /** tapsmith-cli's arguments, without the program's name. */
  args: string[];
  /** The renderings to hold, each exactly as that --format prints it. */
  text?: boolean;
  csv?: boolean;
  json?: boolean;
  /** The whole design space: the same search keeps the 1000 best by the same rank. */
  space?: boolean;
}

/** A match of an answer: the console's numbers, and the texts it writes for them. */
export interface AnswerMatch {
  /** The same combination has the same id in every answer of the same inputs. */
  id: string;
  r1: string;
  r2: string;
  r3: string;
  connection: 'parallel' | 'series';
  /** R4 and how it joins R1 (--r4); null where R1 stands alone. */
  r4: string | null;
  r4_connection: 'parallel' | 'series' | null;
  /** The values in ohms; null for an open position (DNM), or no R4. */
  r1_ohms: number | null;
  r4_ohms: number | null;
  r2_ohms: number | null;
  r3_ohms: number | null;
  vout: number;
  /** null when there is no typical voltage. */
  deviation_percent: number | null;
  /** With a worst-case option. */
  vout_min?: number;
  vout_max?: number;
  /** The current in the leg that ends at ground, and in the other leg, in amperes. */
  current_a: number;
  current_upper_a: number;
  /** With a yield option: the share of boards inside the window, a fraction. */
  yield?: number;
  /** The numbers as the console writes them: vout, deviation_percent, vout_min, vout_max, current_a ("25.61 µA"), current_upper_a, yield (percent). */
  texts: Record<string, string>;
}

/** A rail of a board run (--board-text): its line, and the divider chosen for it. */
export interface AnswerBoardRail {
  name: string;
  /** Its line in the board text, from 1. */
  line: number;
  configuration: 'a' | 'b' | 'c' | 'd';
  /** How R4 joins R1 on this rail; null: R1 stands alone. */
  r4: 'parallel' | 'series' | null;
  /** Which numbers the rail's match reports. */
  reports: { worst_case: boolean; current: boolean; yield: boolean };
  /** The divider chosen, as a match of a single search; null when the board is unsolvable. */
  match: AnswerMatch | null;
  /** The rail's line as the text report writes it, "NAME: ...". */
  text: string;
}

/** What a board run chose: every rail's divider, the values it needs, and its proof. */
export interface AnswerBoard {
  rails: AnswerBoardRail[];
  /** The values not on the BOM that the choice uses, ascending ("40.2k"). */
  new_values: string[];
  /** The values of the BOM that the choice uses. */
  bom_values_used: string[];
  /** Resistors fitted over the whole board (DNM is not fitted). */
  resistors: number;
  /** Whether no choice needs fewer new values (and, among those, is better). */
  proven: boolean;
  /** The fewest new values a better choice would need: new_values.length when proven. */
  bound: number;
  /** The names of the rails no divider meets; then the exit status is 1 and no rail has a match. */
  unsolvable: string[];
}

/** One run as the core answers it, in the run's language (--lang). */
export interface Answer {
  exit: number;
  language: 'ja' | 'en';
  /** The status line, or the reason of an error. */
  status: string;
  /**
   * An error, with the console options at fault, its subject first; for a
   * board, the line of the board text at fault (null when it is on no rail's line).
   */
  error: { kind: 'usage' | 'input' | 'save'; message: string; options: string[]; line?: number | null } | null;
  /** After a usage error: where the options are listed. */
  hint: string | null;
  configuration: 'a' | 'b' | 'c' | 'd' | null;
  /** How R4 joins R1 in this search; null: R1 stands alone. */
  r4: 'parallel' | 'series' | null;
  /** The window searched (widened as the search tests it), and its fields as they would be typed, in either form. */
  window: {
    least: number; greatest: number; typical: number;
    least_text: string; greatest_text: string; typical_text: string; tolerance_text: string;
  } | null;
  r1: { least: number; greatest: number } | null;
  /** Why nothing was found, and fields that are empty and read as 0; a note with options is about them. */
  notes: { message: string; options: string[] }[];
  /** Which numbers every match reports. */
  reports?: { worst_case: boolean; current: boolean; yield: boolean };
  /** How many combinations qualified; whether the search stopped at 1000; whether it kept the best N. */
  count?: number;
  too_many?: boolean;
  best?: boolean;
  /** The matches shown, in the report's order. */
  matches: AnswerMatch[];
  /** A board run's choice (--board-text); null or absent for a single rail, or when the board was not searched. */
  board?: AnswerBoard | null;
  /** The renderings asked for (null when nothing was searched). */
  text?: string | null;
  csv?: string | null;
  json?: string | null;
}

/**
 * Runs tapsmith-cli with `args` (its arguments, without the program's name)
 * and resolves with its exit status and what it printed, byte for byte as the
 * native program prints it. There is no disk: --settings, --save and
 * --list-file are usage errors (64); --values takes a stock list instead.
 */
export function run(args: readonly string[]): Promise<RunResult>;

/**
 * The same run as one structured answer: its exit status, status line,
 * error with the options at fault, the window searched, the matches with
 * their numbers and texts, the notes on why nothing was found, and the
 * renderings asked for. A request that is no object, or arguments that are
 * no array of strings, reject with a TypeError.
 */
export function answer(request: AnswerRequest): Promise<Answer>;
