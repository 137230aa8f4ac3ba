// Placeholder until the application frame lands.
#include "app/app.h"
extern "C" uint32_t Lib(uint32_t unused, const char* start_text, uint32_t evcode_base) { return Register(unused, start_text, evcode_base); }
uint32_t Register(uint32_t, const char*, uint32_t) { return 0; }  // placeholder
