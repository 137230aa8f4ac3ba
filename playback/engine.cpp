// SPDX-License-Identifier: MIT
// The media engine's playback object of the current track: creating it,
// starting, pausing, stopping and seeking it, the end of a track by play
// mode, and deleting it. The engine answers with events (ready, seek done,
// end) that reach Play, SeekPlay and PlayComplete.
#include "playback/engine.h"

#include "app/app.h"
#include "lyrics/loader.h"
#include "lyrics/record.h"
#include "playback/track_step.h"
#include "playback/tracklist.h"
#include "screen/lyrics_view.h"
#include "screen/widgets.h"

namespace {

uint32_t StartPlaybackTimer(APPLICATION_T* app) {
  return APP_UtilStartCyclicalTimer(1000, 0, app);
}

}  // namespace

uint32_t Create(EVENT_STACK_T* ev_st, APPLICATION_T* app) {
  // A missing file is skipped forwards, as Next would. This is a loop rather
  // than a call of Next that calls Create again, so that a long run of
  // missing files does not nest one call per file. When the whole list has
  // been found missing there is nothing left to play and the player ends.
  // The starting file need not be an entry of the list, hence one look more
  // than the list has entries: every entry has then been looked at.
  uint32_t looks_left = player.count > 1 ? (uint32_t)player.count + 1 : 1;
  while (DL_FsFFileExist(player.filename) == 0) {
    if (--looks_left == 0) return player_destroyApp(ev_st, app);
    Delete();
    APP_UtilStopTimer(app);
    StepToNextTrack(app);
  }

  if (player.mme_media_file == 0) {
    uint32_t port = player.port;
    player.mme_media_file = MME_GC_playback_create(&port, player.filename, 0, 0, 0, 0, 0, 0);
    if (player.mme_media_file == 0) return player_destroyApp(ev_st, app);
  }
  player.allowPlay = 1;
  player.lrc_flag = 1;
  player.State_Player = kPlayerStopped;
  player.timePosition = 0;
  // The new track's length is read when it starts. Until then the previous
  // track's must not bound a seek held before the start, nor fill the bar.
  player.timeDuraction = 0;
  GetLRCFile();
  return 0;
}

uint32_t Delete() {
  uint32_t result = 1;
  if (player.mme_media_file != 0) {
    result = MME_GC_playback_delete(player.mme_media_file);
    // The handle is dropped whatever the engine says: it is never used again.
    player.mme_media_file = 0;
    if (result == 0) {
      player.State_Player = kPlayerNoTrack;
      ShowState(kPlayerNoTrack);
    }
  }
  DESTROY_LRC(&player.lrc);
  return result;
}

uint32_t Play(EVENT_STACK_T*, APPLICATION_T* app) {
  APP_UtilStopTimer(app);
  // A ready event that arrives after the user paused or stopped starts
  // nothing: allowPlay is then 0.
  if (player.mme_media_file == 0 || player.allowPlay != 1) return 1;
  uint32_t result = MME_GC_playback_start(player.mme_media_file, 0, 0);
  if (result != 0) return result;

  player.State_Player = kPlayerPlaying;
  ShowState(kPlayerPlaying);
  MME_GC_playback_get_attribute(player.mme_media_file, MME_ATTR_LENGTH, &player.timeDuraction);
  MME_GC_playback_get_attribute(player.mme_media_file, MME_ATTR_POSITION, &player.timePosition);

  if (player.isCanvas == 1) {
    draw_time();
    draw_bar_all();
    draw_bar();
    draw_vol();
    draw_num();
    draw_name();
    if (player.timePosition == 0 || player.iRet != kLrcLoaded) {
      draw_lrc_info();
    } else {
      draw_lrc();
    }
  }
  StartPlaybackTimer(app);
  return 0;
}

uint32_t Pause() {
  if (player.mme_media_file == 0) return 1;
  uint32_t result = MME_GC_playback_pause(player.mme_media_file);
  if (result == 0) {
    player.State_Player = kPlayerPaused;
    ShowState(kPlayerPaused);
  }
  return result;
}

uint32_t Stop() {
  if (player.mme_media_file == 0) return 1;
  uint32_t result = MME_GC_playback_stop(player.mme_media_file);
  if (result == 0) {
    player.State_Player = kPlayerStopped;
    ShowState(kPlayerStopped);
    player.timePosition = 0;
    if (player.isCanvas == 1) {
      draw_time();
      draw_bar_all();
      draw_lrc_info();
    }
  }
  return result;
}

uint32_t Seek(uint32_t position_ms) {
  if (player.mme_media_file == 0) return 1;
  return MME_GC_playback_seek(player.mme_media_file, position_ms);
}

uint32_t SeekPlay(EVENT_STACK_T*, APPLICATION_T* app) {
  APP_UtilStopTimer(app);
  if (player.mme_media_file == 0) return 1;
  if (player.State_Player != kPlayerPlaying && player.State_Player != kPlayerPaused) return 1;
  uint32_t result = MME_GC_playback_start(player.mme_media_file, 0, 0);
  if (result != 0) return result;
  // In the paused state the engine runs again but the state stays 2 until
  // the next tick of the playback timer.
  StartPlaybackTimer(app);
  ShowState(player.State_Player);
  return 0;
}

uint32_t PlayComplete(EVENT_STACK_T* ev_st, APPLICATION_T* app) {
  EVENT_T* ev = AFW_GetEv(ev_st);
  if (ev == nullptr || ev->attachment == nullptr) return 0;
  const PLAYBACK_END_ATTACH_T* end = (const PLAYBACK_END_ATTACH_T*)ev->attachment;
  // The end of an object already deleted is not about the current track.
  if (end->handle != player.mme_media_file) return 0;

  if (end->status == MME_END_COMPLETE) {
    if (player.circle_s == kModeSingle) {
      Delete();
      return player_destroyApp(ev_st, app);
    }
    if (player.circle_s == kModeRepeat) {
      // Play restarts the playback timer when the ready event comes.
      Delete();
      Create(ev_st, app);
      return 0;
    }
    Next(ev_st, app);
    return 0;
  }

  // Interrupted, for instance by a voice call: go back to the last counted
  // second. During a call the engine refuses to start again, so the track
  // stays paused until the play key resumes it.
  APP_UtilStopTimer(app);
  if (APP_MMC_Util_IsVoiceCall() != 0) {
    player.State_Player = kPlayerPaused;
    ShowState(kPlayerPaused);
  }
  Seek(player.timePosition * 1000);
  return 0;
}
