#include "drive/trace_format.h"

namespace drive {
namespace {

void append_code_point(Text* out, uint32_t cp) {
  char b[4];
  size_t n;
  if (cp < 0x80) {
    b[0] = static_cast<char>(cp);
    n = 1;
  } else if (cp < 0x800) {
    b[0] = static_cast<char>(0xC0 | (cp >> 6));
    b[1] = static_cast<char>(0x80 | (cp & 0x3F));
    n = 2;
  } else if (cp < 0x10000) {
    b[0] = static_cast<char>(0xE0 | (cp >> 12));
    b[1] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    b[2] = static_cast<char>(0x80 | (cp & 0x3F));
    n = 3;
  } else {
    b[0] = static_cast<char>(0xF0 | (cp >> 18));
    b[1] = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    b[2] = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    b[3] = static_cast<char>(0x80 | (cp & 0x3F));
    n = 4;
  }
  out->append(b, n);
}

bool is_black(const CanvasColor& c) {
  return c.r == 0 && c.g == 0 && c.b == 0;
}
bool is_grey(const CanvasColor& c) {
  return c.r == 0x80 && c.g == 0x80 && c.b == 0x80;
}

bool in_lyrics_rows(int top, int bottom) {
  return top <= kLyricsBottom && bottom >= kLyricsTop;
}

}  // namespace

void append_utf8(Text* out, const WCHAR* text, size_t length) {
  for (size_t i = 0; i < length && text[i] != 0; ++i) {
    uint32_t u = text[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      append_code_point(out, 0x10000 + ((u - 0xD800) << 10) + (text[i + 1] - 0xDC00u));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      append_code_point(out, 0xFFFD);
    } else {
      append_code_point(out, u);
    }
  }
}

void append_quoted(Text* out, const char* text) {
  out->append('"');
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '"' || *c == '\\') out->append('\\');
    out->append(*c);
  }
  out->append('"');
}

void LyricsRows::Joiner::add(int y, const sim::CanvasCall& call) {
  if (any && y != row) text.append('|');
  append_utf8(&text, call.text, call.text_len);
  any = true;
  row = y;
}

void LyricsRows::add(const sim::CanvasCall& c) {
  switch (c.op) {
    case sim::CanvasOp::FillRect:
    case sim::CanvasOp::DrawLine:
    case sim::CanvasOp::DrawRect: {
      int top = c.y1 < c.y2 ? c.y1 : c.y2;
      int bottom = c.y1 < c.y2 ? c.y2 : c.y1;
      if (!in_lyrics_rows(top, bottom)) return;
      repainted_ = true;
      // The area is painted whole (one fill, or a line per column) before
      // it is drawn again: the texts drawn before it are gone.
      if (c.op != sim::CanvasOp::DrawRect) {
        black_.restart();
        grey_.restart();
      }
      return;
    }
    case sim::CanvasOp::DrawText:
      if (c.y1 < kLyricsTop || c.y1 > kLyricsOverflowRow) return;
      if (is_black(c.color)) {
        black_.add(c.y1, c);
      } else if (is_grey(c.color)) {
        grey_.add(c.y1, c);
      } else {
        return;
      }
      repainted_ = true;
      return;
    default:
      return;
  }
}

}  // namespace drive
