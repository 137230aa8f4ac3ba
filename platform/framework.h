// SPDX-License-Identifier: MIT
// Application framework and loader.
//
// Applications are described by state tables; the framework delivers one
// event at a time to the handler of the current state (or of the any-state 0)
// and every handler runs to its end. Times are in milliseconds.
#pragma once

#include "platform/types.h"

// Event codes the program handles or posts.
enum : uint32_t {
  EV_UI_TOKEN_GRANTED = 0x1E,
  EV_UI_TOKEN_REVOKED = 0x1F,
  EV_REDRAW = 0x14,
  EV_GAIN_FOCUS = 0x7ED,
  EV_DESTROY = 0x15,
  EV_SHELL_KEY = 0x2034,  // key press as the shell in front sees it
  EV_KEY_PRESS = 0x1F4,   // key press, pre-post (the player sees every key)
  EV_KEY_RELEASE = 0x1F5,
  EV_TIMER_EXPIRED = 0x8205A,
  EV_PLAYBACK_READY = 0xC1000,
  EV_PLAYBACK_SEEK_DONE = 0xC1002,
  EV_PLAYBACK_END = 0xC100D,
  EV_LIST_END = 0xFFFFFFFFu,  // ends a handler list
};

// The current event as AFW_GetEv returns it. Only the key code (byte 32) and
// the attachment pointer (word 288) are the program's business.
struct EVENT_T {
  uint8_t fw0[32];
  uint8_t key;  // key code of a key event
  uint8_t fw1[255];
  void* attachment;  // 32-bit word on the phone
};

// Attachment of a timer expiry.
struct TIMER_ATTACH_T {
  uint32_t fw0;
  uint32_t id;  // the id the timer was started with
};

// Attachment of the end of playback.
struct PLAYBACK_END_ATTACH_T {
  uint32_t fw0[2];
  uint32_t handle;  // the playback object that ended
  uint8_t status;   // 1 = played to its end; anything else = interrupted
  uint8_t fw1[3];
};

// The framework's application record: 80 bytes, of which the program uses
// the dialog handle, the port and the UI token status.
struct APPLICATION_T {
  uint8_t fw0[28];
  uint32_t dialog;  // the application's dialog (canvas) handle
  uint8_t fw1[4];
  uint32_t port;  // the application's port
  uint8_t fw2[32];
  uint8_t token_status;  // 2 = UI token held
  uint8_t fw3[7];
};

#define APP_TOKEN_HELD 2

struct EVENT_STACK_T;  // opaque: the framework's event stack

typedef uint32_t (*EVENT_HANDLER_T)(EVENT_STACK_T* ev_st, APPLICATION_T* app);
typedef uint32_t (*STATE_ROUTINE_T)(EVENT_STACK_T* ev_st, APPLICATION_T* app, uint32_t kind);
typedef uint32_t (*APP_START_T)(EVENT_STACK_T* ev_st, uint32_t reg_id, uint32_t unused);
typedef uint32_t (*APP_DISPATCH_T)(EVENT_STACK_T* ev_st, APPLICATION_T* app, uint32_t a, uint32_t b);

// One (event code, handler) pair of a state's handler list; the list ends
// with the code EV_LIST_END and a null handler.
struct EVENT_HANDLER_ENTRY_T {
  uint32_t code;
  EVENT_HANDLER_T handler;
};

// One state of a state table: 16 bytes on the phone.
struct STATE_HANDLERS_ENTRY_T {
  uint8_t state;
  uint8_t zero[3];
  STATE_ROUTINE_T entry;  // run when the state is entered, or null
  STATE_ROUTINE_T exit;   // run when the state is left, or null
  const EVENT_HANDLER_ENTRY_T* handlers;
};

#define APP_STATE_ANY 0

