// SPDX-License-Identifier: MIT
// The firmware's text routines: 16-bit strings (lengths in units, ended by a
// zero unit), 8-bit name comparison and the debug print. A null string is
// taken as empty rather than followed, so that a faulty caller is seen in its
// results instead of bringing the whole stand-in down.
#include "platform/strings.h"

#include <stdarg.h>

#include "sim/port.h"

extern "C" {

uint32_t u_strlen(const WCHAR* s) {
  if (s == nullptr) return 0;
  uint32_t n = 0;
  while (s[n] != 0) ++n;
  return n;
}

WCHAR* u_strcpy(WCHAR* dst, const WCHAR* src) {
  if (dst == nullptr) return dst;
  uint32_t i = 0;
  if (src != nullptr)
    for (; src[i] != 0; ++i) dst[i] = src[i];
  dst[i] = 0;
  return dst;
}

WCHAR* u_strcat(WCHAR* dst, const WCHAR* src) {
  if (dst == nullptr) return dst;
  u_strcpy(dst + u_strlen(dst), src);
  return dst;
}

int32_t u_strncmp(const WCHAR* a, const WCHAR* b, uint32_t units) {
  static const WCHAR kEmpty[1] = {0};
  if (a == nullptr) a = kEmpty;
  if (b == nullptr) b = kEmpty;
  for (uint32_t i = 0; i < units; ++i) {
    if (a[i] != b[i]) return (int32_t)a[i] - (int32_t)b[i];
    if (a[i] == 0) return 0;
  }
  return 0;
}

int32_t u_strcmp(const WCHAR* a, const WCHAR* b) {
  return u_strncmp(a, b, UINT32_MAX);
}

WCHAR* u_strmakeupper(WCHAR* s) {
  if (s == nullptr) return s;
  for (WCHAR* p = s; *p != 0; ++p)
    if (*p >= u'a' && *p <= u'z') *p = (WCHAR)(*p - u'a' + u'A');
  return s;
}

WCHAR* u_ultou(uint32_t value, WCHAR* out) {
  if (out == nullptr) return out;
  WCHAR digits[10];
  int n = 0;
  do {
    digits[n++] = (WCHAR)(u'0' + value % 10);
    value /= 10;
  } while (value != 0);
  int i = 0;
  while (n > 0) out[i++] = digits[--n];
  out[i] = 0;
  return out;
}

WCHAR* u_ltou(int32_t value, WCHAR* out) {
  if (out == nullptr) return out;
  if (value >= 0) return u_ultou((uint32_t)value, out);
  out[0] = u'-';
  // The magnitude in unsigned arithmetic, so that INT32_MIN has one too.
  u_ultou(0u - (uint32_t)value, out + 1);
  return out;
}

char* u_utoa(const WCHAR* s, char* out) {
  if (out == nullptr) return out;
  uint32_t i = 0;
  if (s != nullptr)
    for (; s[i] != 0; ++i) out[i] = (char)(uint8_t)(s[i] & 0xFF);
  out[i] = '\0';
  return out;
}

int32_t namecmp(const char* a, const char* b) {
  if (a == nullptr) a = "";
  if (b == nullptr) b = "";
  const uint8_t* x = (const uint8_t*)a;
  const uint8_t* y = (const uint8_t*)b;
  while (*x != 0 && *x == *y) {
    ++x;
    ++y;
  }
  return (int32_t)*x - (int32_t)*y;
}

}  // extern "C"

// The debug print: a small printf that understands %s %d %u %x %c and %%,
// with an optional l (ignored, all values are 32 bits), written to stderr.
namespace {

struct Line {
  char text[512];
  size_t n = 0;
  void Put(char c) {
    if (n < sizeof text) text[n++] = c;
  }
  void Number(uint32_t v, unsigned base) {
    char digits[12];
    int d = 0;
    do {
      digits[d++] = "0123456789abcdef"[v % base];
      v /= base;
    } while (v != 0);
    while (d > 0) Put(digits[--d]);
  }
};

}  // namespace

extern "C" void PFprintf(const char* format, ...) {
  if (format == nullptr) return;
  Line line;
  va_list args;
  va_start(args, format);
  for (const char* f = format; *f != '\0'; ++f) {
    if (*f != '%') {
      line.Put(*f);
      continue;
    }
    ++f;
    if (*f == 'l') ++f;
    switch (*f) {
      case 's': {
        const char* s = va_arg(args, const char*);
        if (s == nullptr) s = "(null)";
        while (*s != '\0') line.Put(*s++);
        break;
      }
      case 'd': {
        int32_t v = va_arg(args, int32_t);
        if (v < 0) line.Put('-');
        line.Number(v < 0 ? 0u - (uint32_t)v : (uint32_t)v, 10);
        break;
      }
      case 'u':
        line.Number(va_arg(args, uint32_t), 10);
        break;
      case 'x':
        line.Number(va_arg(args, uint32_t), 16);
        break;
      case 'c':
        line.Put((char)va_arg(args, int));
        break;
      case '%':
        line.Put('%');
        break;
      case '\0':
        --f;  // a lone % at the end: stop at the terminator
        break;
      default:
        line.Put('%');
        line.Put(*f);
        break;
    }
  }
  va_end(args);
  sim::port::WriteErr(line.text, line.n);
}
