// SPDX-License-Identifier: MIT
// The state tables of the two applications and their registered names. The
// tables are constant data: the framework reads them from the image as they
// are, so nothing here may need code to run at load time.
#include "app/app.h"
#include "playback/engine.h"
#include "playback/keys.h"

const char shell_app_name[13] = "ZQ_s_Player";
const char player_app_name[13] = "ZQ_Player";

namespace {

// The player takes keys and timers in every state: its dispatch is the
// pre-post one, so these reach it also while another application is in front.
const EVENT_HANDLER_ENTRY_T player_any_state_handlers[] = {
    {EV_KEY_PRESS, player_Keypress},
    {EV_KEY_RELEASE, player_Keyrelease},
    {EV_TIMER_EXPIRED, player_Timer},
    {EV_LIST_END, nullptr},
};

const EVENT_HANDLER_ENTRY_T player_main_state_handlers[] = {
    {EV_PLAYBACK_READY, Play},
    {EV_PLAYBACK_END, PlayComplete},
    {EV_PLAYBACK_SEEK_DONE, SeekPlay},
    {EV_LIST_END, nullptr},
};

const EVENT_HANDLER_ENTRY_T shell_any_state_handlers[] = {
    {EV_UI_TOKEN_REVOKED, APP_HandleUITokenRevoked},
    {EV_LIST_END, nullptr},
};

const EVENT_HANDLER_ENTRY_T shell_init_state_handlers[] = {
    {EV_UI_TOKEN_GRANTED, shell_HandleUITokenGranted},
    {EV_LIST_END, nullptr},
};

const EVENT_HANDLER_ENTRY_T shell_main_state_handlers[] = {
    {EV_GAIN_FOCUS, get_focus},          {EV_REDRAW, get_focus},         {EV_DESTROY, shell_destroyApp},
    {EV_PLAYBACK_END, shell_destroyApp}, {EV_SHELL_KEY, shell_Keypress}, {EV_LIST_END, nullptr},
};

}  // namespace

// States of the player: 0 any, 1 main.
const STATE_HANDLERS_ENTRY_T player_state_handling_table[2] = {
    {APP_STATE_ANY, {0, 0, 0}, nullptr, nullptr, player_any_state_handlers},
    {1, {0, 0, 0}, player_MainStateEnter, nullptr, player_main_state_handlers},
};

// States of the shell: 0 any, 1 init (waiting for the UI token), 2 main.
const STATE_HANDLERS_ENTRY_T shell_state_handling_table[3] = {
    {APP_STATE_ANY, {0, 0, 0}, nullptr, nullptr, shell_any_state_handlers},
    {1, {0, 0, 0}, nullptr, nullptr, shell_init_state_handlers},
    {2, {0, 0, 0}, shell_MainStateEnter, nullptr, shell_main_state_handlers},
};
