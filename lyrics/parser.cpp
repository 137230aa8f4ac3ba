// SPDX-License-Identifier: MIT
// The LRC parser: converts a lyrics file into a working buffer of 16-bit text,
// walks it once front to back, and copies what it found into a new record.
//
// Positions never pass the end of the text n. The unit W[n] always holds a
// line feed, so the scans that stop at a line end (the text of a line) or at
// anything but a digit (the numbers of a time tag) stop at n at the latest
// without a test of the position on every unit; the scans that a line feed
// does not stop (blanks, "]", "[") test it.
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

struct LineSpan {
  uint16_t start;
  uint16_t len;
};

// Everything the walk keeps for one call. The scratch tables live on the
// stack: the walk itself allocates nothing but the ID-tag strings.
struct Walk {
  const WCHAR* w;
  uint32_t n;
  LRC* lrc;
  uint16_t time_count;
  uint16_t line_count;
  LRC_TIME times[LRC_MAX_TIMES];
  LineSpan lines[LRC_MAX_LINES];
};

// How one step of the walk ended.
enum class Step : uint8_t { kGo, kEnd, kFail };

// The value of a decimal digit, or 10 and more for any other unit.
inline uint32_t DigitValue(WCHAR c) {
  return (uint32_t)c - u'0';
}
inline bool IsLineEnd(WCHAR c) {
  return c == kCR || c == kLF;
}

// The position after the blanks (line ends and spaces) from i on.
inline uint32_t SkipBlanks(const WCHAR* w, uint32_t i, uint32_t n) {
  while (i < n && (w[i] == kSpace || IsLineEnd(w[i]))) ++i;
  return i;
}

// The position of the next "[" from i on, or n.
inline uint32_t SkipToBracket(const WCHAR* w, uint32_t i, uint32_t n) {
  while (i < n && w[i] != u'[') ++i;
  return i;
}

// The position of the first line end from i on (W[n] is one). Text units lie
// above CR; only the few at or below it need the exact test.
inline uint32_t FindLineEnd(const WCHAR* w, uint32_t i) {
  const WCHAR* p = w + i;
  for (;; p += 4) {
    if (p[0] <= kCR && IsLineEnd(p[0])) break;
    if (p[1] <= kCR && IsLineEnd(p[1])) return (uint32_t)(p + 1 - w);
    if (p[2] <= kCR && IsLineEnd(p[2])) return (uint32_t)(p + 2 - w);
    if (p[3] <= kCR && IsLineEnd(p[3])) return (uint32_t)(p + 3 - w);
  }
  return (uint32_t)(p - w);
}

// Copies `count` units into a block of their own: eight at a time, the last
// eight once more over the ones already copied, and a short text one by one.
inline void CopyUnits(WCHAR* __restrict to, const WCHAR* __restrict from, uint32_t count) {
  if (count < 8) {
    for (uint32_t k = 0; k < count; ++k) to[k] = from[k];
    return;
  }
  for (uint32_t k = 0; k + 8 <= count; k += 8) {
    for (uint32_t u = 0; u < 8; ++u) to[k + u] = from[k + u];
  }
  if (count % 8 != 0) {
    WCHAR* const last_to = to + count - 8;
    const WCHAR* const last_from = from + count - 8;
    for (uint32_t u = 0; u < 8; ++u) last_to[u] = last_from[u];
  }
}

// The number whose digits start at p; p ends on the first other unit.
inline uint32_t ReadNumber(const WCHAR*& p) {
  uint32_t value = 0;  // wraps modulo 2^32, as the phone's arithmetic does
  for (uint32_t digit; (digit = DigitValue(*p)) <= 9; ++p) value = value * 10 + digit;
  return value;
}

