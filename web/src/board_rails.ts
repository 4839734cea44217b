// The board's rails on the page: the bar at the top of the form, which adds
// the form as a rail or writes it back to the rail it was loaded from, and
// the table of the rails, each with its key inputs, renamed in place (by the
// board file's name rules), loaded into the form, moved or removed. The
// core's word on a rail (no divider meets it, the line at fault) marks its row.
import { type Rail, freshRailName, movedRails, railNameProblem, railUnwritable } from './board';
import { type Language, type TextKey, text } from './i18n';
import { type FormState, kOwnList, kSeriesWithRange } from './options';
import { adoptLinkedList } from './own_lists';
import type { Page, PageActions } from './page_state';

const byId = <T extends HTMLElement>(id: string) => document.getElementById(id) as T;

function button(label: string, className: string, aria: string, click: () => void): HTMLButtonElement {
  const made = Object.assign(document.createElement('button'), { type: 'button', className, textContent: label });
  made.setAttribute('aria-label', aria);
  made.title = aria;
  made.addEventListener('click', click);
  return made;
}

// The typical output voltage as typed, or as the core read the window given by its ends.
function typicalOf(page: Page): string | null {
  const { form } = page.state;
  if (form.voMode !== 'range') return form.vo ?? null;
  return page.current ? page.shown?.window?.typical_text ?? null : null;
}

function railNote(message: string): void {
  byId('rail-note').textContent = message;
}

/** The bar above the form's fields: add the form as a rail, or update the rail it holds. */
export function railBar(page: Page, actions: PageActions): HTMLElement {
  const bar = document.createElement('div');
  bar.className = 'rail-bar';
  bar.innerHTML = `<button type="button" id="rail-add" data-text="railAdd"></button>
    <button type="button" id="rail-update" hidden></button>
    <button type="button" id="rail-cancel" data-text="railCancel" hidden></button>
    <p id="rail-note" class="rail-note" role="status"></p>`;
  const unwritable = () => {
    const refused = railUnwritable(page.state.form);
    if (refused) railNote(text('railUnwritable', page.state.language));
    return refused;
  };
  bar.querySelector('#rail-add')?.addEventListener('click', () => {
    if (unwritable()) return;
    const rail = { name: freshRailName(page.board.rails, typicalOf(page)), form: { ...page.state.form } };
    page.board.rails.push(rail);
    page.editing = null;
    railNote(text('railAdded', page.state.language, rail.name));
    actions.boardChanged();
  });
  bar.querySelector('#rail-update')?.addEventListener('click', () => {
    const rail = page.editing;
    if (rail === null || unwritable()) return;
    rail.form = { ...page.state.form };
    page.editing = null;
    railNote(text('railUpdated', page.state.language, rail.name));
    actions.boardChanged();
  });
  bar.querySelector('#rail-cancel')?.addEventListener('click', () => {
    page.editing = null;
    railNote('');
    showRails(page, actions);
  });
  return bar;
}

/** Shows the bar for the rail being edited, if there is one. */
export function showRailBar(page: Page): void {
  if (page.editing !== null && !page.board.rails.includes(page.editing)) page.editing = null;
  const editing = page.editing;
  const update = byId<HTMLButtonElement>('rail-update');
  update.hidden = editing === null;
  byId('rail-cancel').hidden = editing === null;
  if (editing === null) return;
  update.textContent = text('railUpdate', page.state.language, editing.name);
  railNote(text('railEditing', page.state.language, editing.name));
}

function windowText(form: FormState, language: Language): string {
  if (form.voMode === 'range') return text('voltsRange', language, form.vo ?? '', form.vo2 ?? '');
  return text('voltsTolerance', language, form.vo ?? '', (form.vo2 ?? '').replace(/%\s*$/, '').trim());
}

function listText(form: FormState): string {
  if (form.list === kOwnList) return form.own ?? '';
  return kSeriesWithRange.includes(form.list) ? `${form.list} ${form.rangeMin}..${form.rangeMax}` : form.list;
}

// The key inputs of a rail, a cell each, as typed.
function inputCells(form: FormState, language: Language): [TextKey, string][] {
  const joined = (how: string | undefined) => text(how === 'series' ? 'cellSeries' : 'cellParallel', language);
  return [
    ['colWindow', windowText(form, language)],
    ['colVfb', text('volts', language, form.vfb ?? '')],
    ['colConfig', `[${form.config}] R2 ${form.connection === 'series' ? '+' : '//'} R3`],
    ['colR4Joint', form.r4 === '' || form.r4 === undefined ? text('railR4None', language) : joined(form.r4)],
    ['colList', listText(form)],
  ];
}

