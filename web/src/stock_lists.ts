// The user's own stock lists, named, kept in the browser's storage.

export interface StockList {
  name: string;
  values: string;
}

const kStorageKey = 'tapsmith.lists';

/** The lists kept in `storage`; none if there are none or they are unreadable. */
export function loadLists(storage: Storage | undefined): StockList[] {
  try {
    const kept: unknown = JSON.parse(storage?.getItem(kStorageKey) ?? '[]');
    if (!Array.isArray(kept)) return [];
    return kept.filter((list): list is StockList =>
      typeof list?.name === 'string' && typeof list?.values === 'string');
  } catch {
    return [];
  }
}

/** Keeps `lists` in `storage`. Returns false if the storage refused (full, or off). */
export function saveLists(storage: Storage | undefined, lists: readonly StockList[]): boolean {
  try {
    storage?.setItem(kStorageKey, JSON.stringify(lists));
    return storage !== undefined;
  } catch {
    return false;
  }
}

/** `name`, or `name (2)`, `name (3)`... whichever no list in `lists` has. */
export function freeName(lists: readonly StockList[], name: string): string {
  const taken = new Set(lists.map((list) => list.name));
  if (!taken.has(name)) return name;
  for (let n = 2; ; ++n) {
    if (!taken.has(`${name} (${n})`)) return `${name} (${n})`;
  }
}