// The time of the tag whose "[" is at p, read in full; p ends on the unit
// after the last digit read. False when the minutes lack their colon.
inline bool ReadTagTime(const WCHAR*& p, uint32_t* time) {
  ++p;
  uint32_t minutes = ReadNumber(p);
  if (*p != u':') return false;
  ++p;
  *time = minutes * 60000u + ReadNumber(p) * 1000u;
  if (*p == u'.') {
    // Up to three digits of the fraction: hundreds, tens and ones.
    uint32_t digit;
    if ((digit = DigitValue(*++p)) <= 9) {
      *time += digit * 100;
      if ((digit = DigitValue(*++p)) <= 9) {
        *time += digit * 10;
        if ((digit = DigitValue(*++p)) <= 9) {
          *time += digit;
          ++p;
        }
      }
    }
  }
  return true;
}

// The value of the two digits at p (both known to be digits).
inline uint32_t TwoDigits(const WCHAR* p) {
  return DigitValue(p[0]) * 10 + DigitValue(p[1]);
}

// True for the form most tags have, "[mm:ss.cc" followed by a unit that is
// not a digit, with nine units present at p. The general reading gives such a
// tag the same time.
inline bool IsCommonTag(const WCHAR* p) {
  return DigitValue(p[1]) <= 9 && DigitValue(p[2]) <= 9 && p[3] == u':' && DigitValue(p[4]) <= 9 &&
         DigitValue(p[5]) <= 9 && p[6] == u'.' && DigitValue(p[7]) <= 9 && DigitValue(p[8]) <= 9 &&
         DigitValue(p[9]) > 9;
}

// A run of time tags, the "[" and a digit at walk position *at, and the one
// text line they start; then the same for each next line that follows at
// once (a carriage return and a line feed, then "[" and a digit), as most
// lines of a song do, without going back to the walk. Fails when a tag's
// minutes lack their colon.
Step ReadTaggedLine(Walk& walk, uint32_t* at) {
  const WCHAR* const w = walk.w;
  const uint32_t n = walk.n;
  const WCHAR* const end = w + n;
  const WCHAR* p = w + *at;
  uint32_t time_count = walk.time_count;
  uint32_t line = walk.line_count;
  uint32_t i;
  for (;;) {
    // Full tables end the walk here, keeping everything recorded so far.
    if (time_count >= LRC_MAX_TIMES || line >= LRC_MAX_LINES) {
      walk.time_count = (uint16_t)time_count;
      walk.line_count = (uint16_t)line;
      return Step::kEnd;
    }
    // A "[" not followed by a digit ends the run: the text starts at it.
    do {
      uint32_t time;
      if (end - p >= 9 && IsCommonTag(p)) {
        time = TwoDigits(p + 1) * 60000u + TwoDigits(p + 4) * 1000u + TwoDigits(p + 7) * 10u;
        p += 9;
      } else if (!ReadTagTime(p, &time)) {
        walk.time_count = (uint16_t)time_count;
        walk.line_count = (uint16_t)line;
        return Step::kFail;
      }
      // Entries past the table's size are read (a bad one still fails) but
      // dropped.
      if (time_count < LRC_MAX_TIMES) {
        walk.times[time_count].time = time;
        walk.times[time_count].line = (uint16_t)line;
        ++time_count;
      }
      // The unit after the last digit closes the tag, whatever it is.
      if (p < end) ++p;
    } while (p[0] == u'[' && DigitValue(p[1]) <= 9);
    const uint32_t start = (uint32_t)(p - w);
    i = FindLineEnd(w, start);
    walk.lines[line].start = (uint16_t)start;
    walk.lines[line].len = (uint16_t)(i - start);
    ++line;
    // W[i] is a line end below n or the end marker at n, so W[i + 1] is
    // there to read; W[i + 2] and W[i + 3] are when i + 2 is below n.
    if (!(i + 2 < n && w[i] == kCR && w[i + 1] == kLF && w[i + 2] == u'[' && DigitValue(w[i + 3]) <= 9)) break;
    p = w + i + 2;
  }
  walk.time_count = (uint16_t)time_count;
  walk.line_count = (uint16_t)line;
  if (i < n) ++i;
  *at = SkipBlanks(w, i, n);
  return Step::kGo;
}

