// SPDX-License-Identifier: MIT
#include "tools/zqsim/sound_out.h"

#include <fcntl.h>
#include <stdio.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <string>

namespace zqsim {
namespace {

constexpr int kChannels = 2;
constexpr int kFrameBytes = kChannels * sizeof(int16_t);
// Sound queued ahead of the device: enough to ride out a slow frame, short
// enough that a pause or a volume change is heard at once.
constexpr int kAheadMs = 200;
// A gap this large between the engine's position and the sound's means the
// position was moved (a seek or a stop), not that the two drifted.
constexpr uint32_t kJumpMs = 1000;
constexpr int kBeepMs = 120;
constexpr double kBeepHz = 880.0;

int16_t Scaled(int32_t sample, uint8_t level) {
  int32_t v = sample * level / 7;
  return static_cast<int16_t>(v < -32768 ? -32768 : v > 32767 ? 32767 : v);
}

// Without a sound device the sound libraries that SDL tries (ALSA above
// all) write their own complaints to stderr, several lines of them. They are
// kept off the terminal while the device is looked for; the caller says in
// one line that the run has no sound.
class QuietStderr {
 public:
  QuietStderr() {
    fflush(stderr);
    saved_ = dup(STDERR_FILENO);
    int null = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (saved_ >= 0 && null >= 0) dup2(null, STDERR_FILENO);
    if (null >= 0) close(null);
  }
  ~QuietStderr() {
    if (saved_ < 0) return;
    fflush(stderr);
    dup2(saved_, STDERR_FILENO);
    close(saved_);
  }
  QuietStderr(const QuietStderr&) = delete;
  QuietStderr& operator=(const QuietStderr&) = delete;

 private:
  int saved_ = -1;
};

}  // namespace

SoundOut::~SoundOut() {
  if (device_ != 0) SDL_CloseAudioDevice(device_);
}

bool SoundOut::Open() {
  QuietStderr quiet;
  if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) return false;
  SDL_AudioSpec want{}, have{};
  want.freq = 44100;
  want.format = AUDIO_S16SYS;
  want.channels = kChannels;
  want.samples = 1024;
  // No callback: sound is queued from the main loop, which also reads how
  // much the device has consumed. SDL converts to what the device takes.
  device_ = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
  if (device_ == 0) return false;
  rate_ = want.freq;
  SDL_PauseAudioDevice(device_, 0);
  return true;
}

uint32_t SoundOut::TakePlayedMs() {
  if (!flowing_) return 0;
  uint64_t waiting = SDL_GetQueuedAudioSize(device_) / kFrameBytes;
  uint64_t consumed = queued_frames_ > waiting ? queued_frames_ - waiting : 0;
  if (consumed <= reported_frames_) return 0;
  uint64_t total = (consumed - reported_frames_) * 1000 + ms_remainder_;
  reported_frames_ = consumed;
  ms_remainder_ = total % rate_;
  return static_cast<uint32_t>(total / rate_);
}

void SoundOut::StopFlow() {
  if (!flowing_) return;
  SDL_ClearQueuedAudio(device_);
  flowing_ = false;
}

void SoundOut::RestartAt(uint32_t ms) {
  SDL_ClearQueuedAudio(device_);
  if (!decoder_.SeekMs(ms)) {
    fprintf(stderr, "zqsim: cannot seek to %u ms for sound\n", ms);
  }
  base_ms_ = ms;
  queued_frames_ = reported_frames_ = ms_remainder_ = 0;
  source_ = zq::media::PcmDecoder::Status::kOk;
  ended_ = false;
  seek_pending_ = false;
  flowing_ = true;
}

std::vector<int16_t> BeepSamples(int rate) {
  int frames = rate * kBeepMs / 1000;
  std::vector<int16_t> beep(static_cast<size_t>(frames) * kChannels, 0);
  for (int i = 0; i < frames; ++i) {
    // A short fade at both ends keeps the beep from clicking.
    double edge = std::min(1.0, std::min(i, frames - i) / (rate * 0.005));
    auto v = static_cast<int16_t>(9000 * edge * std::sin(2 * M_PI * kBeepHz * i / rate));
    beep[2 * i] = beep[2 * i + 1] = v;
  }
  return beep;
}

