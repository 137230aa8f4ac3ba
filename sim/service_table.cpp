// SPDX-License-Identifier: MIT
// The table of firmware services by name, made from platform/services.txt at
// build time (service_list.inc holds one ZQ_SERVICE(name) a line), so that
// the list an image is checked against and the list it is loaded with are
// one list.
#include "sim/service_table.h"

#include "platform/firmware.h"
#include "sim/framework_bytes.h"

namespace sim {
namespace {

struct Service {
  const char* name;
  const void* address;
};

#define ZQ_SERVICE(name) {#name, reinterpret_cast<const void*>(&(name))},
const Service kServices[] = {
#include "service_list.inc"
};
#undef ZQ_SERVICE

}  // namespace

const void* ServiceAddress(const char* name) {
  if (name == nullptr) return nullptr;
  for (const Service& s : kServices)
    if (fw::TextEqual(s.name, name)) return s.address;
  return nullptr;
}

}  // namespace sim
