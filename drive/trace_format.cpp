// SPDX-License-Identifier: MIT
#include "drive/trace_format.h"

namespace drive {
namespace {

void AppendCodePoint(Text* out, uint32_t cp) {
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
  out->Append(b, n);
}

bool IsBlack(const CanvasColor& c) {
  return c.r == 0 && c.g == 0 && c.b == 0;
}
bool IsGrey(const CanvasColor& c) {
  return c.r == 0x80 && c.g == 0x80 && c.b == 0x80;
}

bool InLyricsRows(int top, int bottom) {
  return top <= kLyricsBottom && bottom >= kLyricsTop;
}

}  // namespace

void AppendUtf8(Text* out, const WCHAR* text, size_t length) {
  for (size_t i = 0; i < length && text[i] != 0; ++i) {
    uint32_t u = text[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      AppendCodePoint(out, 0x10000 + ((u - 0xD800) << 10) + (text[i + 1] - 0xDC00u));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      AppendCodePoint(out, 0xFFFD);
    } else {
      AppendCodePoint(out, u);
    }
  }
}

void AppendQuoted(Text* out, const char* text) {
  out->Append('"');
  for (const char* c = text; *c != '\0'; ++c) {
    if (*c == '"' || *c == '\\') out->Append('\\');
    out->Append(*c);
  }
  out->Append('"');
}

void LyricsRows::Joiner::Add(int y, const sim::CanvasCall& call) {
  if (any && y != row) text.Append('|');
  AppendUtf8(&text, call.text, call.text_len);
  any = true;
  row = y;
}

void LyricsRows::Add(const sim::CanvasCall& c) {
  switch (c.op) {
    case sim::CanvasOp::FillRect:
    case sim::CanvasOp::DrawLine:
    case sim::CanvasOp::DrawRect: {
      int top = c.y1 < c.y2 ? c.y1 : c.y2;
      int bottom = c.y1 < c.y2 ? c.y2 : c.y1;
      if (!InLyricsRows(top, bottom)) return;
      repainted_ = true;
      // The area is painted whole (one fill, or a line per column) before
      // it is drawn again: the texts drawn before it are gone.
      if (c.op != sim::CanvasOp::DrawRect) {
        black_.Restart();
        grey_.Restart();
      }
      return;
    }
    case sim::CanvasOp::DrawText:
      if (c.y1 < kLyricsTop || c.y1 > kLyricsOverflowRow) return;
      if (IsBlack(c.color)) {
        black_.Add(c.y1, c);
      } else if (IsGrey(c.color)) {
        grey_.Add(c.y1, c);
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
