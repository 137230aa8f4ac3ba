// Placeholders of the lyrics engine, replaced when it lands.
#include "lyrics/loader.h"
#include "lyrics/parser.h"
#include "app/player_state.h"
LRC* INIT_LRC() { return nullptr; }  // placeholder
void DESTROY_LRC(LRC** holder) { *holder = nullptr; }  // placeholder
uint32_t LRC_SortByTime(LRC_TIME*, uint16_t) { return 0; }  // placeholder
LRC* GetLRCFromBuf(const uint8_t*, uint16_t, uint8_t* status) { *status = LRC_ERR_FILE; return nullptr; }  // placeholder
void GetLRCFile() { player.iRet = LRC_ERR_NO_FILE; }  // placeholder
