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

Loader L;

void close_image() {
  if (!L.image) return;
  port::image_close(L.image);
  L.image = nullptr;
}

// Ends every application without running any of its handlers, then lets the
// image go: nothing of it may be called afterwards.
void end_everything() {
  for (int i = 0; i < kMaxApps; ++i) {
    App* a = app_at(i);
    if (a->slot == Slot::Running || a->slot == Slot::Allocated) end_app_silently(a);
  }
  drop_queue();
  media_delete_all();
  free_exited();
  clear_registrations();
  bool had_image = L.image != nullptr;
  if (had_image) internal::memory_image_unloaded();
  if (had_image || L.unload_pending) internal::emit(Fact::Unload, L.unload_pending ? L.unload_event : 0, nullptr);
  close_image();
}

}  // namespace

void loader_reset() {
  close_image();
  zero_bytes(&L, sizeof(L));
}

bool finish_pending_unload() {
  if (!L.unload_pending) return false;
  // The events already queued still reach the image's applications: the
  // shell must see the closing event the player posted on its way out.
  size_t n = queued_events();
  for (size_t i = 0; i < n && dispatch_next(); ++i) free_exited();
  end_everything();
  L.unload_pending = false;
  L.unload_requested = true;
  return true;
}

}  // namespace sim::fw

namespace sim {

using fw::L;

bool load_image(const char* image_path, const char* start_text, uint32_t evcode_base, uint32_t* lib_result) {
  if (!image_path) return false;
  if (L.image) {
    fw::report("load_image", "refused: an image is already loaded");
    return false;
  }
  char why[fw::kWhyBytes] = "";
  void* image = port::image_open(image_path, why, sizeof why);
  if (!image) {
    fw::report("load_image: cannot load the image", why);
    return false;
  }
  auto lib = reinterpret_cast<fw::LibEntry>(port::image_entry(image));
  if (!lib) {
    fw::report("load_image: the image has no entry Lib", image_path);
    port::image_close(image);
    return false;
  }
  L.image = image;
  L.unload_requested = false;
  internal::memory_image_loaded();
  uint32_t r = lib(0, start_text, evcode_base);
  if (lib_result) *lib_result = r;
  run_pending();
  return true;
}

bool image_loaded() {
  return L.image != nullptr;
}

void* image_symbol(const char* name) {
  return L.image && name ? port::image_symbol(L.image, name) : nullptr;
}

void unload_image() {
  L.unload_pending = false;
  fw::end_everything();
}

bool unload_requested() {
  return L.unload_requested;
}

}  // namespace sim

ZQ_EXTERN_C uint32_t LdrUnloadELF(void*) {
  // Only marked here: the caller is code of the image, still running.
  sim::fw::L.unload_pending = true;
  sim::fw::L.unload_event = sim::fw::dispatching_event();
  return 0;
}
