#include "tools/zqsim/trace.h"

#include <inttypes.h>

#include <vector>

#include "tools/zqsim/trace_format.h"

namespace zqsim {

void Trace::attach() {
  // Whatever was drawn before the run started is not part of any event.
  sim::canvas_log_clear();
  sim::set_observer(&Trace::observe, this);
}

void Trace::detach() {
  sim::set_observer(nullptr, nullptr);
}

void Trace::line(const std::string& text) {
  if (muted_) return;
  ++lines_;
  if (out_ == nullptr) return;
  fprintf(out_, "%" PRIu32 " %s\n", sim::now_ms(), text.c_str());
  fflush(out_);
}

void Trace::shot(const std::string& name, uint32_t crc) {
  char hex[16];
  snprintf(hex, sizeof hex, "%08" PRIx32, crc);
  line("shot " + name + " " + hex);
}

void Trace::observe(sim::Fact fact, uint32_t value, const char* text, void* ctx) {
  static_cast<Trace*>(ctx)->handle(fact, value, text);
}

void Trace::handle(sim::Fact fact, uint32_t value, const char* text) {
  std::string s = text ? text : "";
  switch (fact) {
    case sim::Fact::Track:
      line("track " + quoted(s));
      break;
    case sim::Fact::EngineStart:
      line("engine start");
      break;
    case sim::Fact::EnginePause:
      line("engine pause");
      break;
    case sim::Fact::EngineStop:
      line("engine stop");
      break;
    case sim::Fact::EngineDelete:
      line("engine delete");
      break;
    case sim::Fact::EngineSeek:
      line("engine seek " + std::to_string(value));
      break;
    case sim::Fact::Indicator:
      line("indicator " + std::to_string(value));
      break;
    case sim::Fact::Volume:
      line("volume " + std::to_string(value));
      break;
    case sim::Fact::ShellStart:
      line("shell start");
      break;
    case sim::Fact::ShellExit:
      line("shell exit");
      break;
    case sim::Fact::EventDone:
      report_lyrics();
      break;
    case sim::Fact::Unload:
      line("unload");
      break;
    case sim::Fact::FileMissing:  // told on stderr by the notes, not traced
    case sim::Fact::BreakOff:
      break;
  }
  if (on_note) on_note(fact, value, text);
  if (on_fact) on_fact(fact, value, text);
}

// The canvas log is read and emptied after every event, so that each event's
// drawing is judged on its own and the log never wraps around.
void Trace::report_lyrics() {
  size_t n = sim::canvas_log_size();
  if (n == 0) return;
  std::vector<sim::CanvasCall> calls;
  calls.reserve(n);
  for (size_t i = 0; i < n; ++i) calls.push_back(sim::canvas_log_at(i));
  sim::canvas_log_clear();
  LyricsRows rows = lyrics_rows(calls.data(), calls.size());
  if (rows.repainted) line("lyrics " + quoted(rows.black) + " " + quoted(rows.grey));
}

}  // namespace zqsim
