// SPDX-License-Identifier: MIT
// The window's sound without a track: the phone's tone is queued as a short
// beep when the program plays it, and is heard out before the device closes.
// SDL's dummy audio driver plays in real time without a sound card.
#include "tools/zqsim/sound_out.h"

#include <SDL.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "sim/driver.h"

namespace {

class SoundOutTest : public ::testing::Test {
 protected:
  void SetUp() override {
    setenv("SDL_AUDIODRIVER", "dummy", 1);
    ASSERT_EQ(SDL_Init(SDL_INIT_AUDIO), 0) << SDL_GetError();
    sim::Reset();  // no playback object: only tones sound
  }
  void TearDown() override { SDL_Quit(); }
};

}  // namespace

TEST(Beep, IsA120MsToneOf880HzThatStartsAndEndsQuietly) {
  const int rate = 44100;
  std::vector<int16_t> beep = zqsim::BeepSamples(rate);
  ASSERT_EQ(beep.size(), static_cast<size_t>(rate * 120 / 1000) * 2);
  int crossings = 0, peak = 0;
  for (size_t i = 0; i + 2 < beep.size(); i += 2) {
    EXPECT_EQ(beep[i], beep[i + 1]);  // both channels alike
    if ((beep[i] < 0) != (beep[i + 2] < 0)) ++crossings;
    peak = std::max(peak, std::abs(static_cast<int>(beep[i])));
  }
  // 880 Hz for 0.12 s: about 106 periods, two sign changes each.
  EXPECT_NEAR(crossings, 211, 4);
  EXPECT_GT(peak, 8000);
  EXPECT_LT(std::abs(static_cast<int>(beep[0])), 100);
  EXPECT_LT(std::abs(static_cast<int>(beep[beep.size() - 2])), 400);
}

TEST_F(SoundOutTest, ATonePlayedByTheProgramIsQueuedOnceAndDrained) {
  zqsim::SoundOut sound;
  ASSERT_TRUE(sound.Open());
  const uint32_t beep_bytes = static_cast<uint32_t>(zqsim::BeepSamples(44100).size() * sizeof(int16_t));
  sound.Update(5, 3);  // the first look only learns the count
  EXPECT_EQ(sound.QueuedBytes(), 0u);
  sound.Update(5, 3);
  EXPECT_EQ(sound.QueuedBytes(), 0u);
  sound.Update(5, 4);  // one more tone
  EXPECT_GT(sound.QueuedBytes(), beep_bytes / 2);
  EXPECT_LE(sound.QueuedBytes(), beep_bytes);
  uint64_t start = SDL_GetTicks64();
  sound.Drain(1000);
  EXPECT_EQ(sound.QueuedBytes(), 0u);
  EXPECT_LT(SDL_GetTicks64() - start, 1000u);
}
