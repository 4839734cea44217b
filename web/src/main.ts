// The page: collects the form into the console's arguments, runs them in the
// core worker and shows what comes back. Each handler collects, runs, shows.
import './style.css';

import CoreWorkerScript from './worker?worker&inline';

import { drawChart } from './chart';
import { type CoreRun, type RunResult, checkedArguments } from './core';
import { type Language, type TextKey, browserLanguage, reasonText, text } from './i18n';
import { type JsonReport, type Match, csvRows, jsonReport } from './matches';
import {
  type FieldRow,
  buildArguments,
  fieldsOfReason,
  kFields,
  kFixedLists,
  kOwnList,
  kSampleLists,
  kSeriesWithRange,
  labelOf,
} from './options';
import { schematicSvg } from './schematic';
import { Abandoned, CoreWorker } from './search_client';
import { type StockList, freeName, loadLists, saveLists } from './stock_lists';
import { type PageState, decodeState, encodeState } from './url_state';

declare global {
  interface Window {
    tapsmith: { run(args: readonly string[]): Promise<RunResult> };
  }
}

const byId = <T extends HTMLElement>(id: string) => document.getElementById(id) as T;

function browserStorage(): Storage | undefined {
  try {
    return window.localStorage;
  } catch {
    return undefined;
  }
}

const storage = browserStorage();
let lists: StockList[] = loadLists(storage);
const state: PageState = decodeState(location.hash, browserLanguage(navigator.languages));
adoptLinkedList();

const search = new CoreWorker(() => new CoreWorkerScript(), true);
let scripted: CoreWorker | null = null;

// The hook for other tools: tapsmith-cli's arguments in, what it printed out,
// in a worker of its own that the page's searches never end.
window.tapsmith = {
  async run(args) {
    const checked = checkedArguments(args);
    scripted ??= new CoreWorker(() => new CoreWorkerScript(), false);
    const [{ exit, stdout, stderr }] = await scripted.run([checked]);
    return { exit, stdout, stderr };
  },
};

// ---------------------------------------------------------------- the form

const form = byId<HTMLFormElement>('form');
const kGroups: readonly [FieldRow['group'], TextKey][] = [
  ['target', 'target'], ['divider', 'divider'], ['list', 'list'], ['design', 'design'],
];

function fieldId(key: string): string {
  return `field-${key}`;
}

function errorElement(key: string): HTMLElement {
  const error = document.createElement('p');
  error.className = 'field-error';
  error.id = `error-${key}`;
  error.hidden = true;
  return error;
}

// A field's box and its label, tied to the control that will take its id.
function fieldFrame(row: FieldRow): { wrap: HTMLElement; label: HTMLLabelElement } {
  const wrap = document.createElement('div');
  wrap.className = 'field';
  wrap.dataset.key = row.key;
  const label = document.createElement('label');
  label.htmlFor = fieldId(row.key);
  label.dataset.label = row.key;
  return { wrap, label };
}

function textField(row: FieldRow): HTMLElement {
  const { wrap, label } = fieldFrame(row);
  const input = document.createElement('input');
  input.type = 'text';
  input.id = fieldId(row.key);
  input.name = row.key;
  input.autocomplete = 'off';
  input.spellcheck = false;
  input.value = state.form[row.key] ?? '';
  const described = [`error-${row.key}`];
  if (row.optional) {
    const hint = document.createElement('span');
    hint.className = 'hint';
    hint.id = `hint-${row.key}`;
    hint.dataset.text = 'optional';
    described.push(hint.id);
    wrap.append(label, input, hint);
  } else {
    wrap.append(label, input);
  }
  input.setAttribute('aria-describedby', described.join(' '));
  input.addEventListener('input', () => changed(row.key, input.value));
  wrap.append(errorElement(row.key));
  return wrap;
}

