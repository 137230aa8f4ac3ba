// SPDX-License-Identifier: MIT
// The media engine: playback objects, their events, and the position on the
// virtual clock.
#include "platform/media.h"

#include <stdio.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <string>

#include "test_apps.h"

namespace simtest {
namespace {

using Log = std::vector<std::string>;

const WCHAR kUriA[] = u"file://b/mobile/audio/a.mp3";
const WCHAR kUriB[] = u"file://b/mobile/audio/b.m4a";
const WCHAR kMissing[] = u"file://b/mobile/audio/none.mp3";

class Media : public Framework {
 protected:
  void SetUp() override {
    Framework::SetUp();
    char tmpl[] = "/tmp/zq_media_XXXXXX";
    ASSERT_NE(mkdtemp(tmpl), nullptr);
    root_ = tmpl;
    ASSERT_EQ(mkdir((root_ + "/mobile").c_str(), 0755), 0);
    ASSERT_EQ(mkdir((root_ + "/mobile/audio").c_str(), 0755), 0);
    for (const char* name : {"a.mp3", "b.m4a"}) {
      FILE* f = fopen((root_ + "/mobile/audio/" + name).c_str(), "wb");
      ASSERT_NE(f, nullptr);
      fputs("not really audio", f);
      fclose(f);
    }
    StartBoth();
    ASSERT_TRUE(sim::SetRoot(root_.c_str()));
    TakeLog();
  }
  void TearDown() override {
    Framework::TearDown();
    std::string cmd = "rm -rf '" + root_ + "'";
    EXPECT_EQ(system(cmd.c_str()), 0);
  }
  uint32_t Create(const WCHAR* uri, APPLICATION_T* owner = nullptr) {
    uint32_t port = (owner ? owner : w_.player)->port;
    return MME_GC_playback_create(&port, uri, 0, 0, 0, 0, 0, 0);
  }
  uint32_t Attr(uint32_t h, uint32_t which) {
    uint32_t v = 0xFFFFFFFF;
    EXPECT_EQ(MME_GC_playback_get_attribute(h, which, &v), 0u);
    return v;
  }
  std::string root_;
};

TEST_F(Media, CreatingAnObjectAnnouncesItToTheOwnerOfThePortOnly) {
  uint32_t h = Create(kUriA);
  ASSERT_NE(h, 0u);
  sim::RunPending();
  EXPECT_EQ(TakeLog(), (Log{"player c1000"}));
  EXPECT_EQ(CountFact(sim::Fact::kEventDone, EV_PLAYBACK_READY), 1);
  bool named = false;
  for (auto& f : w_.facts) named |= f.fact == sim::Fact::kTrack && f.text == "a.mp3";
  EXPECT_TRUE(named);
  sim::PlaybackInfo info{};
  ASSERT_TRUE(sim::GetPlaybackInfo(&info));
  EXPECT_TRUE(info.exists);
  EXPECT_EQ(info.handle, h);
  EXPECT_FALSE(info.playing);
  EXPECT_STREQ(info.name, "a.mp3");
  EXPECT_EQ(std::string(info.host_path), root_ + "/mobile/audio/a.mp3");
  EXPECT_EQ(Attr(h, MME_ATTR_LENGTH), 180u);
  EXPECT_EQ(Attr(h, MME_ATTR_POSITION), 0u);

  // An object created for the shell's port answers the shell only.
  uint32_t h2 = Create(kUriB, w_.shell);
  ASSERT_NE(h2, 0u);
  EXPECT_NE(h2, h);
  sim::RunPending();
  EXPECT_EQ(CountFact(sim::Fact::kEventDone, EV_PLAYBACK_READY), 2);
  EXPECT_TRUE(TakeLog().empty());  // the shell has no handler for it
}

bool RefuseAll(const char*, uint32_t*, void*) {
  return false;
}
bool Probe42s(const char*, uint32_t* ms, void* ctx) {
  ++*static_cast<int*>(ctx);
  *ms = 42000;
  return true;
}

TEST_F(Media, CreationIsRefusedForMissingFilesAndRefusals) {
  struct Case {
    const char* what;
    const WCHAR* uri;
    bool null_port;
    uint32_t refusals;
    sim::MediaProbe probe;
  } cases[] = {
      {"missing file", kMissing, false, 0, nullptr}, {"outside the root", u"file://b/../etc/passwd", false, 0, nullptr},
      {"no URI", nullptr, false, 0, nullptr},        {"no port", kUriA, true, 0, nullptr},
      {"engine refuses", kUriA, false, 1, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim::RefuseEngine(sim::EngineOp::kCreate, c.refusals);
    sim::SetMediaProbe(c.probe, nullptr);
    uint32_t h = c.null_port ? MME_GC_playback_create(nullptr, c.uri, 0, 0, 0, 0, 0, 0) : Create(c.uri);
    EXPECT_EQ(h, 0u);
    sim::RunPending();
    EXPECT_TRUE(TakeLog().empty());
    sim::PlaybackInfo info{};
    EXPECT_FALSE(sim::GetPlaybackInfo(&info));
    sim::SetMediaProbe(nullptr, nullptr);
  }
  // Refusals are counted: two, then the engine works again.
  sim::RefuseEngine(sim::EngineOp::kCreate, 2);
  EXPECT_EQ(Create(kUriA), 0u);
  EXPECT_EQ(Create(kUriA), 0u);
  EXPECT_NE(Create(kUriA), 0u);
}

TEST_F(Media, LengthComesFromTheTableThenTheProbeThenTheDefault) {
  int probed = 0;
  sim::SetMediaProbe(Probe42s, &probed);
  uint32_t a = Create(kUriA);
  EXPECT_EQ(Attr(a, MME_ATTR_LENGTH), 42u);
  EXPECT_EQ(probed, 1);
  // The table takes a folder of any size, and names in any letter case.
  for (int i = 0; i < 300; ++i) sim::SetTrackLength(("file://b/mobile/audio/" + std::to_string(i)).c_str(), 1000);
  sim::SetTrackLength("file://b/mobile/audio/B.M4A", 61999);
  uint32_t b = Create(u"file://b/MOBILE/audio/b.m4a");
  EXPECT_EQ(Attr(b, MME_ATTR_LENGTH), 61u);  // whole seconds, cut down
  sim::SetMediaProbe(nullptr, nullptr);
  MME_GC_playback_delete(a);
  EXPECT_EQ(Attr(Create(kUriA), MME_ATTR_LENGTH), 180u);
}

TEST_F(Media, ThePositionFollowsTheClockWhilePlaying) {
  uint32_t h = Create(kUriA);
  sim::Advance(5000);  // not started: nothing moves
  EXPECT_EQ(Attr(h, MME_ATTR_POSITION), 0u);
  ASSERT_EQ(MME_GC_playback_start(h, 0, 0), 0u);
  sim::Advance(2500);
  EXPECT_EQ(Attr(h, MME_ATTR_POSITION), 2u);
  ASSERT_EQ(MME_GC_playback_pause(h), 0u);
  sim::Advance(5000);
  EXPECT_EQ(Attr(h, MME_ATTR_POSITION), 2u);
  ASSERT_EQ(MME_GC_playback_start(h, 0, 0), 0u);
  sim::Advance(600);
  sim::PlaybackInfo info{};
  ASSERT_TRUE(sim::GetPlaybackInfo(&info));
  EXPECT_TRUE(info.playing);
  EXPECT_EQ(info.position_ms, 3100u);
  EXPECT_EQ(Attr(h, MME_ATTR_POSITION), 3u);
  ASSERT_EQ(MME_GC_playback_stop(h), 0u);
  ASSERT_TRUE(sim::GetPlaybackInfo(&info));
  EXPECT_FALSE(info.playing);
  EXPECT_EQ(info.position_ms, 0u);
  EXPECT_TRUE(HasFact(sim::Fact::kEngineStart, 0));
  EXPECT_TRUE(HasFact(sim::Fact::kEnginePause, 0));
  EXPECT_TRUE(HasFact(sim::Fact::kEngineStop, 0));
}

TEST_F(Media, SeekingKeepsPlayingOrPausedAndStopsAtTheLength) {
  sim::SetTrackLength("file://b/mobile/audio/a.mp3", 100000);
  uint32_t h = Create(kUriA);
  sim::RunPending();
  TakeLog();
  ASSERT_EQ(MME_GC_playback_start(h, 0, 0), 0u);
  ASSERT_EQ(MME_GC_playback_seek(h, 40000), 0u);
  sim::Advance(1000);
  EXPECT_EQ(TakeLog(), (Log{"player c1002"}));
  EXPECT_EQ(Attr(h, MME_ATTR_POSITION), 41u);
  EXPECT_TRUE(HasFact(sim::Fact::kEngineSeek, 40000));
  ASSERT_EQ(MME_GC_playback_pause(h), 0u);
  ASSERT_EQ(MME_GC_playback_seek(h, 500000), 0u);
  sim::Advance(1000);
  EXPECT_EQ(Attr(h, MME_ATTR_POSITION), 100u);
  sim::PlaybackInfo info{};
  ASSERT_TRUE(sim::GetPlaybackInfo(&info));
  EXPECT_FALSE(info.playing);
  EXPECT_EQ(info.position_ms, 100000u);
}

TEST_F(Media, APlayingTrackEndsAtItsLengthAfterTheTimersOfThatMoment) {
  sim::SetTrackLength("file://b/mobile/audio/a.mp3", 3000);
  uint32_t h = Create(kUriA);
  sim::RunPending();
  TakeLog();
  uint32_t ended = 0;
  On("player", EV_PLAYBACK_END, [&ended](EVENT_STACK_T* ev, APPLICATION_T*) {
    ended = EndHandle(ev);
    return 0u;
  });
  ASSERT_EQ(MME_GC_playback_start(h, 0, 0), 0u);
  ASSERT_EQ(APP_UtilStartCyclicalTimer(1000, 0, w_.player), 0u);
  sim::Advance(2999);
  EXPECT_EQ(TakeLog(), (Log{"player timer 0", "player timer 0"}));
  sim::Advance(1);
  EXPECT_EQ(TakeLog(), (Log{"player timer 0", "player end 1"}));
  EXPECT_EQ(ended, h);
  sim::PlaybackInfo info{};
  ASSERT_TRUE(sim::GetPlaybackInfo(&info));
  EXPECT_FALSE(info.playing);
  EXPECT_EQ(info.position_ms, 3000u);
  APP_UtilStopTimer(w_.player);
  sim::Advance(10000);
  EXPECT_TRUE(TakeLog().empty());  // it ends once
}

TEST_F(Media, WithoutSelfEndingTheDriverEndsTheTrack) {
  sim::SetEngineEndsTracks(false);
  sim::SetTrackLength("file://b/mobile/audio/a.mp3", 2000);
  uint32_t h = Create(kUriA);
  ASSERT_EQ(MME_GC_playback_start(h, 0, 0), 0u);
  sim::Advance(5000);
  TakeLog();
  EXPECT_EQ(Attr(h, MME_ATTR_POSITION), 2u);
  ASSERT_TRUE(sim::EndTrack(7));
  EXPECT_EQ(TakeLog(), (Log{"player end 7"}));
  MME_GC_playback_delete(h);
  EXPECT_FALSE(sim::EndTrack(1));
}

// A file the engine cannot decode opens like any other and breaks off 100 ms
// after each start; where it broke off before, it ends as played. A front
// end breaks off a track where its sound fails by the same rule.
TEST_F(Media, AFileThatBreaksOffTwiceAtOnePlaceEndsAsPlayed) {
  FILE* empty = fopen((root_ + "/mobile/audio/empty.mp3").c_str(), "wb");
  ASSERT_NE(empty, nullptr);
  fclose(empty);
  struct Case {
    const char* what;
    const WCHAR* uri;
    sim::MediaProbe probe;
    bool engine_ends_tracks;
  } cases[] = {
      {"empty", u"file://b/mobile/audio/empty.mp3", nullptr, true},
      {"not audio to the probe", kUriA, RefuseAll, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    sim::SetMediaProbe(c.probe, nullptr);
    sim::SetEngineEndsTracks(c.engine_ends_tracks);
    uint32_t h = Create(c.uri);
    ASSERT_NE(h, 0u);
    sim::RunPending();
    EXPECT_EQ(TakeLog(), (Log{"player c1000"}));
    EXPECT_EQ(Attr(h, MME_ATTR_LENGTH), 0u);
    for (const char* end : {"player end 2", "player end 1"}) {
      ASSERT_EQ(MME_GC_playback_start(h, 0, 0), 0u);
      sim::Advance(99);
      EXPECT_TRUE(TakeLog().empty());
      sim::Advance(1);
      EXPECT_EQ(TakeLog(), (Log{end}));
      EXPECT_EQ(Attr(h, MME_ATTR_POSITION), 0u);
    }
    sim::PlaybackInfo info{};
    ASSERT_TRUE(sim::GetPlaybackInfo(&info));
    EXPECT_TRUE(info.broken);
    EXPECT_EQ(CountFact(sim::Fact::kBreakOff, 0), 2);
    MME_GC_playback_delete(h);
    sim::SetMediaProbe(nullptr, nullptr);
    w_.facts.clear();
  }
  sim::SetEngineEndsTracks(false);
  uint32_t h = Create(kUriB);
  ASSERT_EQ(MME_GC_playback_start(h, 0, 0), 0u);
  struct Break {
    uint32_t at_ms;  // the position the track is taken to, then played for 500 ms
    const char* end;
  } breaks[] = {{4500, "player end 2"}, {4000, "player end 1"}, {9000, "player end 2"}};
  for (const Break& b : breaks) {
    ASSERT_EQ(MME_GC_playback_seek(h, b.at_ms), 0u);
    ASSERT_EQ(MME_GC_playback_start(h, 0, 0), 0u);
    sim::Advance(500);
    TakeLog();
    ASSERT_TRUE(sim::BreakOffTrack());
    EXPECT_EQ(TakeLog(), (Log{b.end})) << b.at_ms;
    EXPECT_TRUE(HasFact(sim::Fact::kBreakOff, b.at_ms + 500));
  }
}

TEST_F(Media, ACallInterruptsPlaybackAndRefusesStartsUntilItEnds) {
  uint32_t h = Create(kUriA);
  ASSERT_EQ(MME_GC_playback_start(h, 0, 0), 0u);
  sim::Advance(4000);
  TakeLog();
  sim::SetVoiceCall(true);
  EXPECT_EQ(TakeLog(), (Log{"player end 2"}));
  sim::PlaybackInfo info{};
  ASSERT_TRUE(sim::GetPlaybackInfo(&info));
  EXPECT_FALSE(info.playing);
  EXPECT_NE(MME_GC_playback_start(h, 0, 0), 0u);
  sim::Advance(3000);
  EXPECT_EQ(Attr(h, MME_ATTR_POSITION), 4u);
  sim::SetVoiceCall(false);
  EXPECT_EQ(TakeLog(), (Log{"shell 14"}));
  EXPECT_EQ(MME_GC_playback_start(h, 0, 0), 0u);
  // A call while nothing plays ends nothing.
  ASSERT_EQ(MME_GC_playback_pause(h), 0u);
  sim::SetVoiceCall(true);
  EXPECT_TRUE(TakeLog().empty());
}

TEST_F(Media, RefusedOperationsChangeNothing) {
  uint32_t h = Create(kUriA);
  struct Case {
    sim::EngineOp op;
    uint32_t (*call)(uint32_t);
  } cases[] = {
      {sim::EngineOp::kStart, [](uint32_t x) { return MME_GC_playback_start(x, 0, 0); }},
      {sim::EngineOp::kPause, MME_GC_playback_pause},
      {sim::EngineOp::kStop, MME_GC_playback_stop},
      {sim::EngineOp::kSeek, [](uint32_t x) { return MME_GC_playback_seek(x, 9000); }},
      {sim::EngineOp::kDelete, MME_GC_playback_delete},
  };
  ASSERT_EQ(MME_GC_playback_start(h, 0, 0), 0u);
  sim::Advance(2000);
  sim::RunPending();
  TakeLog();
  for (const Case& c : cases) {
    SCOPED_TRACE(static_cast<int>(c.op));
    sim::RefuseEngine(c.op, 1);
    EXPECT_NE(c.call(h), 0u);
    sim::PlaybackInfo info{};
    ASSERT_TRUE(sim::GetPlaybackInfo(&info));
    EXPECT_TRUE(info.playing);
    EXPECT_EQ(info.position_ms, 2000u);
  }
  sim::RunPending();
  EXPECT_TRUE(TakeLog().empty());  // no seek-done for a refused seek
}

TEST_F(Media, ADeletedObjectIsUnknownToEveryOperation) {
  uint32_t h = Create(kUriA);
  ASSERT_EQ(MME_GC_playback_delete(h), 0u);
  EXPECT_TRUE(HasFact(sim::Fact::kEngineDelete, 0));
  sim::PlaybackInfo info{};
  EXPECT_FALSE(sim::GetPlaybackInfo(&info));
  for (uint32_t handle : {h, 0u, 0xBADu}) {
    SCOPED_TRACE(handle);
    EXPECT_NE(MME_GC_playback_start(handle, 0, 0), 0u);
    EXPECT_NE(MME_GC_playback_pause(handle), 0u);
    EXPECT_NE(MME_GC_playback_stop(handle), 0u);
    EXPECT_NE(MME_GC_playback_seek(handle, 0), 0u);
    EXPECT_NE(MME_GC_playback_delete(handle), 0u);
    uint32_t v = 0x1234;
    EXPECT_NE(MME_GC_playback_get_attribute(handle, MME_ATTR_LENGTH, &v), 0u);
    EXPECT_EQ(v, 0x1234u);
  }
  uint32_t h2 = Create(kUriB);
  uint32_t v = 0x1234;
  EXPECT_NE(MME_GC_playback_get_attribute(h2, 0x77, &v), 0u);
  EXPECT_EQ(v, 0x1234u);
  EXPECT_NE(MME_GC_playback_get_attribute(h2, MME_ATTR_LENGTH, nullptr), 0u);
}

TEST_F(Media, EventsForAnOwnerThatHasGoneAreDropped) {
  uint32_t h = Create(kUriA, w_.shell);
  ASSERT_EQ(APP_Exit(nullptr, w_.shell, 0), 0u);
  sim::RunPending();
  ASSERT_EQ(MME_GC_playback_seek(h, 1000), 0u);
  sim::RunPending();
  EXPECT_EQ(CountFact(sim::Fact::kEventDone, EV_PLAYBACK_READY), 0);
  EXPECT_EQ(CountFact(sim::Fact::kEventDone, EV_PLAYBACK_SEEK_DONE), 0);
}

}  // namespace
}  // namespace simtest
