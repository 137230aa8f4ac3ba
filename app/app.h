// SPDX-License-Identifier: MIT
// Entry, registration and the two applications: the shell ("ZQ_s_Player"),
// which owns the screen, and the player ("ZQ_Player"), which owns playback,
// keys and timers.
#pragma once

#include "app/player_state.h"

// The loader enters the image at its first byte, the stub Lib.
extern "C" uint32_t Lib(uint32_t unused, const char* start_text, uint32_t evcode_base);

uint32_t Register(uint32_t unused, const char* start_text, uint32_t evcode_base);
uint32_t id2uri(const char* start_text, WCHAR* uri);

uint32_t shell_startApp(EVENT_STACK_T* ev_st, uint32_t reg_id, uint32_t unused);
uint32_t shell_HandleUITokenGranted(EVENT_STACK_T* ev_st, APPLICATION_T* app);
uint32_t shell_MainStateEnter(EVENT_STACK_T* ev_st, APPLICATION_T* app, uint32_t kind);
uint32_t get_focus(EVENT_STACK_T* ev_st, APPLICATION_T* app);
uint32_t shell_Keypress(EVENT_STACK_T* ev_st, APPLICATION_T* app);
uint32_t shell_destroyApp(EVENT_STACK_T* ev_st, APPLICATION_T* app);

uint32_t player_startApp(EVENT_STACK_T* ev_st, uint32_t reg_id, uint32_t unused);
uint32_t player_MainStateEnter(EVENT_STACK_T* ev_st, APPLICATION_T* app, uint32_t kind);
uint32_t player_destroyApp(EVENT_STACK_T* ev_st, APPLICATION_T* app);

uint32_t ShowState(uint8_t state);

extern const STATE_HANDLERS_ENTRY_T shell_state_handling_table[3];
extern const STATE_HANDLERS_ENTRY_T player_state_handling_table[2];
extern const char shell_app_name[13];
extern const char player_app_name[13];