function checkField(row: FieldRow): HTMLElement {
  const wrap = document.createElement('div');
  wrap.className = 'field check';
  wrap.dataset.key = row.key;
  const input = document.createElement('input');
  input.type = 'checkbox';
  input.id = fieldId(row.key);
  input.name = row.key;
  input.checked = state.form[row.key] === '1';
  input.setAttribute('aria-describedby', `error-${row.key}`);
  const label = document.createElement('label');
  label.htmlFor = input.id;
  label.dataset.label = row.key;
  input.addEventListener('change', () => changed(row.key, input.checked ? '1' : ''));
  wrap.append(input, label, errorElement(row.key));
  return wrap;
}

function radioField(row: FieldRow): HTMLElement {
  const set = document.createElement('fieldset');
  set.className = `field radios radios-${row.key}`;
  set.dataset.key = row.key;
  const legend = document.createElement('legend');
  legend.dataset.label = row.key;
  set.append(legend);
  for (const [value, labelKey] of row.choices ?? []) {
    const option = document.createElement('label');
    option.className = 'radio';
    const input = document.createElement('input');
    input.type = 'radio';
    input.name = row.key;
    input.value = value;
    input.checked = state.form[row.key] === value;
    input.addEventListener('change', () => input.checked && changed(row.key, value));
    const caption = document.createElement('span');
    if (row.key === 'config') {
      caption.className = 'config-caption';
      caption.textContent = `[${value}]`;
      const picture = document.createElement('span');
      picture.className = 'schematic-holder';
      picture.dataset.config = value;
      option.append(input, caption, picture);
    } else {
      caption.dataset.text = labelKey;
      option.append(input, caption);
    }
    set.append(option);
  }
  set.append(errorElement(row.key));
  return set;
}

function selectField(row: FieldRow): HTMLElement {
  const { wrap, label } = fieldFrame(row);
  const select = document.createElement('select');
  select.id = fieldId(row.key);
  select.name = row.key;
  select.setAttribute('aria-describedby', `error-${row.key}`);
  select.addEventListener('change', () => {
    if (row.key === 'list') chooseList(select.value);
    else changed(row.key, select.value);
  });
  wrap.append(label, select, errorElement(row.key));
  return wrap;
}

function fillSelect(row: FieldRow): void {
  const select = byId<HTMLSelectElement>(fieldId(row.key));
  select.replaceChildren();
  const add = (parent: HTMLElement, value: string, caption: string) => {
    const option = document.createElement('option');
    option.value = value;
    option.textContent = caption;
    parent.append(option);
  };
  const lang = state.language;
  if (row.key !== 'list') {
    for (const [value, labelKey] of row.choices ?? []) add(select, value, text(labelKey, lang));
    select.value = state.form[row.key] ?? '';
    return;
  }
  const group = (labelKey: TextKey) => {
    const optgroup = document.createElement('optgroup');
    optgroup.label = text(labelKey, lang);
    select.append(optgroup);
    return optgroup;
  };
  const series = group('listBuiltIn');
  for (const name of kFixedLists) add(series, name, `${name} (${text('listWhole', lang)})`);
  for (const name of kSeriesWithRange) add(series, name, name);
  const samples = group('listSamples');
  for (const name of kSampleLists) add(samples, name, name);
  if (lists.length > 0) {
    const own = group('listOwn');
    lists.forEach((list, index) => add(own, `${kOwnList}:${index}`, list.name));
  }
  const chosen = state.form.list === kOwnList ? lists.findIndex((l) => l.name === state.form.own) : -1;
  select.value = state.form.list === kOwnList ? `${kOwnList}:${chosen}` : state.form.list;
}

function ownListEditor(): HTMLElement {
  const editor = document.createElement('div');
  editor.className = 'own-list';
  editor.innerHTML = `
    <div class="field"><label for="own-name" data-text="ownName"></label>
      <input id="own-name" type="text" autocomplete="off" spellcheck="false"></div>
    <div class="field"><label for="own-values" data-text="ownValues"></label>
      <textarea id="own-values" rows="6" spellcheck="false" aria-describedby="error-values"></textarea>
      <p class="field-error" id="error-values" hidden></p></div>
    <div class="own-actions">
      <button type="button" id="own-new" data-text="ownNew"></button>
      <label class="file-button"><span data-text="ownLoad"></span>
        <input id="own-file" type="file" accept=".txt,.csv,text/plain"></label>
      <button type="button" id="own-delete" data-text="ownDelete"></button>
    </div>
    <p class="hint" data-text="ownKept"></p>`;
  return editor;
}

