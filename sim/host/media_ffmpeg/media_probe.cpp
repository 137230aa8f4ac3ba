// SPDX-License-Identifier: MIT
#include "sim/host/media_ffmpeg/media_probe.h"

#include "sim/host/media_ffmpeg/pcm_decoder.h"

namespace zq::media {

bool ProbeLengthMs(const char* host_path, uint32_t* length_ms, std::string* error) {
  PcmDecoder decoder;
  if (!decoder.Open(host_path, 8000, 1, error)) return false;
  // A container can look right and still hold nothing playable: the engine
  // only accepts a file whose sound starts to decode.
  int16_t first[256];
  PcmDecoder::Status status;
  size_t got = decoder.Read(first, 256, &status);
  if (got == 0) {
    if (error) *error = status == PcmDecoder::Status::kFailed ? "the sound cannot be decoded" : "the file has no sound";
    return false;
  }
  if (decoder.LengthMs() == 0) {
    if (error) *error = "the file does not state its length";
    return false;
  }
  if (length_ms) *length_ms = decoder.LengthMs();
  return true;
}

}  // namespace zq::media
