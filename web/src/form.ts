// The form: its fields made from the rows of options.ts, and shown for the
// state (labels, which fields show, the configurations' pictures). Each
// control writes its text into the state as typed and tells the page.
import { type TextKey, text } from './i18n';
import { type FieldRow, kFields, kFixedLists, kOwnList, kSampleLists, kSeriesWithRange, labelOf, withWindowMode } from './options';
import { chooseList, chosenList, ownListEditor } from './own_lists';
import type { Page, PageActions } from './page_state';
import { type R4Joint, schematicSvg } from './schematic';

const kGroups: readonly [FieldRow['group'], TextKey][] = [
  ['target', 'target'], ['divider', 'divider'], ['list', 'list'], ['design', 'design'],
];
const kRadioRows = ['voMode', 'config', 'connection', 'r4'];

export function fieldId(key: string): string {
  return `field-${key}`;
}

function errorElement(key: string): HTMLElement {
  const error = document.createElement('p');
  error.className = 'field-error';
  error.id = `error-${key}`;
  error.hidden = true;
  return error;
}

function changed(page: Page, actions: PageActions, key: string, value: string): void {
  if (key === 'voMode') {
    // The window carried over into the other form, as the core read it.
    page.state.form = withWindowMode(page.state.form, value, page.current ? page.shown?.window ?? null : null);
  } else {
    page.state.form[key] = value;
  }
  actions.formChanged();
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

function textField(page: Page, actions: PageActions, row: FieldRow): HTMLElement {
  const { wrap, label } = fieldFrame(row);
  const input = document.createElement('input');
  Object.assign(input, { type: 'text', id: fieldId(row.key), name: row.key, autocomplete: 'off', spellcheck: false });
  input.value = page.state.form[row.key] ?? '';
  const described = [`error-${row.key}`];
  wrap.append(label, input);
  if (row.optional) {
    const hint = document.createElement('span');
    hint.className = 'hint';
    hint.id = `hint-${row.key}`;
    hint.dataset.text = 'optional';
    described.push(hint.id);
    wrap.append(hint);
  }
  input.setAttribute('aria-describedby', described.join(' '));
  input.addEventListener('input', () => changed(page, actions, row.key, input.value));
  wrap.append(errorElement(row.key));
  return wrap;
}

function checkField(page: Page, actions: PageActions, row: FieldRow): HTMLElement {
  const wrap = document.createElement('div');
  wrap.className = 'field check';
  wrap.dataset.key = row.key;
  const input = document.createElement('input');
  Object.assign(input, { type: 'checkbox', id: fieldId(row.key), name: row.key });
  input.checked = page.state.form[row.key] === '1';
  input.setAttribute('aria-describedby', `error-${row.key}`);
  const label = document.createElement('label');
  label.htmlFor = input.id;
  label.dataset.label = row.key;
  input.addEventListener('change', () => changed(page, actions, row.key, input.checked ? '1' : ''));
  wrap.append(input, label, errorElement(row.key));
  return wrap;
}

function radioField(page: Page, actions: PageActions, row: FieldRow): HTMLElement {
  const set = document.createElement('fieldset');
  set.className = `field radios radios-${row.key}`;
  set.dataset.key = row.key;
  set.setAttribute('aria-describedby', `error-${row.key}`);
  const legend = document.createElement('legend');
  legend.dataset.label = row.key;
  set.append(legend);
  for (const [value, labelKey] of row.choices ?? []) {
    const option = document.createElement('label');
    option.className = 'radio';
    const input = document.createElement('input');
    Object.assign(input, { type: 'radio', name: row.key, value });
    input.addEventListener('change', () => input.checked && changed(page, actions, row.key, value));
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

function selectField(page: Page, actions: PageActions, row: FieldRow): HTMLElement {
  const { wrap, label } = fieldFrame(row);
  const select = document.createElement('select');
  select.id = fieldId(row.key);
  select.name = row.key;
  select.setAttribute('aria-describedby', `error-${row.key}`);
  select.addEventListener('change', () => {
    if (row.key === 'list') chooseList(page, actions, select.value);
    else changed(page, actions, row.key, select.value);
  });
  wrap.append(label, select, errorElement(row.key));
  return wrap;
}

function fillSelect(page: Page, row: FieldRow, select: HTMLSelectElement): void {
  const { form, language } = page.state;
  const add = (parent: HTMLElement, value: string, caption: string) => {
    const option = document.createElement('option');
    option.value = value;
    option.textContent = caption;
    parent.append(option);
  };
  select.replaceChildren();
  if (row.key !== 'list') {
    for (const [value, labelKey] of row.choices ?? []) add(select, value, text(labelKey, language));
    select.value = form[row.key] ?? '';
    return;
  }
  const group = (labelKey: TextKey) => {
    const optgroup = document.createElement('optgroup');
    optgroup.label = text(labelKey, language);
    select.append(optgroup);
    return optgroup;
  };
  const series = group('listBuiltIn');
  for (const name of kFixedLists) add(series, name, `${name} (${text('listWhole', language)})`);
  for (const name of kSeriesWithRange) add(series, name, name);
  const samples = group('listSamples');
  for (const name of kSampleLists) add(samples, name, name);
  if (page.lists.length > 0) {
    const own = group('listOwn');
    page.lists.forEach((list, index) => add(own, `${kOwnList}:${index}`, list.name));
  }
  const chosen = chosenList(page);
  select.value = chosen === undefined ? form.list : `${kOwnList}:${page.lists.indexOf(chosen)}`;
}

/** Makes the form's fields inside `form`. */
export function buildForm(form: HTMLFormElement, page: Page, actions: PageActions): void {
  for (const [group, legendKey] of kGroups) {
    const set = document.createElement('fieldset');
    set.className = `group group-${group}`;
    const legend = document.createElement('legend');
    legend.dataset.text = legendKey;
    set.append(legend);
    for (const row of kFields.filter((r) => r.group === group)) {
      set.append(row.kind === 'text' ? textField(page, actions, row) : row.kind === 'check' ? checkField(page, actions, row)
        : kRadioRows.includes(row.key) ? radioField(page, actions, row) : selectField(page, actions, row));
    }
    if (group === 'list') set.append(ownListEditor(page, actions));
    form.append(set);
  }
  form.addEventListener('submit', (event) => event.preventDefault());
}

/** Shows the state in the form: values, labels, which fields show. */
export function showForm(form: HTMLFormElement, page: Page): void {
  const { state } = page;
  for (const row of kFields) {
    const wrap = form.querySelector<HTMLElement>(`[data-key="${row.key}"]`);
    if (wrap === null) continue;
    wrap.hidden = row.shownWhen !== undefined && !row.shownWhen(state.form);
    const label = wrap.querySelector<HTMLElement>(`[data-label="${row.key}"]`);
    if (label !== null) label.textContent = text(labelOf(row, state.form), state.language);
    const value = state.form[row.key] ?? '';
    const control = wrap.querySelector<HTMLInputElement | HTMLSelectElement>(`#${fieldId(row.key)}`);
    if (control instanceof HTMLSelectElement) fillSelect(page, row, control);
    else if (control?.type === 'checkbox') (control as HTMLInputElement).checked = value === '1';
    else if (control !== null && document.activeElement !== control) control.value = value;
    for (const radio of wrap.querySelectorAll<HTMLInputElement>('input[type="radio"]')) radio.checked = radio.value === value;
  }
  const series = state.form.connection === 'series';
  const dnmOnly = state.form.dnmOnly === '1';
  for (const holder of form.querySelectorAll<HTMLElement>('.schematic-holder')) {
    const config = holder.dataset.config ?? 'a';
    holder.innerHTML = schematicSvg(config, series, dnmOnly, text('schematicOf', state.language, config), undefined,
      (state.form.r4 ?? '') as R4Joint);
  }
}
