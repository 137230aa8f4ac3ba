// SPDX-License-Identifier: MIT
#include "sim/host/media_ffmpeg/pcm_decoder.h"

extern "C" {
#include <libavcodec/avcodec.h>
#include <libavformat/avformat.h>
#include <libavutil/channel_layout.h>
#include <libavutil/opt.h>
#include <libswresample/swresample.h>
}

#include <algorithm>
#include <cstring>
#include <vector>

namespace zq::media {
namespace {

// A damaged frame here and there is skipped, as players do; this many in a
// row means the file has broken off.
constexpr int kMaxBadPacketsInARow = 8;
// A sound that stops this much before the length its container states has
// lost its end (a file cut short): it ends as a failure, not as complete.
constexpr uint32_t kShortEndToleranceMs = 1000;

std::string AvErrorText(int err) {
  char buf[AV_ERROR_MAX_STRING_SIZE] = {0};
  av_strerror(err, buf, sizeof buf);
  return buf;
}

}  // namespace

struct PcmDecoder::State {
  AVFormatContext* fmt = nullptr;
  AVCodecContext* codec = nullptr;
  SwrContext* swr = nullptr;
  AVPacket* packet = nullptr;
  AVFrame* frame = nullptr;
  int stream = -1;
  int rate = 0;
  int channels = 0;
  uint32_t length_ms = 0;
  bool draining = false;  // the demuxer is at its end; the decoder is being emptied
  bool finished = false;  // no more frames will come
  Status end_status = Status::kEnd;
  int bad_in_a_row = 0;
  int64_t skip_frames = 0;       // output frames still to drop after a seek
  uint32_t base_ms = 0;          // where the last seek put the output
  uint64_t frames_out = 0;       // frames handed out since then
  std::vector<int16_t> pending;  // converted sound not handed out yet
  size_t pending_at = 0;         // in samples

  ~State() {
    swr_free(&swr);
    avcodec_free_context(&codec);
    avformat_close_input(&fmt);
    av_packet_free(&packet);
    av_frame_free(&frame);
  }

  // Converts the decoded frame and appends it to `pending`.
  bool ConvertFrame() {
    int room = swr_get_out_samples(swr, frame->nb_samples);
    if (room < 0) return false;
    size_t base = pending.size();
    pending.resize(base + static_cast<size_t>(room) * channels);
    uint8_t* out = reinterpret_cast<uint8_t*>(pending.data() + base);
    int got = swr_convert(swr, &out, room, const_cast<const uint8_t**>(frame->extended_data), frame->nb_samples);
    if (got < 0) {
      pending.resize(base);
      return false;
    }
    pending.resize(base + static_cast<size_t>(got) * channels);
    if (skip_frames > 0) {
      int64_t drop = std::min<int64_t>(skip_frames, got);
      pending.erase(pending.begin() + base, pending.begin() + base + drop * channels);
      skip_frames -= drop;
    }
    return true;
  }

  // Takes every frame the decoder has ready. False on a decoding failure.
  bool ReceiveFrames() {
    for (;;) {
      int err = avcodec_receive_frame(codec, frame);
      if (err == AVERROR(EAGAIN)) return true;
      if (err == AVERROR_EOF) {
        finished = true;
        return true;
      }
      if (err < 0) return false;
      bool ok = ConvertFrame();
      av_frame_unref(frame);
      if (!ok) return false;
    }
  }

  // Decodes until some sound is pending or the sound is over.
  void DecodeMore() {
    while (pending_at >= pending.size() && !finished) {
      pending.clear();
      pending_at = 0;
      if (draining) {
        if (!ReceiveFrames()) Fail();
        // A decoder that neither gives frames nor says it is done has nothing left.
        if (pending.empty()) finished = true;
        continue;
      }
      int err = av_read_frame(fmt, packet);
      if (err == AVERROR_EOF) {
        draining = true;
        avcodec_send_packet(codec, nullptr);
        continue;
      }
      if (err < 0) {
        Fail();
        return;
      }
      if (packet->stream_index != stream) {
        av_packet_unref(packet);
        continue;
      }
      err = avcodec_send_packet(codec, packet);
      av_packet_unref(packet);
      bool ok = err >= 0 || err == AVERROR(EAGAIN);
      if (ok) ok = ReceiveFrames();
      bad_in_a_row = ok ? 0 : bad_in_a_row + 1;
      if (bad_in_a_row >= kMaxBadPacketsInARow) Fail();
    }
  }