// True when the key lies whole inside the text at position i.
bool KeyAt(const Walk& walk, uint32_t i, const WCHAR* key, uint32_t units) {
  return i + units <= walk.n && u_strncmp(&walk.w[i], key, units) == 0;
}

// "[ti:" and its kind at *at: the value up to "]" replaces the field's string.
Step ReadTextTag(Walk& walk, uint32_t* at, WCHAR** field) {
  const WCHAR* w = walk.w;
  uint32_t from = *at + 4;
  uint32_t close = from;
  while (close < walk.n && w[close] != u']') ++close;
  if (close >= walk.n) return Step::kEnd;  // unterminated: the field keeps its value
  uint32_t units = close - from;
  // The new string is made before the old one goes, so that a failure leaves
  // the record whole for its destruction.
  WCHAR* text = (WCHAR*)suAllocMem((units + 1) * sizeof(WCHAR), nullptr);
  if (text == nullptr) return Step::kFail;
  CopyUnits(text, w + from, units);
  text[units] = 0;
  suFreeMem(*field);
  *field = text;
  *at = SkipBlanks(w, close + 1, walk.n);
  return Step::kGo;
}

// "[offset:" ["-"] digits "]" at *at: units other than digits are passed over.
Step ReadOffset(Walk& walk, uint32_t* at) {
  const WCHAR* w = walk.w;
  uint32_t p = *at + 8;
  bool negative = false;
  if (p < walk.n && w[p] == u'-') {
    negative = true;
    ++p;
  }
  uint16_t value = 0;  // 16-bit arithmetic: wraps modulo 65536
  while (p < walk.n && w[p] != u']') {
    uint32_t digit = DigitValue(w[p]);
    if (digit <= 9) value = (uint16_t)(value * 10 + digit);
    ++p;
  }
  if (p >= walk.n) return Step::kEnd;  // unterminated: the offset keeps its value
  walk.lrc->offset = (int16_t)(negative ? (uint16_t)(0u - value) : value);
  *at = SkipBlanks(w, p + 1, walk.n);
  return Step::kGo;
}

// A "[" not followed by a digit, at *at. Sets *status for the failures it
// reports. The keys differ in their second unit, which picks the one key to
// compare.
Step ReadIdTag(Walk& walk, uint32_t* at, uint8_t* status) {
  uint32_t i = *at;
  LRC* lrc = walk.lrc;
  WCHAR** field = nullptr;
  switch (walk.w[i + 1]) {
    case u't':
      if (KeyAt(walk, i, kTagTitle, 4)) field = &lrc->ti;
      break;
    case u'a':
      if (KeyAt(walk, i, kTagArtist, 4)) {
        field = &lrc->ar;
      } else if (KeyAt(walk, i, kTagAlbum, 4)) {
        field = &lrc->al;
      }
      break;
    case u'b':
      if (KeyAt(walk, i, kTagMaker, 4)) field = &lrc->by;
      break;
    case u'o':
      if (KeyAt(walk, i, kTagOffset, 8)) return ReadOffset(walk, at);
      break;
    case u'k':
      if (KeyAt(walk, i, kTagKey, 5)) {
        *status = kLrcErrEncrypted;  // an encrypted file is not read at all
        return Step::kFail;
      }
      break;
    default:
      break;
  }
  if (field != nullptr) {
    Step step = ReadTextTag(walk, at, field);
    if (step == Step::kFail) *status = kLrcErrMemory;
    return step;
  }
  // Any other bracket: skipped like untagged text.
  *at = SkipToBracket(walk.w, i + 1, walk.n);
  return Step::kGo;
}

