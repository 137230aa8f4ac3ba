// SPDX-License-Identifier: MIT
// The lyrics record: making an empty one, freeing one with all it owns, and
// ordering its time entries.
#include "lyrics/record.h"

namespace {

// An empty string of its own, so that a live record never holds a null tag.
WCHAR* EmptyText() {
  WCHAR* text = (WCHAR*)suAllocMem(sizeof(WCHAR), nullptr);
  if (text != nullptr) text[0] = 0;
  return text;
}

void FreeText(WCHAR** text) {
  if (*text == nullptr) return;
  suFreeMem(*text);
  *text = nullptr;
}

// The times alone in ascending order, by insertion: the entries of a song are
// nearly in order already.
void SortValues(const LRC_TIME* entries, uint16_t count, uint32_t* out) {
  for (uint16_t k = 0; k < count; ++k) {
    uint32_t time = entries[k].time;
    uint16_t at = k;
    while (at > 0 && out[at - 1] > time) {
      out[at] = out[at - 1];
      --at;
    }
    out[at] = time;
  }
}

// The exchange sort itself, for entries that hold equal times.
//
// Step i holds entry i while j runs and exchanges it with every later entry
// of a strictly smaller time. The entries from i on are always the whole set
// less its i smallest times, so the held time can fall no lower than the
// i-th smallest time of all: once it gets there no later entry is smaller,
// and the rest of the step would exchange nothing. Knowing the times in
// order (a copy sorted by value) lets each step end there, while the result
// stays exactly the plain procedure's.
void ExchangeSort(LRC_TIME* entries, uint16_t count) {
  uint32_t ordered[LRC_MAX_TIMES];
  bool known = count <= LRC_MAX_TIMES;
  if (known) SortValues(entries, count, ordered);
  for (uint16_t i = 0; (int32_t)i < (int32_t)count - 1; ++i) {
    uint32_t time = entries[i].time;
    uint16_t line = entries[i].line;
    if (known && time == ordered[i]) continue;
    for (uint16_t j = (uint16_t)(i + 1); j < count; ++j) {
      if (time > entries[j].time) {
        uint32_t other_time = entries[j].time;
        uint16_t other_line = entries[j].line;
        entries[j].time = time;
        entries[j].line = line;
        time = other_time;
        line = other_line;
        if (known && time == ordered[i]) break;
      }
    }
    entries[i].time = time;
    entries[i].line = line;
  }
}

// Undoes the insertions of entries last - 1 down to 1 of SortDistinct: entry j
// went to placed[j] and pushed the entries from there up by one.
void UndoInsertions(LRC_TIME* entries, const uint8_t* placed, uint32_t last) {
  for (uint32_t j = last - 1; j >= 1; --j) {
    uint32_t at = placed[j];
    LRC_TIME entry = entries[at];
    for (uint32_t p = at; p < j; ++p) entries[p] = entries[p + 1];
    entries[j] = entry;
  }
}

// Puts entries whose times are all different in ascending order, in place,
// by insertion: a song's entries are nearly ascending already. Any correct
// sort leaves distinct times in the one order the exchange sort leaves them.
// False, with the entries back in their first order, when two times are
// equal.
bool SortDistinct(LRC_TIME* entries, uint32_t count) {
  uint8_t placed[LRC_MAX_TIMES];
  placed[0] = 0;
  for (uint32_t k = 1; k < count; ++k) {
    const LRC_TIME entry = entries[k];
    LRC_TIME* at = entries + k;
    if (at[-1].time < entry.time) {
      placed[k] = (uint8_t)k;  // in order already, the common case
      continue;
    }
    if (entries[0].time > entry.time) {
      // A new smallest time goes first, past every entry before it.
      for (; at > entries; --at) at[0] = at[-1];
    } else {
      // Some entry before it is not later, so the search stops at the first.
      for (; at[-1].time > entry.time; --at) at[0] = at[-1];
      if (at[-1].time == entry.time) {
        for (; at < entries + k; ++at) at[0] = at[1];
        entries[k] = entry;
        UndoInsertions(entries, placed, k);
        return false;
      }
    }
    *at = entry;
    placed[k] = (uint8_t)(at - entries);
  }
  return true;
}

// Puts entries in file order whose times are all different into `to` in
// ascending order, when the first entry of each line is later than the one
// of the line before, as in most songs; false otherwise, with `to` of no
// use. The later entries of a line (a chorus that comes back) are kept
// apart in ascending order and merged in from the back; two equal times
// meet in one of the comparisons on the way, the merge's included.
bool MergeDistinct(LRC_TIME* __restrict to, const LRC_TIME* __restrict from, uint32_t count) {
  LRC_TIME later[LRC_MAX_TIMES];
  uint32_t later_count = 0;
  uint32_t first_count = 0;
  uint32_t last_line = 0x10000;  // no line's index
  uint32_t last_time = 0;
  for (uint32_t k = 0; k < count; ++k) {
    const LRC_TIME entry = from[k];
    if (entry.line == last_line) {
      uint32_t at = later_count++;
      for (; at > 0 && later[at - 1].time > entry.time; --at) later[at] = later[at - 1];
      if (at > 0 && later[at - 1].time == entry.time) return false;
      later[at] = entry;
      continue;
    }
    if (first_count > 0 && last_time >= entry.time) return false;
    last_line = entry.line;
    last_time = entry.time;
    to[first_count++] = entry;
  }
  // The first entries lie at the front of `to`; each step puts the first
  // entries later than the last of the others at the back, then that one,
  // never over a first entry not yet moved.
  uint32_t i = first_count;
  uint32_t out = count;
  for (uint32_t j = later_count; j > 0; --j) {
    const LRC_TIME entry = later[j - 1];
    while (i > 0 && to[i - 1].time > entry.time) to[--out] = to[--i];
    if (i > 0 && to[i - 1].time == entry.time) return false;
    to[--out] = entry;
  }
  return true;
}

}  // namespace