function buildForm(): void {
  for (const [group, legendKey] of kGroups) {
    const set = document.createElement('fieldset');
    set.className = `group group-${group}`;
    const legend = document.createElement('legend');
    legend.dataset.text = legendKey;
    set.append(legend);
    for (const row of kFields.filter((r) => r.group === group)) {
      const radios = row.kind === 'choice' && ['voMode', 'config', 'connection'].includes(row.key);
      set.append(row.kind === 'text' ? textField(row) : row.kind === 'check' ? checkField(row)
        : radios ? radioField(row) : selectField(row));
    }
    if (group === 'list') set.append(ownListEditor());
    form.append(set);
  }
  form.addEventListener('submit', (event) => event.preventDefault());
  byId<HTMLInputElement>('own-name').addEventListener('input', (event) => renameList((event.target as HTMLInputElement).value));
  byId<HTMLTextAreaElement>('own-values').addEventListener('input', (event) => editList((event.target as HTMLTextAreaElement).value));
  byId('own-new').addEventListener('click', newList);
  byId('own-delete').addEventListener('click', deleteList);
  byId<HTMLInputElement>('own-file').addEventListener('change', (event) => void loadListFile(event.target as HTMLInputElement));
}

// ------------------------------------------------------------ own lists

function chosenList(): StockList | undefined {
  return state.form.list === kOwnList ? lists.find((list) => list.name === state.form.own) : undefined;
}

function keepLists(): void {
  // The lists stay on the page either way; only keeping them failed.
  if (!saveLists(storage, lists)) showStatus(text('ownNotKept', state.language));
}

// A link's own list joins the user's lists, under a free name if one of
// theirs already has its name with other values.
function adoptLinkedList(): void {
  if (state.form.list !== kOwnList) return;
  const same = lists.find((list) => list.name === state.form.own);
  if (same?.values === state.form.values) return;
  const name = same === undefined ? state.form.own || freeName(lists, text('ownUnnamed', state.language)) : freeName(lists, state.form.own);
  lists.push({ name, values: state.form.values });
  state.form.own = name;
  keepLists();
}

function chooseList(value: string): void {
  if (value.startsWith(`${kOwnList}:`)) {
    const list = lists[Number(value.slice(kOwnList.length + 1))];
    state.form.list = kOwnList;
    state.form.own = list?.name ?? '';
    state.form.values = list?.values ?? '';
  } else {
    state.form.list = value;
  }
  formChanged();
}

function newList(): void {
  const list = { name: freeName(lists, text('ownUnnamed', state.language)), values: '' };
  lists.push(list);
  keepLists();
  state.form.list = kOwnList;
  state.form.own = list.name;
  state.form.values = '';
  formChanged();
  byId('own-values').focus();
}

function deleteList(): void {
  const list = chosenList();
  if (list === undefined) return;
  lists = lists.filter((l) => l !== list);
  keepLists();
  state.form.list = 'E24';
  state.form.own = '';
  state.form.values = '';
  formChanged();
}

function renameList(name: string): void {
  const list = chosenList();
  if (list === undefined || name === '') return;
  list.name = freeName(lists.filter((l) => l !== list), name);
  state.form.own = list.name;
  keepLists();
  formChanged(false);
}

function editList(values: string): void {
  const list = chosenList();
  if (list === undefined) return;
  list.values = values;
  state.form.values = values;
  keepLists();
  formChanged(false);
}

async function loadListFile(input: HTMLInputElement): Promise<void> {
  const file = input.files?.[0];
  if (file === undefined) return;
  try {
    const values = await file.text();
    const list = { name: freeName(lists, file.name.replace(/\.[^.]*$/, '') || text('ownUnnamed', state.language)), values };
    lists.push(list);
    keepLists();
    state.form.list = kOwnList;
    state.form.own = list.name;
    state.form.values = values;
    formChanged();
  } catch (error) {
    showStatus(`${text('ownFileError', state.language)} ${String(error)}`);
  }
  input.value = '';
}

