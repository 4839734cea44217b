// How a match is named on the page: its resistors as the core wrote them.
import type { AnswerMatch } from './core';
import { type Language, text } from './i18n';

export function matchName(match: AnswerMatch, language: Language): string {
  return text('matchName', language, match.r1, match.r2, match.connection === 'series' ? '+' : '//', match.r3);
}
