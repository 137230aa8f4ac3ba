// SPDX-License-Identifier: MIT
#include "song_generator.h"

#include <iconv.h>
#include <stdio.h>
#include <stdlib.h>

#include "sim/utf8.h"

namespace bench_songs {

namespace {

// Common characters, all of them in GB2312.
const char16_t kHanzi[] =
    u"的一是不了人我在有他这中大来上国个到说们为子和你地出道也时年得就那要下以生会自着去之过家学对可她里后"
    u"小么心多天而能好都然没日于起还发成事只作当想看文无开手十用主行方又如前所本见经头面公同三已老从动两长"
    u"月光风花雪夜春秋山水明思故乡床前疑霜举望低";
const char* const kWords[] = {"love", "night", "light", "heart", "dream", "river", "away", "home", "you",
                              "me",   "the",   "and",   "over",  "again", "stay",  "sky",  "rain", "falls"};

class Random {
 public:
  explicit Random(uint32_t seed) : state_(seed * 2654435761u + 1) {}
  uint32_t Next(uint32_t bound) {
    state_ = state_ * 1664525u + 1013904223u;
    return (state_ >> 8) % bound;
  }

 private:
  uint32_t state_;
};

std::u16string Ascii(const std::string& s) {
  return std::u16string(s.begin(), s.end());
}

std::u16string Tag(uint32_t ms) {
  char text[24];
  snprintf(text, sizeof text, "[%02u:%02u.%02u]", ms / 60000, (ms / 1000) % 60, (ms % 1000) / 10);
  return Ascii(text);
}

std::u16string TextLine(Random& rnd, bool chinese) {
  std::u16string line;
  if (chinese) {
    uint32_t count = 7 + rnd.Next(8);
    for (uint32_t k = 0; k < count; ++k) {
      if (k == count / 2 && rnd.Next(2) == 0) line += u' ';
      line += kHanzi[rnd.Next(sizeof kHanzi / sizeof kHanzi[0] - 1)];
    }
  } else {
    uint32_t count = 4 + rnd.Next(5);
    for (uint32_t k = 0; k < count; ++k) {
      if (k > 0) line += u' ';
      line += Ascii(kWords[rnd.Next(sizeof kWords / sizeof kWords[0])]);
    }
  }
  return line;
}

}  // namespace

Song MakeSong(uint32_t seed) {
  Random rnd(seed);
  Song song;
  song.text = u"[ti:" + TextLine(rnd, true).substr(0, 4) + u"]\r\n[ar:" + TextLine(rnd, false).substr(0, 12) +
              u"]\r\n[al:" + TextLine(rnd, true).substr(0, 5) + u"]\r\n[by:zq]\r\n[offset:" +
              Ascii(std::to_string(rnd.Next(500))) + u"]\r\n\r\n";
  uint32_t lines = 40 + rnd.Next(41);
  uint32_t ms = 1000 + rnd.Next(15000);
  bool chinese_song = rnd.Next(3) != 0;
  for (uint32_t k = 0; k < lines; ++k) {
    // About one line in four is a chorus line that comes back once or twice
    // later in the song: its tags are not in file order.
    uint32_t tags = rnd.Next(4) == 0 ? 2 + rnd.Next(2) : 1;
    std::u16string tagged;
    for (uint32_t t = 0; t < tags; ++t) tagged += Tag(ms + t * (40000 + rnd.Next(30000)));
    bool chinese = chinese_song ? rnd.Next(5) != 0 : rnd.Next(5) == 0;
    song.text += tagged + TextLine(rnd, chinese) + u"\r\n";
    ms += 2000 + rnd.Next(4000);
  }
  song.lines = lines;
  return song;
}

std::vector<uint8_t> Encode(const std::u16string& text, Encoding encoding) {
  std::vector<uint8_t> out;
  switch (encoding) {
    case Encoding::kUtf8Mark:
      out = {0xEF, 0xBB, 0xBF};
      for (char16_t c : text) {
        char bytes[sim::kUtf8MaxBytes];
        const size_t n = sim::EncodeUtf8(c, bytes);
        out.insert(out.end(), bytes, bytes + n);
      }
      break;
    case Encoding::kUtf16Le:
    case Encoding::kUtf16Be: {
      bool le = encoding == Encoding::kUtf16Le;
      out = le ? std::vector<uint8_t>{0xFF, 0xFE} : std::vector<uint8_t>{0xFE, 0xFF};
      for (char16_t c : text) {
        out.push_back((uint8_t)(le ? c & 0xFF : c >> 8));
        out.push_back((uint8_t)(le ? c >> 8 : c & 0xFF));
      }
      break;
    }
    case Encoding::kGb2312: {
      iconv_t cd = iconv_open("GB2312", "UTF-16LE");
      if (cd == (iconv_t)-1) abort();
      std::vector<uint8_t> in = Encode(text, Encoding::kUtf16Le);
      out.resize(text.size() * 2);
      char* in_ptr = (char*)in.data() + 2;
      size_t in_left = in.size() - 2;
      char* out_ptr = (char*)out.data();
      size_t out_left = out.size();
      if (iconv(cd, &in_ptr, &in_left, &out_ptr, &out_left) == (size_t)-1) abort();
      iconv_close(cd);
      out.resize(out.size() - out_left);
      break;
    }
  }
  return out;
}

const char* Name(Encoding encoding) {
  switch (encoding) {
    case Encoding::kUtf8Mark:
      return "utf8_mark";
    case Encoding::kUtf16Le:
      return "utf16le";
    case Encoding::kUtf16Be:
      return "utf16be";
    case Encoding::kGb2312:
      return "gb2312";
  }
  return "?";
}

bool FromName(const char* name, Encoding* encoding) {
  for (Encoding e : {Encoding::kUtf8Mark, Encoding::kUtf16Le, Encoding::kUtf16Be, Encoding::kGb2312}) {
    if (std::string(name) == Name(e)) {
      *encoding = e;
      return true;
    }
  }
  return false;
}

}  // namespace bench_songs