// ------------------------------------------------------------ showing

function showForm(): void {
  const lang = state.language;
  for (const row of kFields) {
    const wrap = form.querySelector<HTMLElement>(`[data-key="${row.key}"]`);
    if (wrap === null) continue;
    wrap.hidden = row.shownWhen !== undefined && !row.shownWhen(state.form);
    const label = wrap.querySelector<HTMLElement>(`[data-label="${row.key}"]`);
    if (label !== null) label.textContent = text(labelOf(row, state.form), lang);
    if (row.kind === 'choice' && wrap.tagName !== 'FIELDSET') fillSelect(row);
  }
  const series = state.form.connection === 'series';
  const dnmOnly = state.form.dnmOnly === '1';
  for (const holder of form.querySelectorAll<HTMLElement>('.schematic-holder')) {
    const config = holder.dataset.config ?? 'a';
    holder.innerHTML = schematicSvg(config, series, dnmOnly, text('schematicOf', lang, config));
  }
  const list = chosenList();
  const editor = form.querySelector<HTMLElement>('.own-list');
  if (editor !== null) editor.classList.toggle('no-list', list === undefined);
  const name = byId<HTMLInputElement>('own-name');
  const values = byId<HTMLTextAreaElement>('own-values');
  if (document.activeElement !== name) name.value = list?.name ?? '';
  if (document.activeElement !== values) values.value = list?.values ?? '';
  name.disabled = list === undefined;
  byId<HTMLButtonElement>('own-delete').disabled = list === undefined;
}

function showTexts(): void {
  const lang = state.language;
  document.documentElement.lang = lang;
  document.title = text('title', lang);
  for (const element of document.querySelectorAll<HTMLElement>('[data-text]')) {
    element.textContent = text(element.dataset.text as TextKey, lang);
  }
  const other: Language = lang === 'ja' ? 'en' : 'ja';
  const switcher = byId('switch-language');
  switcher.lang = other;
  switcher.setAttribute('aria-label', text('switchLanguageLabel', lang));
  showForm();
}

function showStatus(message: string): void {
  byId('status').textContent = message;
}

function clearFieldErrors(): void {
  for (const error of form.querySelectorAll<HTMLElement>('.field-error')) {
    error.hidden = true;
    error.textContent = '';
  }
  for (const field of form.querySelectorAll('[aria-invalid]')) field.removeAttribute('aria-invalid');
}

function markField(key: string, message: string): void {
  const error = document.getElementById(`error-${key}`);
  if (error === null) return;
  error.textContent = message;
  error.hidden = false;
  const input = key === 'values' ? byId('own-values') : document.getElementById(fieldId(key));
  input?.setAttribute('aria-invalid', 'true');
  for (const radio of form.querySelectorAll(`input[name="${key}"]`)) radio.setAttribute('aria-invalid', 'true');
}

const kColumns: Record<string, TextKey> = {
  r1: 'colR1', r2: 'colR2', r3: 'colR3', connection: 'colConnection', vout: 'colVout',
  deviation_percent: 'colDeviation', vout_min: 'colLeast', vout_max: 'colGreatest', current_a: 'colCurrent', yield: 'colYield',
};

// The search shown: the console's JSON (numbers for the chart and the
// sorting), its CSV (the texts the table shows), and its text report.
let shown: { report: JsonReport; run: CoreRun; texts: Record<string, string>[]; csv: string } | null = null;
let order: { key: string; descending: boolean } | null = null;

function cellText(value: string): string {
  if (value === 'series') return text('series', state.language);
  if (value === 'parallel') return text('parallel', state.language);
  return value;
}

