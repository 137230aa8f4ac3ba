// The LRC parser: converts a lyrics file into a working buffer of 16-bit text,
// walks it once front to back, and copies what it found into a new record.
//
// Every position and count is 16 bits wide, so every scan stops at the end of
// the text n: a position never passes n, and a step that would leave the text
// ends the walk instead.
#include "lyrics/parser.h"

#include "app/player_state.h"
#include "lyrics/encoding.h"

namespace {

constexpr WCHAR kCR = 0x0D;
constexpr WCHAR kLF = 0x0A;
constexpr WCHAR kSpace = 0x20;
// The working buffer has len + 2 units; GB2312 yields at most len + 1, so an
// input of 65535 bytes could not be held with 16-bit positions.
constexpr uint16_t kMaxInputBytes = 65534;

const WCHAR kTagTitle[] = u"[ti:";
const WCHAR kTagArtist[] = u"[ar:";
const WCHAR kTagAlbum[] = u"[al:";
const WCHAR kTagMaker[] = u"[by:";
const WCHAR kTagOffset[] = u"[offset:";
const WCHAR kTagKey[] = u"[key:";

struct TimeEntry {
  uint32_t time;
  uint16_t line;
};

struct LineSpan {
  uint16_t start;
  uint16_t len;
};

// Everything the walk keeps for one call. The scratch tables live on the
// stack: the walk itself allocates nothing but the ID-tag strings.
struct Walk {
  const WCHAR* w;
  uint16_t n;
  uint16_t i;
  LRC* lrc;
  uint16_t time_count;
  uint16_t line_count;
  TimeEntry times[LRC_MAX_TIMES];
  LineSpan lines[LRC_MAX_LINES];
};

// How one step of the walk ended.
enum class Step : uint8_t { Go, End, Fail };

bool IsDigit(WCHAR c) {
  return c >= u'0' && c <= u'9';
}
bool IsLineEnd(WCHAR c) {
  return c == kCR || c == kLF;
}

// True when the key lies whole inside the text at position i.
bool KeyAt(const Walk& walk, const WCHAR* key, uint16_t units) {
  if ((uint32_t)walk.i + units > walk.n) return false;
  return u_strncmp(&walk.w[walk.i], key, units) == 0;
}

void SkipToBracket(Walk& walk) {
  while (walk.i < walk.n && walk.w[walk.i] != u'[') ++walk.i;
}

void SkipBlanks(Walk& walk) {
  while (walk.i < walk.n && (IsLineEnd(walk.w[walk.i]) || walk.w[walk.i] == kSpace)) ++walk.i;
}

// The position of the next "]" from `from` on, or n when there is none.
uint16_t FindClose(const Walk& walk, uint16_t from) {
  while (from < walk.n && walk.w[from] != u']') ++from;
  return from;
}

uint32_t ReadNumber(Walk& walk) {
  uint32_t value = 0;  // wraps modulo 2^32, as the phone's arithmetic does
  while (walk.i < walk.n && IsDigit(walk.w[walk.i])) value = value * 10 + (uint32_t)(walk.w[walk.i++] - u'0');
  return value;
}

// One time tag, the "[" at i. Fails when the minutes lack their colon.
bool ReadTimeTag(Walk& walk) {
  ++walk.i;
  uint32_t minutes = ReadNumber(walk);
  if (walk.i >= walk.n || walk.w[walk.i] != u':') return false;
  ++walk.i;
  uint32_t seconds = ReadNumber(walk);
  uint32_t time = minutes * 60000u + seconds * 1000u;
  if (walk.i < walk.n && walk.w[walk.i] == u'.') {
    ++walk.i;
    const uint32_t weights[] = {100, 10, 1};
    for (uint32_t weight : weights) {
      if (walk.i >= walk.n || !IsDigit(walk.w[walk.i])) break;
      time += (uint32_t)(walk.w[walk.i++] - u'0') * weight;
    }
  }
  // Entries past the table's size are read (a bad one still fails) but dropped.
  if (walk.time_count < LRC_MAX_TIMES) {
    walk.times[walk.time_count].time = time;
    walk.times[walk.time_count].line = walk.line_count;
    ++walk.time_count;
  }
  // The unit after the last digit closes the tag, whatever it is.
  if (walk.i < walk.n) ++walk.i;
  return true;
}

// A run of time tags and the one text line they start.
Step ReadTaggedLine(Walk& walk) {
  // Full tables end the walk here, keeping everything recorded so far.
  if (walk.time_count >= LRC_MAX_TIMES || walk.line_count >= LRC_MAX_LINES) return Step::End;
  // A "[" not followed by a digit ends the run: the text starts at it.
  while (walk.i + 1 < walk.n && walk.w[walk.i] == u'[' && IsDigit(walk.w[walk.i + 1])) {
    if (!ReadTimeTag(walk)) return Step::Fail;
  }
  uint16_t start = walk.i;
  while (walk.i < walk.n && !IsLineEnd(walk.w[walk.i])) ++walk.i;
  walk.lines[walk.line_count].start = start;
  walk.lines[walk.line_count].len = (uint16_t)(walk.i - start);
  ++walk.line_count;
  if (walk.i < walk.n) ++walk.i;
  SkipBlanks(walk);
  return Step::Go;
}

// "[ti:" and its kind: the value up to "]" replaces the field's string.
Step ReadTextTag(Walk& walk, WCHAR** field) {
  uint16_t from = (uint16_t)(walk.i + 4);
  uint16_t close = FindClose(walk, from);
  if (close >= walk.n) return Step::End;  // unterminated: the field keeps its value
  uint16_t units = (uint16_t)(close - from);
  // The new string is made before the old one goes, so that a failure leaves
  // the record whole for its destruction.
  WCHAR* text = (WCHAR*)suAllocMem(((uint32_t)units + 1) * sizeof(WCHAR), nullptr);
  if (text == nullptr) return Step::Fail;
  for (uint16_t k = 0; k < units; ++k) text[k] = walk.w[from + k];
  text[units] = 0;
  suFreeMem(*field);
  *field = text;
  walk.i = (uint16_t)(close + 1);
  SkipBlanks(walk);
  return Step::Go;
}

// "[offset:" ["-"] digits "]": units other than digits are passed over.
Step ReadOffset(Walk& walk) {
  uint16_t p = (uint16_t)(walk.i + 8);
  bool negative = false;
  if (p < walk.n && walk.w[p] == u'-') {
    negative = true;
    ++p;
  }
  uint16_t value = 0;  // 16-bit arithmetic: wraps modulo 65536
  while (p < walk.n && walk.w[p] != u']') {
    if (IsDigit(walk.w[p])) value = (uint16_t)(value * 10 + (walk.w[p] - u'0'));
    ++p;
  }
  if (p >= walk.n) return Step::End;  // unterminated: the offset keeps its value
  walk.lrc->offset = (int16_t)(negative ? (uint16_t)(0u - value) : value);
  walk.i = (uint16_t)(p + 1);
  SkipBlanks(walk);
  return Step::Go;
}

// A "[" not followed by a digit. Sets *status for the failures it reports.
Step ReadIdTag(Walk& walk, uint8_t* status) {
  WCHAR** fields[] = {&walk.lrc->ti, &walk.lrc->ar, &walk.lrc->al, &walk.lrc->by};
  const WCHAR* keys[] = {kTagTitle, kTagArtist, kTagAlbum, kTagMaker};
  for (uint32_t k = 0; k < 4; ++k) {
    if (!KeyAt(walk, keys[k], 4)) continue;
    Step step = ReadTextTag(walk, fields[k]);
    if (step == Step::Fail) *status = LRC_ERR_MEMORY;
    return step;
  }
  if (KeyAt(walk, kTagOffset, 8)) return ReadOffset(walk);
  if (KeyAt(walk, kTagKey, 5)) {
    *status = LRC_ERR_ENCRYPTED;  // an encrypted file is not read at all
    return Step::Fail;
  }
  ++walk.i;  // any other bracket: skipped like untagged text
  SkipToBracket(walk);
  return Step::Go;
}

// The walk over W[1..n). Returns false with *status set on a failure.
bool WalkText(Walk& walk, uint8_t* status) {
  walk.i = 1;
  while (walk.i < walk.n) {
    Step step = Step::Go;
    if (walk.w[walk.i] != u'[') {
      SkipToBracket(walk);
    } else if (walk.i + 1 < walk.n && IsDigit(walk.w[walk.i + 1])) {
      step = ReadTaggedLine(walk);
      if (step == Step::Fail) *status = LRC_ERR_FILE;
    } else {
      step = ReadIdTag(walk, status);
    }
    if (step == Step::Fail) return false;
    if (step == Step::End) break;
  }
  return true;
}

// Copies the scratch tables into the record with exact sizes and sorts the
// time entries. False when memory runs out.
bool Complete(Walk& walk) {
  LRC* lrc = walk.lrc;
  lrc->time_count = (uint8_t)walk.time_count;
  lrc->line_count = (uint8_t)walk.line_count;
  lrc->times = (LRC_TIME*)suAllocMem(((uint32_t)walk.time_count + 1) * sizeof(LRC_TIME), nullptr);
  if (lrc->times == nullptr) return false;
  for (uint16_t k = 0; k < walk.time_count; ++k) {
    lrc->times[k].time = walk.times[k].time;
    lrc->times[k].line = walk.times[k].line;
  }
  // The spare entry past the last one is never read; it is kept defined.
  lrc->times[walk.time_count].time = 0xFFFFFFFFu;
  lrc->times[walk.time_count].line = 0;
  if (walk.line_count > 0) {
    lrc->lines = (LRC_LINE*)suAllocMem((uint32_t)walk.line_count * sizeof(LRC_LINE), nullptr);
    if (lrc->lines == nullptr) return false;
    for (uint16_t k = 0; k < walk.line_count; ++k) {
      lrc->lines[k].text = nullptr;
      lrc->lines[k].len = 0;
    }
    for (uint16_t k = 0; k < walk.line_count; ++k) {
      const LineSpan& span = walk.lines[k];
      WCHAR* text = (WCHAR*)suAllocMem(((uint32_t)span.len + 1) * sizeof(WCHAR), nullptr);
      if (text == nullptr) return false;
      for (uint16_t u = 0; u < span.len; ++u) text[u] = walk.w[span.start + u];
      text[span.len] = 0;
      lrc->lines[k].text = text;
      lrc->lines[k].len = span.len;
    }
  }
  LRC_SortByTime(lrc->times, walk.time_count);
  return true;
}

// Converts the bytes into w with the converter of their encoding; the count of
// units, 0 when nothing came out.
uint16_t ConvertByCode(WCHAR* w, const uint8_t* bytes, uint16_t len, uint8_t code) {
  switch (code) {
    case CODE_GB2312:
      return GBToUBE(w, bytes, len);
    case CODE_UTF16LE:
      return ULEToUBE(w, bytes, len);
    case CODE_UTF16BE:
      return UBEToUBE(w, bytes, len);
    case CODE_UTF8:
      return UTF8ToUBE(w, bytes, len);
    default:
      return 0;
  }
}

// The parse proper, once the working buffer exists.
LRC* Parse(WCHAR* w, const uint8_t* bytes, uint16_t len, uint8_t* status) {
  uint8_t code = GetCodeType(bytes, len);
  if (code == CODE_NO_TEXT) {
    *status = LRC_ERR_NO_TEXT;
    return nullptr;
  }
  uint16_t n = ConvertByCode(w, bytes, len, code);
  if (n == 0) {
    *status = LRC_ERR_FILE;
    return nullptr;
  }
  // Every line of the text ends in a line end, the last one included.
  if (!IsLineEnd(w[n - 1])) w[n] = kLF;
  Walk walk;
  walk.w = w;
  walk.n = n;
  walk.time_count = 0;
  walk.line_count = 0;
  walk.lrc = INIT_LRC();
  if (walk.lrc == nullptr) {
    *status = LRC_ERR_MEMORY;
    return nullptr;
  }
  if (!WalkText(walk, status)) {
    DESTROY_LRC(&walk.lrc);
    return nullptr;
  }
  if (!Complete(walk)) {
    DESTROY_LRC(&walk.lrc);
    *status = LRC_ERR_MEMORY;
    return nullptr;
  }
  *status = LRC_LOADED;
  return walk.lrc;
}

}  // namespace

LRC* GetLRCFromBuf(const uint8_t* bytes, uint16_t len, uint8_t* status) {
  if (len > kMaxInputBytes) {
    *status = LRC_ERR_FILE;
    return nullptr;
  }
  WCHAR* w = (WCHAR*)suAllocMem(((uint32_t)len + 2) * sizeof(WCHAR), nullptr);
  if (w == nullptr) {
    *status = LRC_ERR_MEMORY;
    return nullptr;
  }
  LRC* lrc = Parse(w, bytes, len, status);
  suFreeMem(w);  // on every return, failures included
  return lrc;
}
