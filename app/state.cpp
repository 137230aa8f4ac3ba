// SPDX-License-Identifier: MIT
// The player state record, with the initial values the player starts from.
// Every other field starts at zero.
#include "app/player_state.h"

__attribute__((visibility("default"))) PlayerState player = {
    .iRet = kLrcNotLoaded,
    .lrc_flag = 1,
    .Z = 1,
    .circle_s = kModeList,
    .timeRew = 1,
    .State_Player = kPlayerNoTrack,
    .LongPress = 0,
    .allowPlay = 0,
    .isCanvas = 0,
    .cur = 0,
    .count = 0,
    .pos_lrc = 0,
    .dialog = 0,
    .mme_media_file = 0,
    .lrc = nullptr,
    .timeStarPress = 0,
    .timePosition = 0,
    .timeDuraction = 0,
    .evcode_base = 0,
    .display_size = 0,
    .port = 0,
    .screenbuf = {},
    .filename = {},
    .cur_dir = {},
};
