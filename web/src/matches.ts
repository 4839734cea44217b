// How a match is named on the page: its resistors as the core wrote them.
import type { AnswerMatch } from './core';
import { type Language, text } from './i18n';

export function matchName(match: AnswerMatch, language: Language): string {
  const pair = match.connection === 'series' ? '+' : '//';
  if (match.r4 === null || match.r4 === undefined) return text('matchName', language, match.r1, match.r2, pair, match.r3);
  return text('matchNameR4', language, match.r1, match.r2, pair, match.r3, match.r4_connection === 'series' ? '+' : '//', match.r4);
}
