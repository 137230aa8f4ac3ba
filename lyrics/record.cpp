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
  // leaves equal times in, so it must not be replaced by a stable sort.
  //
  // The entry at i is held in locals while j runs, and each exchange is done
  // with masks instead of a branch (song files put their entries in a nearly
  // random order, which branches predict badly). Every exchange happens
  // exactly as in the plain form: only a time strictly greater than the
  // other's exchanges, and entry i is stored back once j is done.
  for (uint16_t i = 0; (int32_t)i < (int32_t)count - 1; ++i) {
    uint32_t time = entries[i].time;
    uint32_t line = entries[i].line;
    for (uint16_t j = (uint16_t)(i + 1); j < count; ++j) {
      uint32_t other_time = entries[j].time;
      uint32_t other_line = entries[j].line;
      uint32_t mask = 0u - (uint32_t)(time > other_time);
      uint32_t time_diff = (time ^ other_time) & mask;
      uint32_t line_diff = (line ^ other_line) & mask;
      entries[j].time = other_time ^ time_diff;
      entries[j].line = (uint16_t)(other_line ^ line_diff);
      time ^= time_diff;
      line ^= line_diff;
    }
    entries[i].time = time;
    entries[i].line = (uint16_t)line;
  }
  return 0;
}
