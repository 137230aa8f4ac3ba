// The player state record, with the initial values the player starts from.
#include "app/player_state.h"

extern "C" __attribute__((visibility("default"))) PlayerState player = {
    /*iRet*/ LRC_NOT_LOADED, /*lrc_flag*/ 1, /*Z*/ 1, /*circle_s*/ MODE_LIST, /*timeRew*/ 1,
};
