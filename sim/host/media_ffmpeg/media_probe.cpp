#include "sim/host/media_ffmpeg/media_probe.h"

#include "sim/host/media_ffmpeg/pcm_decoder.h"

namespace zq::media {

bool probe_length_ms(const char* host_path, uint32_t* length_ms, std::string* error) {
  PcmDecoder decoder;
  if (!decoder.open(host_path, 8000, 1, error)) return false;
  // A container can look right and still hold nothing playable: the engine
  // only accepts a file whose sound starts to decode.
  int16_t first[256];
  PcmDecoder::Status status;
  size_t got = decoder.read(first, 256, &status);
  if (got == 0) {
    if (error) *error = status == PcmDecoder::Status::Failed ? "the sound cannot be decoded" : "the file has no sound";
    return false;
  }
  if (decoder.length_ms() == 0) {
    if (error) *error = "the file does not state its length";
    return false;
  }
  if (length_ms) *length_ms = decoder.length_ms();
  return true;
}

}  // namespace zq::media
