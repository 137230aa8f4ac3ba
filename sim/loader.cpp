// SPDX-License-Identifier: MIT
// The loader: opens a program image through the port (a fresh copy each
// time, so that every load starts with fresh static state), calls its entry,
// and unloads it again when the program asks or the phone is switched off.
#include "platform/framework.h"
#include "sim/framework.h"
#include "sim/framework_bytes.h"
#include "sim/internal.h"
#include "sim/port.h"

namespace sim::fw {
namespace {

typedef uint32_t (*LibEntry)(uint32_t unused, const char* start_text, uint32_t evcode_base);

constexpr size_t kWhyBytes = 256;

struct Loader {
  void* image;
  bool unload_pending;
  bool unload_requested;
  uint32_t unload_event;  // the event whose handler asked for the unload
};

Loader l;

void CloseImage() {
  if (!l.image) return;
  port::ImageClose(l.image);
  l.image = nullptr;
}

// Ends every application without running any of its handlers, then lets the
// image go: nothing of it may be called afterwards.
void EndEverything() {
  for (int i = 0; i < kMaxApps; ++i) {
    App* a = AppAt(i);
    if (a->slot == Slot::kRunning || a->slot == Slot::kAllocated) EndAppSilently(a);
  }
  DropQueue();
  MediaDeleteAll();
  FreeExited();
  ClearRegistrations();
  bool had_image = l.image != nullptr;
  if (had_image) internal::MemoryImageUnloaded();
  if (had_image || l.unload_pending) internal::Emit(Fact::kUnload, l.unload_pending ? l.unload_event : 0, nullptr);
  CloseImage();
}

}  // namespace

void LoaderReset() {
  CloseImage();
  ZeroBytes(&l, sizeof(l));
}

bool FinishPendingUnload() {
  if (!l.unload_pending) return false;
  // The events already queued still reach the image's applications: the
  // shell must see the closing event the player posted on its way out.
  size_t n = QueuedEvents();
  for (size_t i = 0; i < n && DispatchNext(); ++i) FreeExited();
  EndEverything();
  l.unload_pending = false;
  l.unload_requested = true;
  return true;
}

}  // namespace sim::fw

namespace sim {

using fw::l;

bool LoadImage(const char* image_path, const char* start_text, uint32_t evcode_base, uint32_t* lib_result) {
  if (!image_path) return false;
  if (l.image) {
    fw::Report("load_image", "refused: an image is already loaded");
    return false;
  }
  char why[fw::kWhyBytes] = "";
  void* image = port::ImageOpen(image_path, why, sizeof why);
  if (!image) {
    fw::Report("load_image: cannot load the image", why);
    return false;
  }
  auto lib = reinterpret_cast<fw::LibEntry>(port::ImageEntry(image));
  if (!lib) {
    fw::Report("load_image: the image has no entry Lib", image_path);
    port::ImageClose(image);
    return false;
  }
  l.image = image;
  l.unload_requested = false;
  internal::MemoryImageLoaded();
  uint32_t r = lib(0, start_text, evcode_base);
  if (lib_result) *lib_result = r;
  RunPending();
  return true;
}

bool ImageLoaded() {
  return l.image != nullptr;
}

void* ImageSymbol(const char* name) {
  return l.image && name ? port::ImageSymbol(l.image, name) : nullptr;
}

void UnloadImage() {
  l.unload_pending = false;
  fw::EndEverything();
}

bool UnloadRequested() {
  return l.unload_requested;
}

}  // namespace sim

ZQ_EXTERN_C uint32_t LdrUnloadELF(void*) {
  // Only marked here: the caller is code of the image, still running.
  sim::fw::l.unload_pending = true;
  sim::fw::l.unload_event = sim::fw::DispatchingEvent();
  return 0;
}
