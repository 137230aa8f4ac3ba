// SPDX-License-Identifier: MIT
#include "drive/trace.h"

#include "drive/trace_format.h"
#include "sim/port.h"

namespace drive {
namespace {

void WriteStdout(void*, const char* text, size_t length) {
  sim::port::WriteOut(text, length);
}
void WriteStderr(void*, const char* text, size_t length) {
  sim::port::WriteErr(text, length);
}
void WriteFile(void* ctx, const char* text, size_t length) {
  sim::port::Write(*static_cast<int*>(ctx), text, length);
}

}  // namespace

Output StandardOutput() {
  return Output{WriteStdout, nullptr};
}
Output StandardErrors() {
  return Output{WriteStderr, nullptr};
}

void Say(const char* program, const char* text) {
  Text line(program);
  line.Append(": ").Append(text).Append('\n');
  sim::port::WriteErr(line.CStr(), line.Size());
}

bool OutputFile::Open(const char* path) {
  Close();
  fd_ = sim::port::OpenWrite(path);
  return fd_ >= 0;
}

void OutputFile::Close() {
  if (fd_ >= 0) sim::port::Close(fd_);
  fd_ = -1;
}

Output OutputFile::AsOutput() {
  return Output{WriteFile, &fd_};
}

void Trace::Attach() {
  // Whatever was drawn before the run started is not part of any event.
  sim::CanvasLogClear();
  sim::SetObserver(&Trace::Observe, this);
}

void Trace::Detach() {
  sim::SetObserver(nullptr, nullptr);
}

void Trace::line(const char* text) {
  if (muted_) return;
  ++lines_;
  if (!out_) return;
  line_.Clear();
  line_.AppendNumber(sim::NowMs()).Append(' ').Append(text).Append('\n');
  out_(line_.CStr(), line_.Size());
}

void Trace::Shot(const char* name, uint32_t crc) {
  Text text("shot ");
  text.Append(name).Append(' ').AppendHex8(crc);
  line(text.CStr());
}

void Trace::Observe(sim::Fact fact, uint32_t value, const char* text, void* ctx) {
  static_cast<Trace*>(ctx)->Handle(fact, value, text);
}

void Trace::Handle(sim::Fact fact, uint32_t value, const char* text) {
  Text s;
  switch (fact) {
    case sim::Fact::kTrack:
      s.Append("track ");
      AppendQuoted(&s, text != nullptr ? text : "");
      break;
    case sim::Fact::kEngineStart:
      s.Append("engine start");
      break;
    case sim::Fact::kEnginePause:
      s.Append("engine pause");
      break;
    case sim::Fact::kEngineStop:
      s.Append("engine stop");
      break;
    case sim::Fact::kEngineDelete:
      s.Append("engine delete");
      break;
    case sim::Fact::kEngineSeek:
      s.Append("engine seek ").AppendNumber(value);
      break;
    case sim::Fact::kIndicator:
      s.Append("indicator ").AppendNumber(value);
      break;
    case sim::Fact::kVolume:
      s.Append("volume ").AppendNumber(value);
      break;
    case sim::Fact::kShellStart:
      s.Append("shell start");
      break;
    case sim::Fact::kShellExit:
      s.Append("shell exit");
      break;
    case sim::Fact::kEventDone:
      ReportLyrics();
      break;
    case sim::Fact::kUnload:
      s.Append("unload");
      break;
    case sim::Fact::kTokenRevoked:
      s.Append("shell token revoked");
      break;
    default:  // facts told by the notes on stderr, not traced
      break;
  }
  if (!s.Empty()) line(s.CStr());
  on_note(fact, value, text);
  on_fact(fact, value, text);
}

// The canvas log is read and emptied after every event, so that each event's
// drawing is judged on its own and the log never wraps around.
void Trace::ReportLyrics() {
  size_t n = sim::CanvasLogSize();
  if (n == 0) return;
  LyricsRows rows;
  for (size_t i = 0; i < n; ++i) rows.Add(sim::CanvasLogAt(i));
  sim::CanvasLogClear();
  if (!rows.Repainted()) return;
  Text s("lyrics ");
  AppendQuoted(&s, rows.Black());
  s.Append(' ');
  AppendQuoted(&s, rows.Grey());
  line(s.CStr());
}

}  // namespace drive
