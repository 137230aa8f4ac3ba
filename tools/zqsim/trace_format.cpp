#include "tools/zqsim/trace_format.h"

namespace zqsim {
namespace {

void append_utf8(std::string* out, uint32_t cp) {
  if (cp < 0x80) {
    out->push_back(static_cast<char>(cp));
  } else if (cp < 0x800) {
    out->push_back(static_cast<char>(0xC0 | (cp >> 6)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else if (cp < 0x10000) {
    out->push_back(static_cast<char>(0xE0 | (cp >> 12)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  } else {
    out->push_back(static_cast<char>(0xF0 | (cp >> 18)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
    out->push_back(static_cast<char>(0x80 | (cp & 0x3F)));
  }
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

// Rows of one colour, joined as they are drawn.
struct RowJoiner {
  std::string text;
  bool any = false;
  int row = 0;
  void add(int y, const std::string& piece) {
    if (any && y != row) text += '|';
    text += piece;
    any = true;
    row = y;
  }
};

}  // namespace

std::string utf16_to_utf8(const WCHAR* text, size_t length) {
  std::string out;
  for (size_t i = 0; i < length && text[i] != 0; ++i) {
    uint32_t u = text[i];
    if (u >= 0xD800 && u <= 0xDBFF && i + 1 < length && text[i + 1] >= 0xDC00 && text[i + 1] <= 0xDFFF) {
      append_utf8(&out, 0x10000 + ((u - 0xD800) << 10) + (text[i + 1] - 0xDC00));
      ++i;
    } else if (u >= 0xD800 && u <= 0xDFFF) {
      append_utf8(&out, 0xFFFD);
    } else {
      append_utf8(&out, u);
    }
  }
  return out;
}

std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  out += '"';
  return out;
}

LyricsRows lyrics_rows(const sim::CanvasCall* calls, size_t count) {
  LyricsRows rows;
  RowJoiner black, grey;
  for (size_t i = 0; i < count; ++i) {
    const sim::CanvasCall& c = calls[i];
    switch (c.op) {
      case sim::CanvasOp::FillRect:
      case sim::CanvasOp::DrawLine:
      case sim::CanvasOp::DrawRect: {
        int top = c.y1 < c.y2 ? c.y1 : c.y2;
        int bottom = c.y1 < c.y2 ? c.y2 : c.y1;
        if (!in_lyrics_rows(top, bottom)) break;
        rows.repainted = true;
        // The area is painted whole (one fill, or a line per column) before
        // it is drawn again: the texts drawn before it are gone.
        if (c.op != sim::CanvasOp::DrawRect) black = grey = RowJoiner();
        break;
      }
      case sim::CanvasOp::DrawText: {
        if (c.y1 < kLyricsTop || c.y1 > kLyricsOverflowRow) break;
        std::string piece = utf16_to_utf8(c.text, c.text_len);
        if (is_black(c.color)) {
          black.add(c.y1, piece);
        } else if (is_grey(c.color)) {
          grey.add(c.y1, piece);
        } else {
          break;
        }
        rows.repainted = true;
        break;
      }
      default:
        break;
    }
  }
  rows.black = black.text;
  rows.grey = grey.text;
  return rows;
}

}  // namespace zqsim