function renamed(page: Page, actions: PageActions, rail: Rail, input: HTMLInputElement): void {
  const problem = railNameProblem(input.value, page.board.rails, rail);
  const error = byId('error-rail-name');
  error.hidden = problem === null;
  error.textContent = problem === null ? '' : text(problem, page.state.language, input.value);
  if (problem !== null) {
    input.setAttribute('aria-invalid', 'true');
    return;
  }
  input.removeAttribute('aria-invalid');
  rail.name = input.value;
  showRailBar(page);
  actions.boardChanged(false);
}

function edit(page: Page, actions: PageActions, rail: Rail): void {
  page.state.form = { ...rail.form };
  // A rail's own list, kept with the rail, is one of the user's lists again.
  adoptLinkedList(page, actions);
  page.editing = rail;
  railNote('');
  actions.formChanged();
  showRails(page, actions);
  byId('field-vo').focus();
}

function moved(page: Page, actions: PageActions, index: number, by: -1 | 1): void {
  page.board.rails = movedRails(page.board.rails, index, by);
  actions.boardChanged();
  // The keyboard stays with the rail, on the same button while it can move on.
  const row = byId('rails').querySelectorAll('tbody tr')[index + by];
  const same = row?.querySelector<HTMLButtonElement>(by < 0 ? '.rail-up' : '.rail-down');
  (same?.disabled === false ? same : row?.querySelector<HTMLButtonElement>('.rail-edit'))?.focus();
}

function removed(page: Page, actions: PageActions, rail: Rail): void {
  if (!window.confirm(text('railRemoveConfirm', page.state.language, rail.name))) return;
  page.board.rails = page.board.rails.filter((r) => r !== rail);
  actions.boardChanged();
}

function railRow(page: Page, actions: PageActions, rail: Rail, index: number): HTMLTableRowElement {
  const { language } = page.state;
  const count = page.board.rails.length;
  const row = document.createElement('tr');
  if (rail === page.editing) row.setAttribute('aria-current', 'true');
  const name = document.createElement('td');
  name.className = 'rail-name';
  const input = Object.assign(document.createElement('input'), { type: 'text', value: rail.name, autocomplete: 'off', spellcheck: false });
  input.setAttribute('aria-label', text('railNameLabel', language, String(index + 1)));
  input.setAttribute('aria-describedby', 'error-rail-name');
  input.addEventListener('input', () => renamed(page, actions, rail, input));
  name.append(input, Object.assign(document.createElement('span'), { className: 'rail-mark' }));
  row.append(name);
  for (const [label, shown] of inputCells(rail.form, language)) {
    const cell = document.createElement('td');
    cell.dataset.label = text(label, language);
    cell.textContent = shown;
    row.append(cell);
  }
  const tools = document.createElement('td');
  tools.className = 'rail-tools';
  const up = button('↑', 'rail-up', text('railUp', language, rail.name), () => moved(page, actions, index, -1));
  const down = button('↓', 'rail-down', text('railDown', language, rail.name), () => moved(page, actions, index, 1));
  up.disabled = index === 0;
  down.disabled = index === count - 1;
  tools.append(button(text('railEdit', language), 'rail-edit', text('railEditLabel', language, rail.name), () => edit(page, actions, rail)),
    up, down, button('✕', 'rail-remove', text('railRemove', language, rail.name), () => removed(page, actions, rail)));
  row.append(tools);
  return row;
}

/** Draws the rails' table for the board as it is, with the core's marks. */
export function showRails(page: Page, actions: PageActions): void {
  const { language } = page.state;
  const table = byId<HTMLTableElement>('rails');
  const head = document.createElement('tr');
  const labels: TextKey[] = ['colName', 'colWindow', 'colVfb', 'colConfig', 'colR4Joint', 'colList', 'colActions'];
  head.append(...labels.map((label) => Object.assign(document.createElement('th'), { scope: 'col', textContent: text(label, language) })));
  table.tHead?.replaceChildren(head);
  table.tBodies[0].replaceChildren(...page.board.rails.map((rail, index) => railRow(page, actions, rail, index)));
  byId('rails-scroll').hidden = page.board.rails.length === 0;
  byId('rails-none').hidden = page.board.rails.length > 0;
  byId('error-rail-name').hidden = true;
  showRailBar(page);
  markRails(page);
}

/** Marks the rows the core's answer is about: those no divider meets, the line at fault. */
export function markRails(page: Page): void {
  const answer = page.boardCurrent ? page.boardShown : null;
  const unsolvable = answer?.board?.unsolvable ?? [];
  const line = answer?.error?.line ?? null;
  byId('rails').querySelectorAll('tbody tr').forEach((row, index) => {
    const rail = page.board.rails[index];
    const fault = line === index + 1;
    const none = rail !== undefined && unsolvable.includes(rail.name);
    row.classList.toggle('at-fault', fault);
    row.classList.toggle('unsolvable', none);
    const mark = row.querySelector('.rail-mark');
    if (mark !== null) mark.textContent = fault ? text('railAtFault', page.state.language) : none ? text('railUnsolvable', page.state.language) : '';
  });
}
