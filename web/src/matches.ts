// The console's JSON report as the page shows it: its matches, in its order,
// each named for the chart and the table.

/** One match of the console's JSON (numbers as it wrote them). */
export type Match = Record<string, string | number | null>;

export interface JsonReport {
  status: string;
  count: number;
  too_many: boolean;
  matches: Match[];
}

/** The report from the console's JSON output; null if it is none. */
export function jsonReport(stdout: string): JsonReport | null {
  try {
    const report = JSON.parse(stdout) as JsonReport;
    return Array.isArray(report?.matches) ? report : null;
  } catch {
    return null;
  }
}

/** How a match is named: the divider's resistors and how R2, R3 are joined. */
export function matchName(match: Match): string {
  const joint = match.connection === 'series' ? '+' : '//';
  return `R1 ${match.r1}, R2 ${match.r2} ${joint} R3 ${match.r3}`;
}

/**
 * The rows of the console's CSV by its header's names: the texts as the
 * console wrote them (RFC 4180 quoting), which the table shows.
 */
export function csvRows(csv: string): Record<string, string>[] {
  const records: string[][] = [];
  let record: string[] = [];
  let field = '';
  let quoted = false;
  for (let i = 0; i < csv.length; ++i) {
    const c = csv[i];
    if (quoted) {
      if (c === '"' && csv[i + 1] === '"') {
        field += '"';
        ++i;
      } else if (c === '"') {
        quoted = false;
      } else {
        field += c;
      }
    } else if (c === '"') {
      quoted = true;
    } else if (c === ',') {
      record.push(field);
      field = '';
    } else if (c === '\n') {
      record.push(field);
      records.push(record);
      record = [];
      field = '';
    } else {
      field += c;
    }
  }
  const [header = [], ...rows] = records;
  return rows.map((row) => Object.fromEntries(header.map((name, i) => [name, row[i] ?? ''])));
}