function showTable(matches: readonly Match[], texts: readonly Record<string, string>[]): void {
  const table = byId<HTMLTableElement>('matches');
  const head = table.tHead as HTMLTableSectionElement;
  const body = table.tBodies[0];
  const keys = matches.length > 0 ? Object.keys(matches[0]) : [];
  const row = document.createElement('tr');
  for (const key of keys) {
    const th = document.createElement('th');
    th.scope = 'col';
    const button = document.createElement('button');
    button.type = 'button';
    button.textContent = key in kColumns ? text(kColumns[key], state.language) : key;
    button.addEventListener('click', () => sortBy(key));
    if (order?.key === key) th.setAttribute('aria-sort', order.descending ? 'descending' : 'ascending');
    th.append(button);
    row.append(th);
  }
  head.replaceChildren(row);
  let rows = matches.map((match, index) => ({ match, texts: texts[index] ?? {} }));
  if (order !== null) {
    const { key, descending } = order;
    const compare = (a: Match, b: Match) => {
      const x = a[key], y = b[key];
      if (typeof x === 'number' && typeof y === 'number') return x - y;
      return String(x ?? '').localeCompare(String(y ?? ''), undefined, { numeric: true });
    };
    rows = rows.sort((a, b) => (descending ? compare(b.match, a.match) : compare(a.match, b.match)));
  }
  body.replaceChildren(...rows.map(({ match, texts: cells }) => {
    const tr = document.createElement('tr');
    for (const key of keys) {
      const td = document.createElement('td');
      td.textContent = cellText(cells[key] ?? '');
      if (typeof match[key] === 'number') td.className = 'number';
      tr.append(td);
    }
    return tr;
  }));
  if (matches.length === 0) {
    const tr = document.createElement('tr');
    const td = document.createElement('td');
    td.textContent = text('nothingShown', state.language);
    tr.append(td);
    body.replaceChildren(tr);
  }
}

function sortBy(key: string): void {
  order = order?.key === key ? { key, descending: !order.descending } : { key, descending: false };
  if (shown !== null) showTable(shown.report.matches, shown.texts);
  byId('matches').querySelector<HTMLElement>(`th[aria-sort] button`)?.focus();
}

function showChart(): void {
  const holder = byId('chart');
  if (shown === null) {
    holder.replaceChildren();
    return;
  }
  const chart = drawChart(shown.report.matches, shown.run.window, state.language, Math.max(280, holder.clientWidth));
  holder.replaceChildren(...(chart === null ? [] : [chart]));
}

function showResults(json: CoreRun, report: CoreRun, csv: CoreRun): void {
  clearFieldErrors();
  const results = document.querySelector('.results') as HTMLElement;
  const lang = state.language;
  if (report.exit === 64) {
    const reason = report.stderr.split('\n')[0].replace(/^tapsmith-cli: /, '');
    const message = reasonText(reason, lang);
    const fields = fieldsOfReason(reason).filter((key) => !(key === 'list' && state.form.list === kOwnList));
    if (state.form.list === kOwnList && reason.startsWith('--values')) fields.push('values');
    for (const key of fields) markField(key, message);
    showStatus(`${text(fields.length > 0 ? 'fieldError' : 'usageError', lang)} ${message}`);
    results.classList.add('stale');
    showDownloads(false);
    return;
  }
  results.classList.remove('stale');
  const status = report.stderr.replace(/\n$/, '');
  showStatus(status);
  if (report.exit === 2) {
    // The window's format error names the field text below its status.
    const [, fieldText] = status.split('\n');
    const windowFields = ['vo', 'vo2', 'r1Min', 'r1Max', 'vfb', 'digits'];
    for (const key of windowFields) {
      if (fieldText !== undefined && state.form[key] === fieldText) markField(key, status.replace('\n', ': '));
    }
    if (fieldText === undefined) markField(state.form.list === kOwnList ? 'values' : 'list', status);
  }
  const parsed = jsonReport(json.stdout);
  shown = parsed === null ? null : { report: parsed, run: json, texts: csvRows(csv.stdout), csv: csv.stdout };
  byId('report').textContent = report.stdout;
  showTable(parsed?.matches ?? [], shown?.texts ?? []);
  showDownloads(shown !== null);
  showChart();
}

// ------------------------------------------------------------ searching

let searchTimer: number | undefined;
// Each change of the inputs starts a new generation; a result that comes
// back for an older one is for inputs that are gone.
let generation = 0;