// The walk over W[1..n). Returns false with *status set on a failure.
bool WalkText(Walk& walk, uint8_t* status) {
  const WCHAR* w = walk.w;
  uint32_t i = 1;
  while (i < walk.n) {
    Step step;
    if (w[i] != u'[') {
      i = SkipToBracket(w, i + 1, walk.n);
      continue;
    }
    if (DigitValue(w[i + 1]) <= 9) {
      step = ReadTaggedLine(walk, &i);
      if (step == Step::kFail) *status = kLrcErrFile;
    } else {
      step = ReadIdTag(walk, &i, status);
    }
    if (step == Step::kFail) return false;
    if (step == Step::kEnd) break;
  }
  return true;
}

// Copies the scratch tables into the record with exact sizes, the time
// entries in their sorted order. False when memory runs out; the record then
// holds only what it owns, for its destruction.
bool Complete(Walk& walk) {
  LRC* lrc = walk.lrc;
  const uint32_t time_count = walk.time_count;
  const uint32_t line_count = walk.line_count;
  lrc->time_count = (uint8_t)time_count;
  lrc->line_count = (uint8_t)line_count;
  LRC_TIME* times = (LRC_TIME*)suAllocMem((time_count + 1) * sizeof(LRC_TIME), nullptr);
  if (times == nullptr) return false;
  lrc->times = times;
  CopyInTimeOrder(times, walk.times, (uint16_t)time_count);
  // The spare entry past the last one is never read; it is kept defined.
  times[time_count].time = 0xFFFFFFFFu;
  times[time_count].line = 0;
  if (line_count > 0) {
    LRC_LINE* lines = (LRC_LINE*)suAllocMem(line_count * sizeof(LRC_LINE), nullptr);
    if (lines == nullptr) return false;
    lrc->lines = lines;
    for (uint32_t k = 0; k < line_count; ++k) {
      const uint32_t len = walk.lines[k].len;
      WCHAR* text = (WCHAR*)suAllocMem((len + 1) * sizeof(WCHAR), nullptr);
      if (text == nullptr) {
        // Only the texts made so far are the record's to free.
        lrc->line_count = (uint8_t)k;
        return false;
      }
      CopyUnits(text, walk.w + walk.lines[k].start, len);
      text[len] = 0;
      lines[k].text = text;
      lines[k].len = (uint16_t)len;
    }
  }
  return true;
}

// The parse proper, once the working buffer exists.
LRC* Parse(WCHAR* w, const uint8_t* bytes, uint16_t len, uint8_t* status) {
  uint8_t code = GetCodeType(bytes, len);
  if (code == kCodeNoText) {
    *status = kLrcErrNoText;
    return nullptr;
  }
  uint16_t n = ConvertByCode(w, bytes, len, code);
  if (n == 0) {
    *status = kLrcErrFile;
    return nullptr;
  }
  // Every line of the text ends in a line end, the last one included; the
  // line feed at n is written also after a text that ends in one, where it is
  // the end marker of the scans.
  w[n] = kLF;
  Walk walk;
  walk.w = w;
  walk.n = n;
  walk.time_count = 0;
  walk.line_count = 0;
  walk.lrc = INIT_LRC();
  if (walk.lrc == nullptr) {
    *status = kLrcErrMemory;
    return nullptr;
  }
  if (!WalkText(walk, status)) {
    DESTROY_LRC(&walk.lrc);
    return nullptr;
  }
  if (!Complete(walk)) {
    DESTROY_LRC(&walk.lrc);
    *status = kLrcErrMemory;
    return nullptr;
  }
  *status = kLrcLoaded;
  return walk.lrc;
}

}  // namespace

LRC* GetLRCFromBuf(const uint8_t* bytes, uint16_t len, uint8_t* status) {
  if (len > kMaxInputBytes) {
    *status = kLrcErrFile;
    return nullptr;
  }
  WCHAR* w = (WCHAR*)suAllocMem(((uint32_t)len + 2) * sizeof(WCHAR), nullptr);
  if (w == nullptr) {
    *status = kLrcErrMemory;
    return nullptr;
  }
  LRC* lrc = Parse(w, bytes, len, status);
  suFreeMem(w);  // on every return, failures included
  return lrc;
}