#if ZQ_PHONE_LAYOUT
static_assert(sizeof(EVENT_T) == 292, "event record");
static_assert(__builtin_offsetof(EVENT_T, key) == 32, "key code at 32");
static_assert(__builtin_offsetof(EVENT_T, attachment) == 288, "attachment at 288");
static_assert(__builtin_offsetof(TIMER_ATTACH_T, id) == 4, "timer id at +4");
static_assert(__builtin_offsetof(PLAYBACK_END_ATTACH_T, handle) == 8, "end handle at +8");
static_assert(__builtin_offsetof(PLAYBACK_END_ATTACH_T, status) == 12, "end status at +12");
static_assert(sizeof(STATE_HANDLERS_ENTRY_T) == 16, "state entry of 16 bytes");
static_assert(sizeof(EVENT_HANDLER_ENTRY_T) == 8, "handler pair of 8 bytes");
#endif
static_assert(sizeof(APPLICATION_T) == 80, "application record of 80 bytes");
static_assert(__builtin_offsetof(APPLICATION_T, dialog) == 28, "dialog at 28");
static_assert(__builtin_offsetof(APPLICATION_T, port) == 36, "port at 36");
static_assert(__builtin_offsetof(APPLICATION_T, token_status) == 72, "token status at 72");
static_assert(__builtin_offsetof(EVENT_T, key) == 32, "key code at 32");
static_assert(__builtin_offsetof(EVENT_T, attachment) == 288, "attachment at 288");

ZQ_BEGIN_DECLS

// Registers an application under a list of start event codes.
uint32_t APP_Register(const uint32_t* start_codes, uint32_t count, const STATE_HANDLERS_ENTRY_T* table, uint32_t states,
                      APP_START_T start);
// Starts the application registered under the start event code.
uint32_t LdrStartApp(uint32_t start_code);
// 0 when an application of this registration is already on the routing stack.
uint32_t AFW_InquireRoutingStackByRegId(uint32_t reg_id);
// Allocates and returns a new application record of `size` bytes (at least 80).
APPLICATION_T* APP_InitAppData(APP_DISPATCH_T dispatch, uint32_t size, uint32_t reg_id, uint32_t a4, uint32_t a5,
                               uint32_t a6, uint32_t a7, uint32_t a8, uint32_t a9);
uint32_t APP_Start(EVENT_STACK_T* ev_st, APPLICATION_T* app, uint32_t state, const STATE_HANDLERS_ENTRY_T* table,
                   EVENT_HANDLER_T destroy, const char* name, uint32_t zero);
// The two dispatch routines: the plain one, and the pre-post one that hands
// key and timer events to the application in every state, in front or not.
uint32_t APP_HandleEvent(EVENT_STACK_T* ev_st, APPLICATION_T* app, uint32_t a, uint32_t b);
uint32_t APP_HandleEventPrepost(EVENT_STACK_T* ev_st, APPLICATION_T* app, uint32_t a, uint32_t b);
uint32_t APP_HandleUITokenGranted(EVENT_STACK_T* ev_st, APPLICATION_T* app);
uint32_t APP_HandleUITokenRevoked(EVENT_STACK_T* ev_st, APPLICATION_T* app);
// Enters `state` and runs its entry routine.
uint32_t APP_UtilChangeState(uint32_t state, EVENT_STACK_T* ev_st, APPLICATION_T* app);
EVENT_T* AFW_GetEv(EVENT_STACK_T* ev_st);
// The current event goes to no other application.
uint32_t APP_ConsumeEv(EVENT_STACK_T* ev_st, APPLICATION_T* app);
// Queues an event for every application of the image.
uint32_t AFW_CreateInternalQueuedEvAux(uint32_t code, uint32_t kind, uint32_t size, void* data);
// One timer per application: one expiry, or one every period.
uint32_t APP_UtilStartTimer(uint32_t period_ms, uint32_t id, APPLICATION_T* app);
uint32_t APP_UtilStartCyclicalTimer(uint32_t period_ms, uint32_t id, APPLICATION_T* app);
uint32_t APP_UtilStopTimer(APPLICATION_T* app);  // harmless when no timer runs
uint32_t APP_UtilUISDialogDelete(uint32_t* dialog_field);
uint32_t APP_Exit(EVENT_STACK_T* ev_st, APPLICATION_T* app, uint32_t zero);
uint32_t APP_MMC_Util_IsVoiceCall(void);  // nonzero during a voice call
const char* LdrGetPlatformName(void);
uint32_t LdrUnloadELF(void* image_start);

ZQ_END_DECLS