void SoundOut::AddBeep() {
  beep_ = BeepSamples(rate_);
  beep_at_ = 0;
}

uint32_t SoundOut::QueuedBytes() const {
  return device_ == 0 ? 0 : SDL_GetQueuedAudioSize(device_);
}

void SoundOut::Drain(uint32_t max_ms) {
  if (device_ == 0) return;
  if (SDL_GetQueuedAudioSize(device_) == 0) return;
  uint64_t until = SDL_GetTicks64() + max_ms;
  while (SDL_GetQueuedAudioSize(device_) > 0 && SDL_GetTicks64() < until) SDL_Delay(5);
  SDL_Delay(50);  // the device's own buffer, taken from the queue last
}

void SoundOut::QueueMore(uint8_t level) {
  int16_t chunk[2048 * kChannels];
  while (source_ == zq::media::PcmDecoder::Status::kOk &&
         SDL_GetQueuedAudioSize(device_) / kFrameBytes < static_cast<uint32_t>(rate_ * kAheadMs / 1000)) {
    size_t got = decoder_.Read(chunk, 2048, &source_);
    for (size_t i = 0; i < got * kChannels; ++i) {
      int32_t s = chunk[i];
      if (beep_at_ < beep_.size()) s += beep_[beep_at_++];
      chunk[i] = Scaled(s, level);
    }
    if (got > 0) SDL_QueueAudio(device_, chunk, static_cast<Uint32>(got * kFrameBytes));
    queued_frames_ += got;
  }
}

void SoundOut::Update(uint8_t level, uint32_t tones_played) {
  if (device_ == 0) return;
  if (tones_known_ && tones_played > tones_seen_) AddBeep();
  tones_seen_ = tones_played;
  tones_known_ = true;

  sim::PlaybackInfo info{};
  bool have = sim::GetPlaybackInfo(&info) && info.exists;
  if (!have || info.handle != handle_) {
    StopFlow();
    decoder_.Close();
    decoder_broken_ = false;
    ended_ = false;
    seek_pending_ = false;
    handle_ = have ? info.handle : 0;
  }
  // A broken file breaks off by the engine's own rule, and has no sound.
  if (!have || !info.playing || info.broken) {
    StopFlow();
    if (beep_at_ < beep_.size()) {
      std::vector<int16_t> rest(beep_.begin() + beep_at_, beep_.end());
      for (int16_t& s : rest) s = Scaled(s, level);
      SDL_QueueAudio(device_, rest.data(), static_cast<Uint32>(rest.size() * sizeof(int16_t)));
      beep_at_ = beep_.size();
    }
    return;
  }
  if (!decoder_.IsOpen() && !decoder_broken_) {
    std::string why;
    if (!decoder_.Open(info.host_path, rate_, kChannels, &why)) {
      fprintf(stderr, "zqsim: no sound for %s: %s\n", info.host_path, why.c_str());
      decoder_broken_ = true;
    }
  }
  if (decoder_broken_) {
    // Silent, on the wall clock: the track ends at its length all the same.
    flowing_ = false;
    if (!ended_ && info.length_ms > 0 && info.position_ms >= info.length_ms) {
      ended_ = true;
      sim::EndTrack(1);
    }
    return;
  }
  uint32_t heard_ms = base_ms_ + static_cast<uint32_t>(reported_frames_ * 1000 / rate_);
  uint32_t gap = heard_ms > info.position_ms ? heard_ms - info.position_ms : info.position_ms - heard_ms;
  if (seek_pending_ || (!flowing_ && !ended_) || (flowing_ && gap > kJumpMs)) RestartAt(info.position_ms);
  if (!flowing_) return;
  QueueMore(level);
  if (source_ != zq::media::PcmDecoder::Status::kOk && SDL_GetQueuedAudioSize(device_) == 0 && !ended_) {
    ended_ = true;
    flowing_ = false;
    // Sound that cannot be decoded further breaks off there; the engine
    // decides whether the program may seek back and try again.
    if (source_ == zq::media::PcmDecoder::Status::kFailed)
      sim::BreakOffTrack();
    else
      sim::EndTrack(1);
  }
}

}  // namespace zqsim
