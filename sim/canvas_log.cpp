// SPDX-License-Identifier: MIT
// A ring of the most recent canvas calls: a test reads back exactly what
// reached the canvas, with the colour that was in force for each drawing.
#include "sim/canvas_log.h"

namespace sim {
namespace {

constexpr size_t kCapacity = 16384;  // a whole colour-wheel screen takes about 2000
CanvasCall g_calls[kCapacity];
size_t g_first = 0;  // index of the oldest call kept
size_t g_size = 0;

}  // namespace

namespace canvas_log {

CanvasCall Blank(CanvasOp op, uint32_t dialog) {
  CanvasCall call = {};
  call.op = op;
  call.dialog = dialog;
  return call;
}

void SetText(CanvasCall* call, const WCHAR* text, uint32_t length) {
  uint16_t kept = 0;
  if (text) {
    while (kept < length && kept < SIM_LOG_TEXT_UNITS && text[kept] != 0) {
      call->text[kept] = text[kept];
      ++kept;
    }
  }
  call->text_len = kept;
}

void Record(const CanvasCall& call) {
  if (g_size < kCapacity) {
    g_calls[(g_first + g_size) % kCapacity] = call;
    ++g_size;
  } else {
    g_calls[g_first] = call;
    g_first = (g_first + 1) % kCapacity;
  }
}

}  // namespace canvas_log

size_t CanvasLogSize() {
  return g_size;
}

const CanvasCall& CanvasLogAt(size_t i) {
  static const CanvasCall kNone = {};
  if (i >= g_size) return kNone;
  return g_calls[(g_first + i) % kCapacity];
}

void CanvasLogClear() {
  g_first = 0;
  g_size = 0;
}

}  // namespace sim
