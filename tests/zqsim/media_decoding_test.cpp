// SPDX-License-Identifier: MIT
// Real MP3 and M4A files through FFmpeg: their length, their sound, a seek,
// and the refusal of files that are not audio or break off.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "sim/host/media_ffmpeg/media_probe.h"
#include "sim/host/media_ffmpeg/pcm_decoder.h"

using zq::media::PcmDecoder;

namespace {

std::string Data(const char* name) {
  return std::string(ZQ_TEST_DATA_DIR) + "/" + name;
}

struct Decoded {
  std::vector<int16_t> samples;
  PcmDecoder::Status status;
};

Decoded DecodeAll(PcmDecoder& d, int channels) {
  Decoded out;
  int16_t chunk[1000 * 2];
  for (;;) {
    size_t got = d.Read(chunk, 1000, &out.status);
    out.samples.insert(out.samples.end(), chunk, chunk + got * channels);
    if (out.status != PcmDecoder::Status::kOk) return out;
    if (got == 0) ADD_FAILURE() << "no progress without an end";
  }
}

// Zero crossings per second of a mono signal: twice its frequency.
double Frequency(const int16_t* s, size_t n, int rate) {
  size_t crossings = 0;
  for (size_t i = 1; i < n; ++i)
    if ((s[i - 1] < 0) != (s[i] < 0)) ++crossings;
  return crossings * rate / 2.0 / n;
}

struct ToneFile {
  const char* name;
  uint32_t min_ms, max_ms;  // encoders pad a little
};
const ToneFile kTones[] = {{"tone_2500ms.mp3", 2450, 2650}, {"tone_2500ms.m4a", 2450, 2600}};

}  // namespace

TEST(MediaDecoding, ProbeGivesTheLengthOfMp3AndM4aFiles) {
  for (const ToneFile& t : kTones) {
    uint32_t ms = 0;
    std::string error;
    ASSERT_TRUE(zq::media::ProbeLengthMs(Data(t.name).c_str(), &ms, &error)) << t.name << ": " << error;
    EXPECT_GE(ms, t.min_ms) << t.name;
    EXPECT_LE(ms, t.max_ms) << t.name;
  }
}

TEST(MediaDecoding, WholeFileDecodesToItsLengthOfA440HzTone) {
  const int rate = 8000;
  for (const ToneFile& t : kTones) {
    PcmDecoder d;
    std::string error;
    ASSERT_TRUE(d.Open(Data(t.name).c_str(), rate, 1, &error)) << t.name << ": " << error;
    Decoded all = DecodeAll(d, 1);
    EXPECT_EQ(all.status, PcmDecoder::Status::kEnd) << t.name;
    double seconds = all.samples.size() / double(rate);
    EXPECT_NEAR(seconds, 2.5, 0.15) << t.name;
    ASSERT_GT(all.samples.size(), size_t(rate));
    EXPECT_NEAR(Frequency(all.samples.data() + rate / 2, rate, rate), 440.0, 5.0) << t.name;
  }
}

TEST(MediaDecoding, StereoOutputRepeatsTheMonoSoundInBothChannels) {
  PcmDecoder d;
  ASSERT_TRUE(d.Open(Data("tone_2500ms.mp3").c_str(), 22050, 2, nullptr));
  int16_t chunk[4000 * 2];
  PcmDecoder::Status st;
  ASSERT_EQ(d.Read(chunk, 4000, &st), 4000u);
  EXPECT_EQ(st, PcmDecoder::Status::kOk);
  int loud = 0;
  for (int i = 0; i < 4000; ++i) {
    EXPECT_EQ(chunk[2 * i], chunk[2 * i + 1]);
    if (std::abs(chunk[2 * i]) > 3000) ++loud;
  }
  EXPECT_GT(loud, 1000);
}

TEST(MediaDecoding, SeekLeavesOnlyTheSoundAfterThePosition) {
  const int rate = 8000;
  for (const ToneFile& t : kTones) {
    PcmDecoder d;
    ASSERT_TRUE(d.Open(Data(t.name).c_str(), rate, 1, nullptr));
    ASSERT_TRUE(d.SeekMs(1500)) << t.name;
    Decoded rest = DecodeAll(d, 1);
    EXPECT_EQ(rest.status, PcmDecoder::Status::kEnd);
    EXPECT_NEAR(rest.samples.size() / double(rate), 1.0, 0.15) << t.name;
    // Back to the start gives the whole sound again.
    ASSERT_TRUE(d.SeekMs(0));
    EXPECT_NEAR(DecodeAll(d, 1).samples.size() / double(rate), 2.5, 0.15) << t.name;
  }
}

TEST(MediaDecoding, FilesThatAreNotPlayableAreRefused) {
  const char* bad[] = {"not_audio.mp3", "no_such_file.mp3"};
  for (const char* name : bad) {
    uint32_t ms = 12345;
    std::string error;
    EXPECT_FALSE(zq::media::ProbeLengthMs(Data(name).c_str(), &ms, &error)) << name;
    EXPECT_FALSE(error.empty()) << name;
    EXPECT_EQ(ms, 12345u) << name << ": the length is left alone on refusal";
    PcmDecoder d;
    EXPECT_FALSE(d.Open(Data(name).c_str(), 8000, 1, nullptr)) << name;
    EXPECT_FALSE(d.IsOpen());
  }
}

TEST(MediaDecoding, FileCutInTheMiddleEndsAsAFailureBeforeItsLength) {
  PcmDecoder d;
  std::string error;
  ASSERT_TRUE(d.Open(Data("cut_in_middle.m4a").c_str(), 8000, 1, &error)) << error;
  EXPECT_GE(d.LengthMs(), 2400u);  // the header still promises the whole tone
  Decoded all = DecodeAll(d, 1);
  EXPECT_EQ(all.status, PcmDecoder::Status::kFailed);
  EXPECT_LT(all.samples.size(), size_t(8000 * 2));
}

TEST(MediaDecoding, DecoderWithoutAFileReadsNothing) {
  PcmDecoder d;
  int16_t out[16];
  PcmDecoder::Status st;
  EXPECT_EQ(d.Read(out, 16, &st), 0u);
  EXPECT_EQ(st, PcmDecoder::Status::kFailed);
  EXPECT_FALSE(d.SeekMs(10));
  EXPECT_FALSE(d.Open(Data("tone_2500ms.mp3").c_str(), 8000, 3, nullptr));
}
