// tapsmith.mjs under Node against the native tapsmith-cli, and the package
// that npm pack makes of it.
import { execFileSync } from 'node:child_process';
import { mkdtempSync, readdirSync } from 'node:fs';
import { tmpdir } from 'node:os';
import { join } from 'node:path';
import { pathToFileURL } from 'node:url';

import { beforeAll, describe, expect, it } from 'vitest';

import { type BoardState, boardArguments } from '../../src/board';
import type { Answer, AnswerRequest } from '../../src/core';
import { buildArguments, fieldsOfOptions, initialForm, kFields } from '../../src/options';
import { needsDisk, runNative, webBuild } from '../native';
import { kRandomOptions, randomArguments, seededRandom } from '../random_arguments';

type Run = (args: readonly string[]) => Promise<{ exit: number; stdout: string; stderr: string }>;
type Ask = (request: AnswerRequest) => Promise<Answer>;
let run: Run;
let answer: Ask;

beforeAll(async () => {
  ({ run, answer } = (await import(pathToFileURL(join(webBuild, 'tapsmith.mjs')).href)) as { run: Run; answer: Ask });
});

// The list without its --format, which each rendering gives for itself.
function withoutFormat(args: readonly string[]): string[] {
  const at = args.indexOf('--format');
  return at < 0 ? [...args] : [...args.slice(0, at), ...args.slice(at + 2)];
}

describe('tapsmith.mjs', () => {
  it('prints what the native program prints, on random argument lists', async () => {
    const random = seededRandom(18);
    for (let i = 0; i < 200; ++i) {
      const args = randomArguments(random);
      if (needsDisk(args)) continue;
      expect(await run(args), JSON.stringify(args)).toEqual(runNative(args));
    }
  });

  it('has no disk: the options that need one are usage errors', async () => {
    for (const args of [['--settings', 'Tapsmith.ini'], ['--list-file', '/etc/hostname'], ['--settings', 'x', '--save']]) {
      const result = await run(args);
      expect(result.exit).toBe(64);
      expect(result.stdout).toBe('');
      expect(result.stderr).toMatch(/^tapsmith-cli: --/);
    }
  });

  it('takes only an array of strings', async () => {
    await expect(run('--help' as unknown as string[])).rejects.toThrow(TypeError);
    await expect(run([1] as unknown as string[])).rejects.toThrow(TypeError);
  });

  it('knows every option the form and the differential tests give', async () => {
    const help = (await run(['--help'])).stdout;
    const options = new Set([...kRandomOptions, ...kFields.map((row) => row.option ?? '')].filter((o) => o !== ''));
    for (const option of options) expect(help, option).toContain(`  ${option} `);
  });

  it('answers as the native program prints, in each rendering, on random argument lists', async () => {
    const random = seededRandom(64);
    for (let i = 0; i < 100; ++i) {
      const args = withoutFormat(randomArguments(random));
      // --help and --version print no answer: they are no search.
      if (needsDisk(args) || args.includes('--help') || args.includes('--version')) continue;
      const got = await answer({ args, text: true, csv: true, json: true });
      const printed = (['text', 'csv', 'json'] as const).map((format) => runNative([...args, '--format', format]));
      const said = JSON.stringify(args);
      expect([got.text ?? '', got.csv ?? '', got.json ?? ''], said).toEqual(printed.map((p) => p.stdout));
      expect(got.exit, said).toBe(printed[0].exit);
      const stderr = got.exit === 64 ? `tapsmith-cli: ${got.status}\n${got.hint}\n` : got.status === '' ? '' : `${got.status}\n`;
      expect(stderr, said).toBe(printed[0].stderr);
    }
  });

  it('names, for a bad text in any field the form reads, that field, in both languages', async () => {
    for (const row of kFields.filter((r) => r.kind === 'text' && r.optional)) {
      const form = { ...initialForm(), list: 'E96', [row.key]: '7x' };
      const [en, ja] = await Promise.all((['en', 'ja'] as const).map((lang) => answer({ args: buildArguments(form, lang) })));
      expect(en.exit, row.key).toBe(64);
      expect(fieldsOfOptions(en.error?.options ?? []).slice(0, 1), en.status).toEqual([row.key]);
      expect(ja.error?.options).toEqual(en.error?.options);
      expect(ja.status, ja.status).toMatch(/[ぁ-ん]/);
    }
  });
});

