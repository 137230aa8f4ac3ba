// One fixed run of a program image in the stand-in, printing what the
// stand-in saw: engine and indicator events, lyric rows, screen checksums.
// The same source is built for the host (loading a host image) and for the
// big-endian box (loading a phone image under qemu-armeb), and the two
// outputs must be the same. Freestanding: output goes through the port.
//
//   box_smoke IMAGE ROOT GB2UC_MAP START_URI
#include "sim/driver.h"
#include "sim/internal.h"
#include "sim/port.h"

namespace {

void Put(const char* text) {
  size_t n = 0;
  while (text[n] != '\0') ++n;
  sim::port::write_out(text, n);
}

void PutNumber(uint32_t v) {
  char digits[11];
  int n = 0;
  do {
    digits[n++] = (char)('0' + v % 10);
    v /= 10;
  } while (v != 0);
  char text[12];
  for (int i = 0; i < n; ++i) text[i] = digits[n - 1 - i];
  text[n] = '\0';
  Put(text);
}

void PutHex(uint32_t v) {
  char text[9];
  for (int i = 0; i < 8; ++i) text[i] = "0123456789abcdef"[(v >> (28 - 4 * i)) & 0xF];
  text[8] = '\0';
  Put(text);
}

void Stamp(const char* what) {
  PutNumber(sim::now_ms());
  Put(" ");
  Put(what);
}

// Black and grey text drawn in the lyrics area (rows 100 to 200) by one
// event, rows joined with "|".
struct Rows {
  char black[512];
  char grey[512];
  size_t black_used, grey_used;
  int black_row, grey_row;
};

void AddRow(char* out, size_t* used, int* row, int y, const sim::CanvasCall& c) {
  char piece[SIM_LOG_TEXT_UNITS * 3 + 1];
  WCHAR units[SIM_LOG_TEXT_UNITS + 1];
  for (size_t i = 0; i < c.text_len; ++i) units[i] = c.text[i];
  units[c.text_len] = 0;
  sim::internal::utf16_to_utf8(units, piece, sizeof piece);
  if (*used > 0 && y != *row && *used + 1 < 512) out[(*used)++] = '|';
  for (size_t i = 0; piece[i] != '\0' && *used + 1 < 512; ++i) out[(*used)++] = piece[i];
  out[*used] = '\0';
  *row = y;
}

void ReportLyrics() {
  static Rows r;
  r = Rows{};
  bool any = false;
  for (size_t i = 0; i < sim::canvas_log_size(); ++i) {
    const sim::CanvasCall& c = sim::canvas_log_at(i);
    if (c.op != sim::CanvasOp::DrawText || c.y1 < 100 || c.y1 > 200) continue;
    if (c.color.r == 0 && c.color.g == 0 && c.color.b == 0) {
      AddRow(r.black, &r.black_used, &r.black_row, c.y1, c);
      any = true;
    } else if (c.color.r == 0x80 && c.color.g == 0x80 && c.color.b == 0x80) {
      AddRow(r.grey, &r.grey_used, &r.grey_row, c.y1, c);
      any = true;
    }
  }
  sim::canvas_log_clear();
  if (!any) return;
  Stamp("lyrics \"");
  Put(r.black);
  Put("\" \"");
  Put(r.grey);
  Put("\"\n");
}

void Observe(sim::Fact fact, uint32_t value, const char* text, void*) {
  static const char* const kNames[] = {"track",         "engine start", "engine pause", "engine stop",
                                       "engine delete", "engine seek",  "indicator",    "volume",
                                       "shell start",   "shell exit",   nullptr,        "unload"};
  if (fact == sim::Fact::EventDone) {
    ReportLyrics();
    return;
  }
  // Facts that zqsim's trace does not show either (a missing file, a break-off).
  if ((size_t)fact >= sizeof kNames / sizeof kNames[0]) return;
  Stamp(kNames[(int)fact]);
  if (fact == sim::Fact::Track) {
    Put(" \"");
    Put(text != nullptr ? text : "");
    Put("\"");
  } else if (fact == sim::Fact::EngineSeek || fact == sim::Fact::Indicator || fact == sim::Fact::Volume) {
    Put(" ");
    PutNumber(value);
  }
  Put("\n");
}

// CRC-32 of the screen's pixels, as zqsim prints for its screenshots.
void ReportScreen() {
  const uint8_t* p = sim::framebuffer_rgb();
  uint32_t crc = 0xFFFFFFFFu;
  for (size_t i = 0; i < 176 * 220 * 3; ++i) {
    crc ^= p[i];
    for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1)));
  }
  Stamp("screen ");
  PutHex(~crc);
  Put("\n");
}

// What a person does: taps and holds of keys, waits, and looks at the screen.
struct Step {
  uint8_t key;       // 0xFF: no key
  uint32_t hold_ms;  // with a key: how long it is held
  uint32_t wait_ms;  // afterwards
  bool look;         // print the screen's checksum afterwards
};

constexpr uint8_t kNone = 0xFF;
const Step kSteps[] = {
    {kNone, 0, 9000, true},     // the first track's lines (GB2312)
    {0x17, 0, 0, false},        // volume up
    {0x2F, 1500, 2000, false},  // seek forward, held
    {0x2C, 0, 2000, false},     // pause
    {0x2C, 0, 14000, true},     // play; the track ends and the next (UTF-8) follows
    {0x2F, 0, 8000, true},      // next track (UTF-16 lyrics)
    {0x2E, 1200, 1000, false},  // seek back, held
    {0x0B, 0, 0, false},        // next play mode
    {0x0F, 0, 1000, true},      // hide the screen; the music goes on
    {0x2D, 0, 1500, true},      // the idle screen shows it again
    {0x2F, 0, 2000, true},      // the track without lyrics
    {0x18, 0, 0, false},        // volume down
    {0x0E, 0, 0, false},        // exit
};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 5) {
    Put("usage: box_smoke IMAGE ROOT GB2UC_MAP START_URI\n");
    return 2;
  }
  sim::reset();
  if (!sim::set_root(argv[2])) {
    Put("no root folder\n");
    return 2;
  }
  sim::install_gb2uc_file(argv[3]);
  uint8_t id[8];
  if (!sim::file_id(argv[4], id)) {
    Put("no start file\n");
    return 2;
  }
  // A short first track, so that its end is part of the run.
  sim::set_track_length(argv[4], 20000);
  char text[17];
  sim::file_id_text(id, text);
  sim::set_observer(Observe, nullptr);
  uint32_t registered = 0;
  if (!sim::load_image(argv[1], text, 0x3000, &registered)) return 1;
  Stamp("lib ");
  PutNumber(registered);
  Put(sim::image_symbol("player") != nullptr ? ", player record exported\n" : ", no player record\n");
  for (const Step& s : kSteps) {
    if (s.key != kNone) {
      sim::press(s.key);
      sim::advance(s.hold_ms);
      sim::release(s.key);
    }
    sim::advance(s.wait_ms);
    if (s.look) ReportScreen();
  }
  sim::run_pending();
  Stamp("leaks ");
  PutNumber(sim::leaked_blocks());
  Put("\n");
  return sim::unload_requested() ? 0 : 1;
}