LRC* INIT_LRC() {
  LRC* lrc = (LRC*)suAllocMem(sizeof(LRC), nullptr);
  if (lrc == nullptr) return nullptr;
  // Every field is set before the first string is allocated, so that a
  // failure half-way frees exactly the strings made so far.
  lrc->ti = nullptr;
  lrc->ar = nullptr;
  lrc->al = nullptr;
  lrc->by = nullptr;
  lrc->offset = 0;
  lrc->time_count = 0;
  lrc->line_count = 0;
  lrc->times = nullptr;
  lrc->lines = nullptr;
  WCHAR** fields[] = {&lrc->ti, &lrc->ar, &lrc->al, &lrc->by};
  for (WCHAR** field : fields) {
    *field = EmptyText();
    if (*field == nullptr) {
      DESTROY_LRC(&lrc);
      return nullptr;
    }
  }
  return lrc;
}

void DESTROY_LRC(LRC** holder) {
  LRC* lrc = *holder;
  if (lrc == nullptr) return;
  FreeText(&lrc->ti);
  FreeText(&lrc->ar);
  FreeText(&lrc->al);
  FreeText(&lrc->by);
  if (lrc->times != nullptr) {
    suFreeMem(lrc->times);
    lrc->times = nullptr;
  }
  if (lrc->lines != nullptr) {
    for (uint16_t k = 0; k < lrc->line_count; ++k) FreeText(&lrc->lines[k].text);
    suFreeMem(lrc->lines);
    lrc->lines = nullptr;
  }
  suFreeMem(lrc);
  *holder = nullptr;
}

uint32_t LRC_SortByTime(LRC_TIME* entries, uint16_t count) {
  // An exchange sort: the lyrics view and the tests rely on the exact order it
  // leaves equal times in, so it must not be replaced by a stable sort. Only
  // equal times make that order differ from plain ascending order, and a song
  // seldom has them.
  if (count < 2) return 0;
  if (count <= LRC_MAX_TIMES && SortDistinct(entries, count)) return 0;
  ExchangeSort(entries, count);
  return 0;
}

void CopyInTimeOrder(LRC_TIME* to, const LRC_TIME* from, uint16_t count) {
  if (count <= LRC_MAX_TIMES && MergeDistinct(to, from, count)) return;
  for (uint32_t k = 0; k < count; ++k) to[k] = from[k];
  LRC_SortByTime(to, count);
}