describe('a board in tapsmith.mjs', () => {
  const rails = [
    { name: '3V3', form: initialForm() },
    { name: 'VDD.io', form: { ...initialForm(), vo: '1.8', connection: 'series', r1Min: '2k', yield: '1' } },
    { name: 'core-1', form: { ...initialForm(), voMode: 'range', vo: '1.19', vo2: '1.21', list: 'E48', rangeMin: '1k', rangeMax: '10k', r4: 'parallel' } },
  ];
  const boards: BoardState[] = [
    { rails, bom: '', timeLimit: '60', rank: '' },
    { rails: rails.slice(0, 2), bom: '1k, 10k\n2k', timeLimit: '20', rank: 'yield' },
    // No divider meets the second rail; a bad option on the second line.
    { rails: [rails[0], { name: 'low', form: { ...initialForm(), vo: '0.5' } }], bom: '', timeLimit: '', rank: '' },
    { rails: [rails[0], { name: 'bad', form: { ...initialForm(), vfb: '0.8x' } }], bom: '', timeLimit: '', rank: '' },
  ];

  it('runs and answers as the native program prints, in each rendering, the choice in the answer', async () => {
    for (const board of boards) {
      for (const language of ['en', 'ja'] as const) {
        const args = boardArguments(board, language);
        const said = JSON.stringify(args);
        const printed = (['text', 'csv', 'json'] as const).map((format) => runNative(boardArguments(board, language, format)));
        for (const [i, format] of (['text', 'csv', 'json'] as const).entries()) expect(await run(boardArguments(board, language, format)), said).toEqual(printed[i]);
        const got = await answer({ args, text: true, csv: true, json: true });
        expect([got.exit, got.text ?? '', got.csv ?? '', got.json ?? ''], said).toEqual([printed[0].exit, ...printed.map((p) => p.stdout)]);
        if (got.exit === 2 || got.exit === 64) {
          expect(got.error?.line, said).toBe(2);
          continue;
        }
        const chosen = got.board;
        expect(chosen?.rails.map((rail) => [rail.name, rail.line]), said).toEqual(board.rails.map((rail, i) => [rail.name, i + 1]));
        expect(chosen?.rails.every((rail) => rail.match === null), said).toBe(got.exit === 1);
        expect(chosen?.unsolvable, said).toEqual(got.exit === 1 ? ['low'] : []);
        if (chosen?.proven) expect(chosen.bound, said).toBe(chosen.new_values.length);
      }
    }
  });
});

describe('the npm package', () => {
  it('holds the module and its declarations, and runs', async () => {
    const folder = mkdtempSync(join(tmpdir(), 'tapsmith-pack-'));
    const web = join(import.meta.dirname, '../..');
    execFileSync('npm', ['pack', '--silent', '--pack-destination', folder], { cwd: web, env: { ...process.env, TAPSMITH_WEB_BUILD: webBuild } });
    const [tarball] = readdirSync(folder).filter((name) => name.endsWith('.tgz'));
    execFileSync('tar', ['-xzf', tarball], { cwd: folder });
    const files = readdirSync(join(folder, 'package', 'dist')).sort();
    expect(files).toEqual(['tapsmith.d.ts', 'tapsmith.html', 'tapsmith.mjs']);
    const packed = (await import(pathToFileURL(join(folder, 'package', 'dist', 'tapsmith.mjs')).href)) as { run: Run };
    expect(await packed.run(['--version'])).toEqual(runNative(['--version']));
  });
});