async function runSearch(): Promise<void> {
  const mine = ++generation;
  // A search still running is for inputs that are gone: end it.
  search.abandon();
  const lang = state.language;
  const runs = (['json', 'text', 'csv'] as const).map((format) => buildArguments(state.form, lang, format));
  document.querySelector('.results')?.setAttribute('aria-busy', 'true');
  try {
    const [json, report, csv] = await search.run(runs);
    if (mine !== generation) return;
    showResults(json, report, csv);
    document.querySelector('.results')?.removeAttribute('aria-busy');
    const searched = Number(document.body.dataset.searched ?? '0') + 1;
    document.body.dataset.searched = String(searched);
    // For the speed script (web/bench): when the first result was shown.
    if (searched === 1) performance.mark('tapsmith:first-result');
  } catch (error) {
    if (error instanceof Abandoned || mine !== generation) return;
    document.querySelector('.results')?.removeAttribute('aria-busy');
    showStatus(String(error));
  }
}

// Searches once the typing pauses; the page answers first, the worker
// that is ended and started again comes after.
function scheduleSearch(): void {
  ++generation;
  window.clearTimeout(searchTimer);
  showStatus(text('searching', state.language));
  document.querySelector('.results')?.setAttribute('aria-busy', 'true');
  searchTimer = window.setTimeout(() => void runSearch(), 180);
}

let urlPending = false;

function keepInUrl(): void {
  urlPending = false;
  history.replaceState(null, '', encodeState(state));
}

// Chromium takes some milliseconds to replace a file:// page's URL: done
// right after the next frame, not inside the handler that answers the user.
function keepInUrlSoon(): void {
  if (urlPending) return;
  urlPending = true;
  requestAnimationFrame(() => setTimeout(() => urlPending && keepInUrl()));
}

function formChanged(search = true): void {
  showForm();
  keepInUrlSoon();
  if (search) scheduleSearch();
}

function changed(key: string, value: string): void {
  state.form[key] = value;
  formChanged();
}

function showDownloads(enabled: boolean): void {
  for (const id of ['download-csv', 'download-json']) byId<HTMLButtonElement>(id).disabled = !enabled;
}

// The console's own CSV and JSON of the search shown.
function download(format: 'csv' | 'json'): void {
  if (shown === null) return;
  const type = format === 'csv' ? 'text/csv' : 'application/json';
  const output = format === 'csv' ? shown.csv : shown.run.stdout;
  const url = URL.createObjectURL(new Blob([output], { type: `${type};charset=utf-8` }));
  const link = document.createElement('a');
  link.href = url;
  link.download = `tapsmith.${format}`;
  document.body.append(link);
  link.click();
  link.remove();
  setTimeout(() => URL.revokeObjectURL(url), 1000);
}

async function copyLink(): Promise<void> {
  keepInUrl();
  const shownLink = byId('link-shown');
  const input = byId<HTMLInputElement>('link-text');
  input.value = location.href;
  shownLink.hidden = false;
  try {
    await navigator.clipboard.writeText(location.href);
    showStatus(text('linkCopied', state.language));
  } catch {
    input.select();
  }
}

function switchLanguage(): void {
  state.language = state.language === 'ja' ? 'en' : 'ja';
  showTexts();
  keepInUrlSoon();
  scheduleSearch();
}

buildForm();
showTexts();
byId('switch-language').addEventListener('click', switchLanguage);
byId('copy-link').addEventListener('click', () => void copyLink());
byId('download-csv').addEventListener('click', () => download('csv'));
byId('download-json').addEventListener('click', () => download('json'));
let chartWidth = 0;
new ResizeObserver(() => {
  // The chart's own height changes the holder too: redraw on a new width only.
  if (byId('chart').clientWidth === chartWidth) return;
  chartWidth = byId('chart').clientWidth;
  showChart();
}).observe(byId('chart'));
// A link pasted over this page's own: start afresh from it.
window.addEventListener('hashchange', () => location.reload());
showStatus(text('starting', state.language));
void runSearch();
