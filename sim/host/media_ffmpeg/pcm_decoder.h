// SPDX-License-Identifier: MIT
// Decodes one MP3 or M4A file to interleaved signed 16-bit PCM at a chosen
// rate and channel count, for the simulator's sound output.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include <memory>
#include <string>

namespace zq::media {

class PcmDecoder {
 public:
  enum class Status : uint8_t {
    kOk,      // more sound follows
    kEnd,     // the sound has played to its end
    kFailed,  // the file broke off: a read error or undecodable data
  };

  PcmDecoder();
  ~PcmDecoder();
  PcmDecoder(const PcmDecoder&) = delete;
  PcmDecoder& operator=(const PcmDecoder&) = delete;

  // Opens the file and prepares output at `rate` Hz with `channels` (1 or 2).
  // False, with a reason in *error, when it cannot be opened or decoded.
  bool Open(const char* host_path, int rate, int channels, std::string* error);
  void Close();
  bool IsOpen() const;
  // Length of the sound in milliseconds as the container states it (0 when
  // it states none).
  uint32_t LengthMs() const;

  // Positions the next read at `ms` from the start of the sound; the sound
  // before that point in the frame it lands in is dropped, so the output
  // starts at that exact sample. False when the file cannot seek.
  bool SeekMs(uint32_t ms);

  // Writes up to `max_frames` frames (one sample per channel each) to `out`
  // and returns how many it wrote. Fewer than asked only at the end or on a
  // failure, which *status then tells.
  size_t Read(int16_t* out, size_t max_frames, Status* status);

 private:
  struct State;
  std::unique_ptr<State> s_;
};

}  // namespace zq::media
