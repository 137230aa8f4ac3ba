// SPDX-License-Identifier: MIT
// The tracks' real sound through SDL2 audio, and the clock that follows it.
//
// The stand-in's engine says what plays (file, playing or not, position);
// this follows it: a new playback object opens its file, a jump of the
// position (a seek) seeks the decoder, a pause drops what is queued. While
// sound plays, the virtual clock is moved by exactly the sound the device
// has consumed, so the lyrics keep step with what is heard; the engine does
// not end tracks itself then, and the track ends (end_track 1, or
// break_off_track when its file broke off) once its decoded sound has been
// played out.
#pragma once

#include <SDL.h>
#include <stdint.h>

#include <vector>

#include "sim/driver.h"
#include "sim/host/media_ffmpeg/pcm_decoder.h"

namespace zqsim {

// The phone's tone (DL_AudPlayTone) as interleaved stereo samples at
// `rate`: 120 ms of 880 Hz with short fades at both ends.
std::vector<int16_t> BeepSamples(int rate);

class SoundOut {
 public:
  ~SoundOut();
  // Starts SDL's audio and opens the default device, keeping the sound
  // libraries' own messages off stderr. False when there is none (the
  // reason in SDL_GetError): the caller then runs on the wall clock.
  bool Open();
  bool IsOpen() const { return device_ != 0; }

  // True while sound drives the clock (a track plays and its sound flows).
  bool DrivesClock() const { return flowing_; }
  // Milliseconds of sound the device has played since the last call.
  uint32_t TakePlayedMs();

  // Follows the engine after the clock has moved; `level` is the volume
  // 0 to 7. Queues more sound, plays beeps, ends the track when its sound
  // is over.
  void Update(uint8_t level, uint32_t tones_played);

  // The engine was told to seek: the next update seeks the decoder.
  void NoteSeek() { seek_pending_ = true; }

  // Waits until the device has played what is queued, at most `max_ms`.
  void Drain(uint32_t max_ms);
  // Bytes of sound queued and not yet played.
  uint32_t QueuedBytes() const;

 private:
  void StopFlow();
  void RestartAt(uint32_t ms);
  void QueueMore(uint8_t level);
  void AddBeep();

  SDL_AudioDeviceID device_ = 0;
  int rate_ = 44100;
  zq::media::PcmDecoder decoder_;
  uint32_t handle_ = 0;
  bool decoder_broken_ = false;  // the file could not be opened for sound
  bool flowing_ = false;
  bool seek_pending_ = false;
  bool ended_ = false;  // the track has been ended (or broke off) for this stretch of sound
  zq::media::PcmDecoder::Status source_ = zq::media::PcmDecoder::Status::kOk;
  uint32_t base_ms_ = 0;          // engine position where the queued sound starts
  uint64_t queued_frames_ = 0;    // track frames queued since base_ms_
  uint64_t reported_frames_ = 0;  // consumed frames already given to the clock
  uint64_t ms_remainder_ = 0;     // frames * 1000 not yet a whole millisecond
  uint32_t tones_seen_ = 0;
  bool tones_known_ = false;
  std::vector<int16_t> beep_;  // beep samples (stereo) still to mix in
  size_t beep_at_ = 0;
};

}  // namespace zqsim
