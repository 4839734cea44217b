// The user's own stock lists on the page: the editor below the list choice,
// choosing, making, renaming, deleting (after asking) and loading a list
// from a file. A list's values are searched as they are typed; a file is
// read only as far as the core needs to check it, and goes nowhere until
// the core has.
import type { ListCheck } from './core';
import { text } from './i18n';
import { kOwnList } from './options';
import type { Page, PageActions } from './page_state';
import { WorkerFailed } from './search_client';
import { type StockList, freeName, saveLists } from './stock_lists';

const byId = <T extends HTMLElement>(id: string) => document.getElementById(id) as T;

/** The own list chosen in the form, if one is. */
export function chosenList(page: Page): StockList | undefined {
  const { form } = page.state;
  return form.list === kOwnList ? page.lists.find((list) => list.name === form.own) : undefined;
}

function keepLists(page: Page, actions: PageActions): void {
  // The lists stay on the page either way; only keeping them failed.
  if (!saveLists(page.storage, page.lists)) actions.say(text('ownNotKept', page.state.language));
}

function useList(page: Page, list: StockList | undefined): void {
  page.state.form.list = kOwnList;
  page.state.form.own = list?.name ?? '';
  page.state.form.values = list?.values ?? '';
}

/**
 * A link's own list joins the user's lists, under a free name if one of
 * theirs already has its name with other values.
 */
export function adoptLinkedList(page: Page, actions: PageActions): void {
  const { form, language } = page.state;
  if (form.list !== kOwnList) return;
  const same = page.lists.find((list) => list.name === form.own);
  if (same?.values === form.values) return;
  const name = same === undefined ? form.own || freeName(page.lists, text('ownUnnamed', language)) : freeName(page.lists, form.own);
  page.lists.push({ name, values: form.values });
  form.own = name;
  keepLists(page, actions);
}

/** The list select's value chosen: a built-in list, or "own:<index>". */
export function chooseList(page: Page, actions: PageActions, value: string): void {
  if (value.startsWith(`${kOwnList}:`)) useList(page, page.lists[Number(value.slice(kOwnList.length + 1))]);
  else page.state.form.list = value;
  actions.formChanged();
}

function addList(page: Page, actions: PageActions, name: string, values: string): void {
  const list = { name: freeName(page.lists, name || text('ownUnnamed', page.state.language)), values };
  page.lists.push(list);
  keepLists(page, actions);
  useList(page, list);
  actions.formChanged();
}

function deleteList(page: Page, actions: PageActions): void {
  const list = chosenList(page);
  if (list === undefined || !window.confirm(text('ownDeleteConfirm', page.state.language, list.name))) return;
  page.lists = page.lists.filter((l) => l !== list);
  keepLists(page, actions);
  Object.assign(page.state.form, { list: 'E24', own: '', values: '' });
  actions.formChanged();
}

function renameList(page: Page, actions: PageActions, name: string): void {
  const list = chosenList(page);
  if (list === undefined || name === '') return;
  list.name = freeName(page.lists.filter((l) => l !== list), name);
  page.state.form.own = list.name;
  keepLists(page, actions);
  actions.formChanged(false);
}

function editList(page: Page, actions: PageActions, values: string): void {
  const list = chosenList(page);
  if (list === undefined) return;
  list.values = values;
  page.state.form.values = values;
  keepLists(page, actions);
  actions.formChanged();
}

function showFileError(message: string): void {
  const error = byId('error-own-file');
  error.textContent = message;
  error.hidden = message === '';
}

async function loadListFile(page: Page, actions: PageActions, input: HTMLInputElement): Promise<void> {
  const file = input.files?.[0];
  input.value = '';
  if (file === undefined) return;
  showFileError('');
  let bytes: Uint8Array;
  try {
    // One byte past what a list can hold is enough to know it is too long.
    bytes = new Uint8Array(await file.slice(0, (await actions.listReadLimit()) + 1).arrayBuffer());
  } catch (error) {
    showFileError(`${text('ownFileError', page.state.language)} ${String(error)}`);
    return;
  }
  const checked: ListCheck = await actions.checkList(bytes, file.name).catch((error: unknown) =>
    ({ message: error instanceof WorkerFailed ? text('workerFailed', page.state.language, error.detail) : String(error) }));
  if (checked.values === undefined) {
    showFileError(checked.message ?? '');
    return;
  }
  addList(page, actions, file.name.replace(/\.[^.]*$/, ''), checked.values);
}

/** The editor of the chosen own list, its buttons wired. */
export function ownListEditor(page: Page, actions: PageActions): HTMLElement {
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
        <input id="own-file" type="file" accept=".txt,.csv,text/plain" aria-describedby="error-own-file"></label>
      <button type="button" id="own-delete" data-text="ownDelete"></button>
    </div>
    <p class="field-error" id="error-own-file" role="alert" hidden></p>
    <p class="hint" data-text="ownKept"></p>`;
  const name = editor.querySelector('#own-name') as HTMLInputElement;
  const values = editor.querySelector('#own-values') as HTMLTextAreaElement;
  const file = editor.querySelector('#own-file') as HTMLInputElement;
  name.addEventListener('input', () => renameList(page, actions, name.value));
  values.addEventListener('input', () => editList(page, actions, values.value));
  editor.querySelector('#own-new')?.addEventListener('click', () => {
    addList(page, actions, '', '');
    values.focus();
  });
  editor.querySelector('#own-delete')?.addEventListener('click', () => deleteList(page, actions));
  file.addEventListener('change', () => void loadListFile(page, actions, file));
  return editor;
}

/** Shows the chosen own list in its editor (not over what is being typed). */
export function showOwnList(page: Page): void {
  const list = chosenList(page);
  byId('own-name').closest('.own-list')?.classList.toggle('no-list', list === undefined);
  const name = byId<HTMLInputElement>('own-name');
  const values = byId<HTMLTextAreaElement>('own-values');
  if (document.activeElement !== name) name.value = list?.name ?? '';
  if (document.activeElement !== values) values.value = list?.values ?? '';
  name.disabled = list === undefined;
  byId<HTMLButtonElement>('own-delete').disabled = list === undefined;
}
