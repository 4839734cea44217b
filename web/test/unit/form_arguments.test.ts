// The console's arguments as the form builds them, and the URL that keeps
// the form: both ways, with texts kept exactly as typed.
import { describe, expect, it } from 'vitest';

import { buildArguments, fieldsOfOptions, initialForm, kFields, kOwnList, withWindowMode } from '../../src/options';
import { decodeState, encodeState } from '../../src/url_state';

// The value that follows `option` in `args`; undefined when it is absent.
function valueOf(args: string[], option: string): string | undefined {
  const at = args.indexOf(option);
  return at < 0 ? undefined : args[at + 1];
}

describe('arguments built from the form', () => {
  it('passes the window fields as typed, blank ones too, and leaves blank designer fields out', () => {
    const form = { ...initialForm(), vo: ' 3,3x ', r1Max: '', tolerance: '', best: '  ' };
    const args = buildArguments(form, 'en', 'text');
    expect(valueOf(args, '--vo')).toBe(' 3,3x ');
    expect(valueOf(args, '--r1-max')).toBe('');
    expect(args).not.toContain('--tolerance');
    expect(args).not.toContain('--best');
    expect(args.slice(-2)).toEqual(['--lang', 'en']);
  });

  it('gives a tolerance its "%" unless it has one, and a maximum none', () => {
    const typical = (vo2: string) => valueOf(buildArguments({ ...initialForm(), vo2 }, 'ja', 'text'), '--vo2');
    expect(typical('3')).toBe('3%');
    expect(typical('3 %')).toBe('3 %');
    expect(typical('')).toBe('');
    expect(valueOf(buildArguments({ ...initialForm(), voMode: 'range', vo2: '3.4' }, 'ja', 'text'), '--vo2')).toBe('3.4');
  });

  it('gives an own list by its values and a series its range, other lists neither', () => {
    const own = buildArguments({ ...initialForm(), list: kOwnList, own: 'mine', values: '1k, 2k\n3k' }, 'en', 'json');
    expect(valueOf(own, '--values')).toBe('1k, 2k\n3k');
    expect(own).not.toContain('--list');
    expect(own.slice(-2)).toEqual(['--format', 'json']);
    const series = buildArguments({ ...initialForm(), list: 'E96', rangeMin: '1k', rangeMax: '' }, 'en', 'text');
    expect(valueOf(series, '--range')).toBe('1k..');
    expect(buildArguments({ ...initialForm(), list: 'E24', rangeMin: '1k' }, 'en', 'text')).not.toContain('--range');
  });

  it('gives each check box and choice its flags', () => {
    const on = buildArguments({ ...initialForm(), dnmOnly: '1', worstCase: '1', connection: 'series', sort: 'voltage' }, 'en', 'text');
    expect(on).toEqual(expect.arrayContaining(['--dnm-only', '--worst-case', '--serial']));
    expect(valueOf(on, '--sort')).toBe('voltage');
    const off = buildArguments(initialForm(), 'en', 'text');
    expect(off).toEqual(expect.arrayContaining(['--no-dnm-only', '--parallel']));
    expect(off).not.toContain('--worst-case');
    expect(off).not.toContain('--sort');
  });

  it('finds the fields of the options an answer names, subject first', () => {
    expect(fieldsOfOptions(['--current-min', '--current-max'])).toEqual(['currentMin', 'currentMax']);
    expect(fieldsOfOptions(['--range', '--list'])).toEqual(['rangeMin', 'rangeMax', 'list']);
    expect(fieldsOfOptions(['--values'])).toEqual(['values']);
    expect(fieldsOfOptions(['--vo', '--vo', '--lang'])).toEqual(['vo']);
  });
});

describe('the window given the other way', () => {
  const window = { least_text: '3.201', greatest_text: '3.399', typical_text: '3.3', tolerance_text: '3' };

  it('carries the window the core read into the other form, and back', () => {
    const range = withWindowMode({ ...initialForm(), vo: '3.3', vo2: '3' }, 'range', window);
    expect([range.voMode, range.vo, range.vo2]).toEqual(['range', '3.201', '3.399']);
    const typical = withWindowMode(range, 'typical', window);
    expect([typical.voMode, typical.vo, typical.vo2]).toEqual(['typical', '3.3', '3']);
  });

  it('leaves the texts as typed without a window, or when the form does not change', () => {
    const form = { ...initialForm(), vo: '3.3x', vo2: '3' };
    expect(withWindowMode(form, 'range', null)).toEqual({ ...form, voMode: 'range' });
    expect(withWindowMode(form, 'typical', window)).toEqual(form);
  });
});

describe('the URL', () => {
  const typed = { vo: '1.2 & 3#4', vo2: '5%', config: 'c', dnmOnly: '1', list: 'E192', rangeMin: '1k', sort: 'precision', tolerance: '' };

  it('brings back every field it keeps, and the language', () => {
    const form = { ...initialForm(), ...typed };
    const fragment = encodeState({ form, language: 'ja' });
    expect(decodeState(fragment, 'en')).toEqual({ form, language: 'ja' });
  });

  it('keeps only what differs from the first form, and an own list whole', () => {
    expect(encodeState({ form: initialForm(), language: 'en' })).toBe('#lang=en');
    const form = { ...initialForm(), list: kOwnList, own: '在庫 A', values: '1k,2k\r\n4.7k\t10k' };
    const back = decodeState(encodeState({ form, language: 'en' }), 'ja');
    expect(back.form).toEqual(form);
  });

  it('leaves a choice it does not know, and a name it does not know, at the first form', () => {
    const back = decodeState('#config=z&list=E7&dnmOnly=yes&nonsense=1&vo=4', 'en');
    expect(back.form).toEqual({ ...initialForm(), vo: '4' });
    expect(back.language).toBe('en');
    for (const row of kFields) expect(back.form[row.key]).toBeDefined();
  });
});
