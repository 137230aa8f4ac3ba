#include "drive/trace.h"

#include "drive/trace_format.h"
#include "sim/port.h"

namespace drive {
namespace {

void write_stdout(void*, const char* text, size_t length) {
  sim::port::write_out(text, length);
}
void write_stderr(void*, const char* text, size_t length) {
  sim::port::write_err(text, length);
}
void write_file(void* ctx, const char* text, size_t length) {
  sim::port::write(*static_cast<int*>(ctx), text, length);
}

}  // namespace

Output standard_output() {
  return Output{write_stdout, nullptr};
}
Output standard_errors() {
  return Output{write_stderr, nullptr};
}

void say(const char* program, const char* text) {
  Text line(program);
  line.append(": ").append(text).append('\n');
  sim::port::write_err(line.c_str(), line.size());
}

bool OutputFile::open(const char* path) {
  close();
  fd_ = sim::port::open_write(path);
  return fd_ >= 0;
}

void OutputFile::close() {
  if (fd_ >= 0) sim::port::close(fd_);
  fd_ = -1;
}

Output OutputFile::output() {
  return Output{write_file, &fd_};
}

void Trace::attach() {
  // Whatever was drawn before the run started is not part of any event.
  sim::canvas_log_clear();
  sim::set_observer(&Trace::observe, this);
}

void Trace::detach() {
  sim::set_observer(nullptr, nullptr);
}

void Trace::line(const char* text) {
  if (muted_) return;
  ++lines_;
  if (!out_) return;
  line_.clear();
  line_.append_number(sim::now_ms()).append(' ').append(text).append('\n');
  out_(line_.c_str(), line_.size());
}

void Trace::shot(const char* name, uint32_t crc) {
  Text text("shot ");
  text.append(name).append(' ').append_hex8(crc);
  line(text.c_str());
}

void Trace::observe(sim::Fact fact, uint32_t value, const char* text, void* ctx) {
  static_cast<Trace*>(ctx)->handle(fact, value, text);
}

void Trace::handle(sim::Fact fact, uint32_t value, const char* text) {
  Text s;
  switch (fact) {
    case sim::Fact::Track:
      s.append("track ");
      append_quoted(&s, text != nullptr ? text : "");
      break;
    case sim::Fact::EngineStart:
      s.append("engine start");
      break;
    case sim::Fact::EnginePause:
      s.append("engine pause");
      break;
    case sim::Fact::EngineStop:
      s.append("engine stop");
      break;
    case sim::Fact::EngineDelete:
      s.append("engine delete");
      break;
    case sim::Fact::EngineSeek:
      s.append("engine seek ").append_number(value);
      break;
    case sim::Fact::Indicator:
      s.append("indicator ").append_number(value);
      break;
    case sim::Fact::Volume:
      s.append("volume ").append_number(value);
      break;
    case sim::Fact::ShellStart:
      s.append("shell start");
      break;
    case sim::Fact::ShellExit:
      s.append("shell exit");
      break;
    case sim::Fact::EventDone:
      report_lyrics();
      break;
    case sim::Fact::Unload:
      s.append("unload");
      break;
    case sim::Fact::TokenRevoked:
      s.append("shell token revoked");
      break;
    default:  // facts told by the notes on stderr, not traced
      break;
  }
  if (!s.empty()) line(s.c_str());
  on_note(fact, value, text);
  on_fact(fact, value, text);
}

// The canvas log is read and emptied after every event, so that each event's
// drawing is judged on its own and the log never wraps around.
void Trace::report_lyrics() {
  size_t n = sim::canvas_log_size();
  if (n == 0) return;
  LyricsRows rows;
  for (size_t i = 0; i < n; ++i) rows.add(sim::canvas_log_at(i));
  sim::canvas_log_clear();
  if (!rows.repainted()) return;
  Text s("lyrics ");
  append_quoted(&s, rows.black());
  s.append(' ');
  append_quoted(&s, rows.grey());
  line(s.c_str());
}

}  // namespace drive
