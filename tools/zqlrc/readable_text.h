// SPDX-License-Identifier: MIT
// Text for a person's terminal: UTF-8 throughout, with control characters
// as \xNN and 16-bit units that are no character (a lone surrogate) as
// <U+D800>, so that every report line stays one line and shows what is there.
#pragma once

#include <stddef.h>

#include <string>

namespace zqlrc {

std::string Readable(const char16_t* units, size_t count);
std::string Readable(const std::u32string& text);
// At most `limit` characters of text[from...] up to its line end, in quotes.
std::string Quote(const std::u32string& text, size_t from, size_t limit = 24);

}  // namespace zqlrc
