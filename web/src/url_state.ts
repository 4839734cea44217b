// Every input in the page's URL, after "#", so that a link reopens the same
// search: the fields that differ from the page's first values, the language,
// and an own list's name and values when it is the one chosen.
import { type Language, kLanguages } from './i18n';
import { type FormState, initialForm, kFields, kOwnList } from './options';

export interface PageState {
  form: FormState;
  language: Language;
}

/** The URL fragment (with its "#") for the state. */
export function encodeState(state: PageState): string {
  const initial = initialForm();
  const params = new URLSearchParams();
  params.set('lang', state.language);
  for (const row of kFields) {
    const value = state.form[row.key] ?? row.initial;
    if (value !== initial[row.key]) params.set(row.key, value);
  }
  if (state.form.list === kOwnList) {
    params.set('own', state.form.own ?? '');
    params.set('values', state.form.values ?? '');
  }
  return `#${params.toString()}`;
}

/**
 * The state a fragment holds, over the first values; a choice it holds that
 * the form has not is left at its first value, unknown names are ignored.
 * `language` is taken when the fragment names none.
 */
export function decodeState(fragment: string, language: Language): PageState {
  const params = new URLSearchParams(fragment.replace(/^#/, ''));
  const form = initialForm();
  for (const row of kFields) {
    const value = params.get(row.key);
    if (value === null) continue;
    const allowed = row.kind === 'check' ? ['', '1'] : row.choices?.map(([choice]) => choice);
    const ownList = row.key === 'list' && value === kOwnList;
    if (allowed === undefined || allowed.includes(value) || ownList) form[row.key] = value;
  }
  if (form.list === kOwnList) {
    form.own = params.get('own') ?? '';
    form.values = params.get('values') ?? '';
  }
  const named = params.get('lang');
  return { form, language: kLanguages.find((l) => l === named) ?? language };
}
