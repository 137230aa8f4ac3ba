// Placeholders of the screen, replaced when it lands.
#include "screen/background.h"
#include "screen/lyrics_view.h"
#include "screen/widgets.h"
void draw_lrc_info() {}  // placeholder
void draw_lrc() {}       // placeholder
void draw_name() {}      // placeholder
void draw_num() {}       // placeholder
void draw_circle_s() {}  // placeholder
void draw_time() {}      // placeholder
void draw_vol() {}       // placeholder
void draw_bar_all() {}   // placeholder
void draw_bar() {}       // placeholder
void backg() {}          // placeholder
