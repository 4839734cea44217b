// The inputs kept in the page's URL, and "Copy link".
import { text } from './i18n';
import type { Page } from './page_state';
import { encodeState } from './url_state';

export interface Link {
  /** Keeps the inputs in the URL soon, outside the handler that answers the user. */
  keepSoon(): void;
  /** Puts the link on the clipboard, or shows it to be copied by hand. */
  copy(): Promise<void>;
}

export function pageLink(page: Page, say: (message: string) => void): Link {
  let pending = false;
  const keep = () => {
    pending = false;
    history.replaceState(null, '', encodeState(page.state, page));
  };
  return {
    // Chromium takes some milliseconds to replace a file:// page's URL: done
    // right after the next frame.
    keepSoon() {
      if (pending) return;
      pending = true;
      requestAnimationFrame(() => setTimeout(() => pending && keep()));
    },
    async copy() {
      keep();
      const input = document.getElementById('link-text') as HTMLInputElement;
      input.value = location.href;
      (document.getElementById('link-shown') as HTMLElement).hidden = false;
      try {
        await navigator.clipboard.writeText(location.href);
        say(text('linkCopied', page.state.language));
      } catch {
        input.select();
      }
    },
  };
}
