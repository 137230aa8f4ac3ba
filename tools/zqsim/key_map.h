// The keyboard as the phone's keys, and the simulator's own control keys.
#pragma once

#include <SDL.h>
#include <stdint.h>

namespace zqsim {

// The phone key for a keyboard key, or -1 when it is not one. `mod` matters
// for Shift+3 ("#") and Shift+8 ("*") on keyboards without those keys.
int phone_key_for(SDL_Keycode sym, uint16_t mod);

// Keys that drive the simulator rather than the phone.
enum class Control : uint8_t { None, Help, KeypadLock, VoiceCall, FrontApp, Screenshot };
Control control_for(SDL_Keycode sym);

// The key map as lines of help text, ending with a null.
extern const char* const kKeyHelp[];

}  // namespace zqsim
