#include "drive/start_image.h"

#include "sim/driver.h"

namespace drive {

bool start_image(const char* image_path, const char* start_uri, Text* error) {
  uint8_t id[8];
  if (!sim::file_id(start_uri, id)) {
    error->assign("the stand-in does not see ");
    error->append(start_uri);
    return false;
  }
  char text[17];
  sim::file_id_text(id, text);
  uint32_t lib_result = 0;
  if (!sim::load_image(image_path, text, kEvcodeBase, &lib_result)) {
    error->assign("cannot load the image ");
    error->append(image_path);
    return false;
  }
  if (lib_result == 0 && !sim::unload_requested()) {
    error->assign("the image did not register (Lib returned 0)");
    return false;
  }
  return true;
}

}  // namespace drive
