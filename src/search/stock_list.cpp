// The stock list: one resistance a line, read into a table sorted by value.
#include <cstring>

#include "search.h"

namespace tapsmith {

namespace {

void SetOpenCircuit(StockEntry* entry) {
  std::memset(entry->name, 0, sizeof entry->name);
  std::memcpy(entry->name, "DNM", 4);
  entry->value = kOpenCircuitValue;
  entry->conductance = 0.0;
}

// Stable insertion sort by value: entries of equal value keep their list
// order, which is the order "Show ascending resistors" then reports them in.
// Lists are written nearly sorted, so this is close to linear in practice.
void SortByValue(StockTable* table) {
  for (int i = 1; i < table->count; ++i) {
    double value = table->entries[i].value;
    int low = 0;
    int high = i;  // first position whose value is greater than `value`
    while (low < high) {
      int middle = low + (high - low) / 2;
      if (value < table->entries[middle].value) {
        high = middle;
      } else {
        low = middle + 1;
      }
    }
    if (low == i) continue;
    StockEntry moving = table->entries[i];
    std::memmove(&table->entries[low + 1], &table->entries[low],
                 sizeof(StockEntry) * static_cast<size_t>(i - low));
    table->entries[low] = moving;
  }
}

}  // namespace

bool ParseStockText(const char* text, StockTable* table, int entryLimit) {
  const char* p = text;
  int count = 0;
  const int limit = entryLimit < 1 ? 1 : entryLimit > kStockCapacity ? kStockCapacity : entryLimit;
  while (count < limit) {
    while (*p == '\n') ++p;
    StockEntry* entry = &table->entries[count];
    if (*p == '\0' || *p == '-') {
      SetOpenCircuit(entry);
      ++count;
      break;
    }
    const char* end = p;
    double value = ReadNumber(p, &end);
    if (value < 0.0) {
      table->count = 0;
      return false;
    }
    // Any other character leaves the value: "10R", "4,7", "47 k" are read
    // as far as they are numbers, the rest of the line is a note.
    ApplyUnitLetter(Unit::Ohms, *end, &value);

    std::memset(entry->name, 0, sizeof entry->name);
    for (int n = 0; n < kNameSize - 1; ++n) {
      char c = p[n];
      if (c == '\n' || c == '\r' || c == '\0') break;
      entry->name[n] = c;
    }
    while (*p != '\n' && *p != '\0') ++p;

    entry->value = value;
    entry->conductance = value == 0.0 ? kZeroOhmConductance : 1.0 / value;
    ++count;
  }
  table->count = count;
  if (count < 2) return false;
  SortByValue(table);
  return true;
}

bool ParseStockList(AppState* state, StockTable* table, int entryLimit) {
  int slot = SlotList1 + ListChoiceInUse(*state);
  if (ParseStockText(SlotText(*state, slot), table, entryLimit)) return true;
  ComposeInputError(*state, slot, state->slots.text[SlotStatus]);
  return false;
}

}  // namespace tapsmith
