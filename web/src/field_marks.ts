// The core's words put at the fields they are about: an error's message at
// the field of its subject (every field of its options marked invalid), and
// each note that names options at those fields. What names no field shown
// is left to the status.
import type { Answer, AnswerNote } from './core';
import { fieldId } from './form';
import { fieldsOfOptions } from './options';

function controlsOf(form: HTMLFormElement, key: string): Element[] {
  if (key === 'values') return [document.getElementById('own-values')].filter((e) => e !== null);
  const single = document.getElementById(fieldId(key));
  return single !== null ? [single] : [...form.querySelectorAll(`input[name="${key}"]`)];
}

// The fields of `options` that the form shows now.
function shownFields(form: HTMLFormElement, options: readonly string[]): string[] {
  return fieldsOfOptions(options).filter((key) => {
    const control = controlsOf(form, key)[0];
    return control !== undefined && control.closest('[hidden]') === null;
  });
}

function say(key: string, message: string, note: boolean): void {
  const element = document.getElementById(`error-${key}`);
  if (element === null) return;
  element.textContent = element.textContent === '' ? message : `${element.textContent}\n${message}`;
  element.classList.toggle('is-note', note);
  element.hidden = false;
}

/** Takes every mark off the form. */
export function clearMarks(form: HTMLFormElement): void {
  for (const element of form.querySelectorAll<HTMLElement>('.field-error:not(#error-own-file)')) {
    element.hidden = true;
    element.textContent = '';
  }
  for (const field of form.querySelectorAll('[aria-invalid]')) field.removeAttribute('aria-invalid');
}

/**
 * Marks the answer's error and notes at their fields; gives back whether the
 * error found a field, and the notes that found none.
 */
export function markAnswer(form: HTMLFormElement, answer: Answer): { errorAtField: boolean; unplaced: AnswerNote[] } {
  clearMarks(form);
  let errorAtField = false;
  if (answer.error !== null) {
    const keys = shownFields(form, answer.error.options);
    for (const key of keys) for (const control of controlsOf(form, key)) control.setAttribute('aria-invalid', 'true');
    if (keys.length > 0) say(keys[0], answer.error.message, false);
    errorAtField = keys.length > 0;
  }
  const unplaced: AnswerNote[] = [];
  for (const note of answer.notes) {
    const [key] = shownFields(form, note.options);
    if (key === undefined) unplaced.push(note);
    else say(key, note.message, true);
  }
  return { errorAtField, unplaced };
}
