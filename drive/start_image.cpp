// SPDX-License-Identifier: MIT
#include "drive/start_image.h"

#include "sim/driver.h"

namespace drive {

bool StartImage(const char* image_path, const char* start_uri, Text* error) {
  uint8_t id[8];
  if (!sim::FileId(start_uri, id)) {
    error->Assign("the stand-in does not see ");
    error->Append(start_uri);
    return false;
  }
  char text[17];
  sim::FileIdText(id, text);
  uint32_t lib_result = 0;
  if (!sim::LoadImage(image_path, text, kEvcodeBase, &lib_result)) {
    error->Assign("cannot load the image ");
    error->Append(image_path);
    return false;
  }
  if (lib_result == 0 && !sim::UnloadRequested()) {
    error->Assign("the image did not register (Lib returned 0)");
    return false;
  }
  return true;
}

}  // namespace drive