  void Fail() {
    finished = true;
    end_status = Status::kFailed;
  }
};

PcmDecoder::PcmDecoder() = default;
PcmDecoder::~PcmDecoder() = default;

bool PcmDecoder::IsOpen() const {
  return s_ != nullptr;
}
void PcmDecoder::Close() {
  s_.reset();
}
uint32_t PcmDecoder::LengthMs() const {
  return s_ ? s_->length_ms : 0;
}

bool PcmDecoder::Open(const char* host_path, int rate, int channels, std::string* error) {
  Close();
  std::string dummy;
  if (error == nullptr) error = &dummy;
  if (host_path == nullptr || rate <= 0 || (channels != 1 && channels != 2)) {
    *error = "bad arguments";
    return false;
  }
  av_log_set_level(AV_LOG_QUIET);
  auto s = std::make_unique<State>();
  s->rate = rate;
  s->channels = channels;
  int err = avformat_open_input(&s->fmt, host_path, nullptr, nullptr);
  if (err < 0) {
    *error = "cannot open: " + AvErrorText(err);
    return false;
  }
  err = avformat_find_stream_info(s->fmt, nullptr);
  if (err < 0) {
    *error = "cannot read stream information: " + AvErrorText(err);
    return false;
  }
  const AVCodec* decoder = nullptr;
  s->stream = av_find_best_stream(s->fmt, AVMEDIA_TYPE_AUDIO, -1, -1, &decoder, 0);
  if (s->stream < 0 || decoder == nullptr) {
    *error = "no audio stream that can be decoded";
    return false;
  }
  AVStream* st = s->fmt->streams[s->stream];
  s->codec = avcodec_alloc_context3(decoder);
  if (s->codec == nullptr || avcodec_parameters_to_context(s->codec, st->codecpar) < 0 ||
      avcodec_open2(s->codec, decoder, nullptr) < 0) {
    *error = "cannot open the decoder";
    return false;
  }
  if (s->codec->ch_layout.nb_channels <= 0 || s->codec->sample_rate <= 0) {
    *error = "the audio stream has no channels or no sample rate";
    return false;
  }
  AVChannelLayout out_layout;
  av_channel_layout_default(&out_layout, channels);
  err = swr_alloc_set_opts2(&s->swr, &out_layout, AV_SAMPLE_FMT_S16, rate, &s->codec->ch_layout, s->codec->sample_fmt,
                            s->codec->sample_rate, 0, nullptr);
  if (err < 0 || swr_init(s->swr) < 0) {
    *error = "cannot convert the sound";
    return false;
  }
  if (s->fmt->duration > 0) {
    s->length_ms = static_cast<uint32_t>(av_rescale(s->fmt->duration, 1000, AV_TIME_BASE));
  } else if (st->duration > 0) {
    s->length_ms = static_cast<uint32_t>(av_rescale_q(st->duration, st->time_base, AVRational{1, 1000}));
  }
  s->packet = av_packet_alloc();
  s->frame = av_frame_alloc();
  if (s->packet == nullptr || s->frame == nullptr) {
    *error = "out of memory";
    return false;
  }
  s_ = std::move(s);
  return true;
}

bool PcmDecoder::SeekMs(uint32_t ms) {
  if (!s_) return false;
  State& s = *s_;
  // Seeking to a keyframe at or before the target, then dropping the sound up
  // to the target, gives the same sample position for MP3 and M4A.
  int64_t ts = static_cast<int64_t>(ms) * (AV_TIME_BASE / 1000);
  if (avformat_seek_file(s.fmt, -1, INT64_MIN, ts, ts, AVSEEK_FLAG_BACKWARD) < 0) return false;
  avcodec_flush_buffers(s.codec);
  swr_close(s.swr);
  if (swr_init(s.swr) < 0) return false;
  s.pending.clear();
  s.pending_at = 0;
  s.draining = false;
  s.finished = false;
  s.end_status = Status::kEnd;
  s.bad_in_a_row = 0;
  // Where the demuxer landed: the first packet's time tells how much to drop.
  s.skip_frames = 0;
  s.base_ms = ms;
  s.frames_out = 0;
  for (;;) {
    int err = av_read_frame(s.fmt, s.packet);
    if (err < 0) {
      if (err != AVERROR_EOF)
        s.Fail();
      else
        s.finished = true;
      return true;
    }
    if (s.packet->stream_index != s.stream) {
      av_packet_unref(s.packet);
      continue;
    }
    AVStream* st = s.fmt->streams[s.stream];
    int64_t pts = s.packet->pts != AV_NOPTS_VALUE ? s.packet->pts : s.packet->dts;
    if (pts != AV_NOPTS_VALUE) {
      int64_t start = st->start_time != AV_NOPTS_VALUE ? st->start_time : 0;
      int64_t at_ms = av_rescale_q(pts - start, st->time_base, AVRational{1, 1000});
      if (at_ms < ms) s.skip_frames = (static_cast<int64_t>(ms) - at_ms) * s.rate / 1000;
    }
    int sent = avcodec_send_packet(s.codec, s.packet);
    av_packet_unref(s.packet);
    if (sent >= 0 && !s.ReceiveFrames()) s.Fail();
    return true;
  }
}

size_t PcmDecoder::Read(int16_t* out, size_t max_frames, Status* status) {
  Status dummy;
  if (status == nullptr) status = &dummy;
  if (!s_) {
    *status = Status::kFailed;
    return 0;
  }
  State& s = *s_;
  size_t done = 0;
  while (done < max_frames) {
    s.DecodeMore();
    size_t have = (s.pending.size() - s.pending_at) / s.channels;
    if (have == 0) break;
    size_t take = std::min(have, max_frames - done);
    std::memcpy(out + done * s.channels, s.pending.data() + s.pending_at, take * s.channels * sizeof(int16_t));
    s.pending_at += take * s.channels;
    done += take;
  }
  s.frames_out += done;
  bool more = s.pending_at < s.pending.size() || !s.finished;
  *status = more ? Status::kOk : s.end_status;
  if (*status == Status::kEnd && s.length_ms > 0) {
    uint64_t reached_ms = s.base_ms + s.frames_out * 1000 / s.rate;
    if (reached_ms + kShortEndToleranceMs < s.length_ms) *status = Status::kFailed;
  }
  return done;
}

}  // namespace zq::media
