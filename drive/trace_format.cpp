// SPDX-License-Identifier: MIT
#include "drive/trace_format.h"

#include "sim/utf8.h"

namespace drive {
namespace {

void AppendCodePoint(Text* out, uint32_t cp) {
  char b[sim::kUtf8MaxBytes];
  out->Append(b, sim::EncodeUtf8(cp, b));
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
    case sim::CanvasOp::kFillRect:
    case sim::CanvasOp::kDrawLine:
    case sim::CanvasOp::kDrawRect: {
      int top = c.y1 < c.y2 ? c.y1 : c.y2;
      int bottom = c.y1 < c.y2 ? c.y2 : c.y1;
      if (!InLyricsRows(top, bottom)) return;
      repainted_ = true;
      // The area is painted whole (one fill, or a line per column) before
      // it is drawn again: the texts drawn before it are gone.
      if (c.op != sim::CanvasOp::kDrawRect) {
        black_.Restart();
        grey_.Restart();
      }
      return;
    }
    case sim::CanvasOp::kDrawText:
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
