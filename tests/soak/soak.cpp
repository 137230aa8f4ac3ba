// SPDX-License-Identifier: MIT
// The seeded soak: a player image runs in the stand-in over a folder of 50
// tracks while random events, drawn from one seed, hit it: keys in every
// context, the clock, the engine's answers and ends, calls, the keypad lock,
// the screen hidden and shown, another application in front, and failures of
// the canvas, the UI token, the engine and (on request) the allocator. After
// every event the player's state must hold together; when the program ends
// by design it must have ended cleanly, and it is loaded again. The same
// seed and options replay the same run, event for event.
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <chrono>
#include <map>
#include <string>

#include "app/key_codes.h"
#include "app/player_state.h"
#include "drive/image_names.h"
#include "lyrics/record.h"
#include "sim/driver.h"
#include "soak_folder.h"

namespace soak {
namespace {

constexpr uint32_t kBase = 0x3000;
constexpr size_t kTracks = 50;

// Blocks the program may hold between two events: the track list and one
// lyrics record at its fullest (the record, its four tags, its times, its
// lines and the text of each of at most 100 lines).
constexpr uint32_t kRecordBlocks = 1 + 4 + 2 + LRC_MAX_LINES;
constexpr uint32_t kLiveBound = 1 + kRecordBlocks;
// At any moment, inside a handler too: besides those, a tag read before the
// old one goes, the working buffers of a load (the file's bytes and their
// text) and the GB2312 table.
constexpr uint32_t kPeakBound = kLiveBound + 1 + 2 + 1;

struct Options {
  uint64_t seed = 1;
  uint64_t events = 200000;
  uint64_t changes = 0;  // track changes to reach as well; 0: events / 20
  uint32_t alloc_fail = 0;
  const char* image = nullptr;
  std::string images = ZQ_IMAGE_DIR;
  std::string table = ZQ_GB2UC_MAP;
  uint64_t trace_from = UINT64_MAX;
};

// Keys as the phone sends them, weighted so that the exits stay rare (the
// player runs long between two loads) and the screen is shown about as often
// as it is hidden.
struct Key {
  uint8_t code;
  uint32_t weight;
};
const Key kKeys[] = {{kKeyVolumeUp, 4},
                     {kKeyPlayPause, 6},
                     {kKeySeekBack, 6},
                     {kKeySeekForward, 6},
                     {kKeyVolumeDown, 4},
                     {kKeyStop, 3},
                     {kKeyStar, 3},
                     {kKeyPlayMode, 4},
                     {kKeyExit, 1},
                     {kKeyClose, 2},
                     {kKeyExitAnywhere, 1},
                     {kKeyBackgroundPlay, 4},
                     {kKeySideUp, 5},
                     {kKeySideDown, 5},
                     {kKeyMediaPlay, 5},
                     {kKeyMediaStop, 8},
                     {kKeyMediaBack, 5},
                     {kKeyMediaForward, 5},
                     {kKeyActivity, 1},
                     {0x03, 1},
                     {0x10, 1},
                     {0xFF, 1}};

// Where a key press lands, as the player tells: the keypad locked, its own
// screen shown, the working table (the idle screen) or the background
// (another application or a call in front).
enum Context { kLocked, kScreen, kWorkingTable, kBackground, kContexts };
const char* const kContextNames[] = {"keypad locked", "player screen", "working table", "background"};
constexpr uint8_t kIdleDialog = 14;

struct Soak {
  Options opt;
  Random random;
  Folder folder;
  uint64_t events = 0;
  uint64_t changes = 0;
  uint64_t loads = 0;
  uint64_t keys[kContexts] = {};
  std::map<std::string, uint64_t> kinds;  // events of each kind
  std::map<uint32_t, uint64_t> ends;      // the events during which the program ended
  int held_key = -1;
  uint32_t list_blocks = 0;
  int objects = 0;       // playback objects made and not deleted by the program
  int objects_left = 0;  // of those, the ones left when it asked to be unloaded
  const char* image = "";
  const char* event = "load";
  std::string failure;
  Soak(const Options& o) : opt(o), random(o.seed), folder(random, kTracks) {}
};

PlayerState* Player() {
  return static_cast<PlayerState*>(sim::ImageSymbol("player"));
}

uint32_t RecordBlocks(const LRC* lrc) {
  if (!lrc) return 0;
  uint32_t n = 1 + (lrc->ti != nullptr) + (lrc->ar != nullptr) + (lrc->al != nullptr) + (lrc->by != nullptr);
  n += lrc->times != nullptr;
  if (lrc->lines) {
    ++n;
    for (uint32_t k = 0; k < lrc->line_count; ++k) n += lrc->lines[k].text != nullptr;
  }
  return n;
}

Context KeyContext() {
  if (sim::KeypadLocked()) return kLocked;
  if (PlayerState* p = Player(); p && p->isCanvas) return kScreen;
  return sim::ActiveDialogType() == kIdleDialog ? kWorkingTable : kBackground;
}

uint8_t PickKey(Soak& s) {
  uint32_t total = 0;
  for (const Key& k : kKeys) total += k.weight;
  uint32_t at = s.random.Below(total);
  for (const Key& k : kKeys) {
    if (at < k.weight) return k.code;
    at -= k.weight;
  }
  return kKeys[0].code;
}

void Press(Soak& s, uint8_t key) {
  s.keys[KeyContext()]++;
  if (s.events + 1 >= s.opt.trace_from) printf("   key 0x%02x on the %s\n", key, kContextNames[KeyContext()]);
  sim::Press(key);
}

void KeyUp(Soak& s) {
  if (s.held_key < 0) return;
  uint8_t key = static_cast<uint8_t>(s.held_key);
  s.held_key = -1;
  sim::Release(key);
}

// A fault of the card that lasts until the card is mended: it meets lyrics
// files, the GB2312 table and, at the next load, the folder search.
void CardFails(Soak& s) {
  const sim::FsFault kinds[] = {sim::FsFault::kOpenFails,       sim::FsFault::kSizeTooLarge,
                                sim::FsFault::kSizeTooSmall,    sim::FsFault::kShortRead,
                                sim::FsFault::kReadError,       sim::FsFault::kSearchFails,
                                sim::FsFault::kSearchBreaksOff, sim::FsFault::kSearchRunsShort};
  uint32_t amount = s.random.OneIn(2) ? s.random.Below(64) : s.random.Below(70000);
  sim::SetFsFault(kinds[s.random.Below(8)], nullptr, amount);
}

// ---------------------------------------------------------------- events
// The phone's states (a call, the keypad lock, another application in front)
// begin rarely and end soon, so that most keys meet the player unhindered.
struct Event {
  const char* name;
  uint32_t weight;
  void (*run)(Soak& s);
};

const Event kEvents[] = {
    {"key tap", 88,
     [](Soak& s) {
       uint8_t key = PickKey(s);
       Press(s, key);
       if (sim::ImageLoaded()) sim::Release(key);
     }},
    {"key down", 32,
     [](Soak& s) {
       KeyUp(s);
       s.held_key = PickKey(s);
       Press(s, static_cast<uint8_t>(s.held_key));
     }},
    {"key up", 32, KeyUp},
    {"tick", 80, [](Soak&) { sim::Advance(1000); }},
    {"seek step", 40, [](Soak&) { sim::Advance(100); }},
    {"wait", 12, [](Soak& s) { sim::Advance(2000 + s.random.Below(60000)); }},
    {"engine ready", 24, [](Soak&) { sim::DeliverEngineAnswer(sim::EngineAnswer::kReady); }},
    {"seek done", 16, [](Soak&) { sim::DeliverEngineAnswer(sim::EngineAnswer::kSeekDone); }},
    {"end played", 8, [](Soak&) { sim::EndTrack(1); }},
    {"end interrupted", 8, [](Soak&) { sim::EndTrack(2); }},
    {"break off", 4, [](Soak&) { sim::BreakOffTrack(); }},
    {"call begins", 3, [](Soak&) { sim::SetVoiceCall(true); }},
    {"call ends", 15, [](Soak&) { sim::SetVoiceCall(false); }},
    {"keypad locks", 3, [](Soak&) { sim::SetKeypadLock(true); }},
    {"keypad unlocks", 15, [](Soak&) { sim::SetKeypadLock(false); }},
    {"other application", 4, [](Soak&) { sim::SetFront(sim::Front::kOther); }},
    {"idle screen", 12, [](Soak&) { sim::SetFront(sim::Front::kIdle); }},
    {"canvas fails", 1, [](Soak&) { sim::FailCanvasCreation(1); }},
    {"token refused", 1, [](Soak& s) { sim::SetNextTokenGrant(s.random.Below(2), 1); }},
    {"engine refuses", 4,
     [](Soak& s) {
       // Not its delete: the player drops a handle whatever the engine says.
       const sim::EngineOp ops[] = {sim::EngineOp::kCreate, sim::EngineOp::kStart, sim::EngineOp::kPause,
                                    sim::EngineOp::kStop, sim::EngineOp::kSeek};
       sim::RefuseEngine(ops[s.random.Below(5)], 1);
     }},
    {"engine answers late", 4, [](Soak& s) { sim::HoldEngineAnswers(s.random.OneIn(2)); }},
    {"card fails", 2, CardFails},
    {"card mended", 6, [](Soak&) { sim::SetFsFault(sim::FsFault::kNone); }},
};

const Event& PickEvent(Soak& s) {
  uint32_t total = 0;
  for (const Event& e : kEvents) total += e.weight;
  uint32_t at = s.random.Below(total);
  for (const Event& e : kEvents) {
    if (at < e.weight) return e;
    at -= e.weight;
  }
  return kEvents[0];
}

// ---------------------------------------------------------------- checks
bool Fail(Soak& s, const std::string& what) {
  if (s.failure.empty()) s.failure = what;
  return false;
}

// What must hold after every event while the program runs.
bool CheckRunning(Soak& s) {
  PlayerState* p = Player();
  if (!p) return Fail(s, "the image exports no player record");
  if (p->count > 0 && p->cur >= p->count)
    return Fail(s, "cur " + std::to_string(p->cur) + " not below count " + std::to_string(p->count));
  sim::PlaybackInfo play{};
  bool playing = sim::GetPlaybackInfo(&play);
  uint32_t objects = sim::PlaybackObjects();
  if (objects > 1 || (p->mme_media_file != 0) != (objects == 1) || (playing && play.handle != p->mme_media_file))
    return Fail(s,
                std::to_string(objects) + " playback objects, the player holds " + std::to_string(p->mme_media_file));
  if (p->State_Player == kPlayerSeeking) {
    uint32_t length = playing ? play.length_ms / 1000 : p->timeDuraction;
    if (p->timePosition > length)
      return Fail(s, "seeking at " + std::to_string(p->timePosition) + " s in a track of " + std::to_string(length));
  }
  if (p->lrc && p->iRet != kLrcLoaded) return Fail(s, "a lyrics record with iRet " + std::to_string(p->iRet));
  sim::AppInfo shell{};
  bool shell_canvas =
      sim::ShellInfo(&shell) && shell.running && shell.dialog != 0 && shell.dialog == p->dialog && sim::CanvasExists();
  if (p->isCanvas > 1 || (p->isCanvas == 1) != shell_canvas)
    return Fail(
        s, "isCanvas " + std::to_string(p->isCanvas) + (shell_canvas ? " while" : " but no") + " canvas of the shell");
  sim::MemoryStats m = sim::GetMemoryStats();
  uint32_t expected = s.list_blocks + RecordBlocks(p->lrc);
  if (m.live_blocks != expected || m.live_blocks > kLiveBound)
    return Fail(s, std::to_string(m.live_blocks) + " live blocks where the list and the record hold " +
                       std::to_string(expected) + " (bound " + std::to_string(kLiveBound) + ")");
  return true;
}

// What must hold after every event, and how the program ended when it did.
bool Check(Soak& s) {
  sim::MemoryStats m = sim::GetMemoryStats();
  if (m.bad_frees || m.overruns)
    return Fail(s, std::to_string(m.bad_frees) + " bad frees, " + std::to_string(m.overruns) + " overruns");
  if (m.peak_blocks > kPeakBound)
    return Fail(s, "peak of " + std::to_string(m.peak_blocks) + " live blocks, above " + std::to_string(kPeakBound));
  if (sim::ImageLoaded()) return CheckRunning(s);
  if (!sim::UnloadRequested()) return Fail(s, "the image went without asking to be unloaded");
  if (sim::LeakedBlocks() != 0 || m.live_blocks != 0) {
    char report[2048];
    sim::LeakReport(report, sizeof report);
    return Fail(s, std::string("the program ended and left blocks behind: ") + report);
  }
  if (s.objects_left != 0) return Fail(s, "the program ended and left its playback object behind");
  return true;
}

// ---------------------------------------------------------------- the run
void Observe(sim::Fact fact, uint32_t value, const char*, void* ctx) {
  Soak& s = *static_cast<Soak*>(ctx);
  if (fact == sim::Fact::kTrack) ++s.changes, ++s.objects;
  if (fact == sim::Fact::kEngineDelete) --s.objects;
  if (fact == sim::Fact::kUnload) {
    ++s.ends[value];
    s.objects_left = s.objects;
    s.objects = 0;
  }
}

bool Load(Soak& s) {
  s.event = "load";
  s.held_key = -1;
  s.folder.RestoreMissing();
  s.image = s.opt.image ? s.opt.image : drive::kImageNames[s.random.Below(drive::kImageCount)];
  sim::HoldEngineAnswers(s.random.OneIn(2));
  char text[17];
  if (s.random.OneIn(20)) {
    // An identifier of no file, or of any file at all.
    for (int i = 0; i < 16; ++i) text[i] = "0123456789ABCDEFGx"[s.random.Below(18)];
    text[16] = '\0';
  } else {
    const Track& t = s.folder.Tracks()[s.random.Below(kTracks)];
    uint8_t id[8];
    if (!sim::FileId(("file://b/mobile/audio/" + t.name).c_str(), id)) return Fail(s, "no identifier for " + t.name);
    sim::FileIdText(id, text);
  }
  ++s.loads;
  if (!sim::LoadImage((s.opt.images + "/" + s.image + ".so").c_str(), text, kBase, nullptr))
    return Fail(s, "the image did not load");
  s.folder.RemoveMissing();
  if (PlayerState* p = Player()) s.list_blocks = sim::GetMemoryStats().live_blocks - RecordBlocks(p->lrc);
  if (sim::ImageLoaded() && s.list_blocks > 1) return Fail(s, "the program holds more than its list and record");
  return Check(s);
}

void Trace(Soak& s) {
  PlayerState* p = Player();
  if (!p) {
    printf("#%llu %s: ended\n", (unsigned long long)s.events, s.event);
    return;
  }
  sim::PlaybackInfo play{};
  sim::GetPlaybackInfo(&play);
  printf("#%llu %s: state %u, track %u/%u, %u/%u s, iRet %u, canvas %u, %u blocks, engine %s %u/%u ms, %s\n",
         (unsigned long long)s.events, s.event, p->State_Player, p->cur, p->count, p->timePosition, p->timeDuraction,
         p->iRet, p->isCanvas, sim::GetMemoryStats().live_blocks, play.playing ? "playing" : "still", play.position_ms,
         play.length_ms, s.image);
}

bool Run(Soak& s) {
  sim::Reset();
  if (!sim::SetRoot(s.folder.Root().c_str())) return Fail(s, "no root folder");
  if (!sim::InstallGb2ucFile(s.opt.table.c_str())) return Fail(s, "no GB2312 table at " + s.opt.table);
  for (const Track& t : s.folder.Tracks()) sim::SetTrackLength(("file://b/mobile/audio/" + t.name).c_str(), t.ms);
  sim::SetObserver(Observe, &s);
  if (s.opt.alloc_fail) sim::FailAllocationsAtRandom(s.opt.alloc_fail, static_cast<uint32_t>(s.opt.seed));
  if (!Load(s)) return false;
  while (s.events < s.opt.events || s.changes < s.opt.changes) {
    if (!sim::ImageLoaded()) {
      if (!Load(s)) return false;
      continue;
    }
    const Event& e = PickEvent(s);
    s.event = e.name;
    s.kinds[e.name]++;
    e.run(s);
    ++s.events;
    if (s.events >= s.opt.trace_from) Trace(s);
    if (!Check(s)) return false;
  }
  // The last run ends as a user ends it, cleanly too.
  if (!sim::ImageLoaded()) return true;
  s.event = "final exit";
  sim::SetKeypadLock(false);
  sim::SetVoiceCall(false);
  sim::SetFront(sim::Front::kIdle);
  sim::Press(kKeyExitAnywhere);
  return Check(s) && (!sim::ImageLoaded() || Fail(s, "the exit key did not end the program"));
}

// Every option takes a value: the arguments go by pairs.
bool Parse(int argc, char** argv, Options* o) {
  for (int i = 1; i < argc; i += 2) {
    std::string a = argv[i];
    const char* v = i + 1 < argc ? argv[i + 1] : nullptr;
    if (!v) return false;
    if (a == "--seed")
      o->seed = strtoull(v, nullptr, 0);
    else if (a == "--events")
      o->events = strtoull(v, nullptr, 0);
    else if (a == "--changes")
      o->changes = strtoull(v, nullptr, 0);
    else if (a == "--alloc-fail")
      o->alloc_fail = static_cast<uint32_t>(strtoul(v, nullptr, 0));
    else if (a == "--image")
      o->image = v;
    else if (a == "--images")
      o->images = v;
    else if (a == "--table")
      o->table = v;
    else if (a == "--trace-from")
      o->trace_from = strtoull(v, nullptr, 0);
    else
      return false;
  }
  if (o->changes == 0) o->changes = o->events / 20;
  return true;
}

const char* EventName(uint32_t code) {
  switch (code) {
    case 0:
      return "its start";
    case EV_KEY_PRESS:
      return "a key press";
    case EV_KEY_RELEASE:
      return "a key release";
    case EV_TIMER_EXPIRED:
      return "a timer";
    case EV_PLAYBACK_READY:
      return "engine ready";
    case EV_PLAYBACK_SEEK_DONE:
      return "seek done";
    case EV_PLAYBACK_END:
      return "a track's end";
    default:
      return "another event";
  }
}

std::string Replay(const Options& o, uint64_t from) {
  std::string cmd = "scripts/soak --seed " + std::to_string(o.seed) + " --events " + std::to_string(o.events) +
                    " --changes " + std::to_string(o.changes);
  if (o.alloc_fail) cmd += " --alloc-fail " + std::to_string(o.alloc_fail);
  if (o.image) cmd += std::string(" --image ") + o.image;
  return cmd + " --trace-from " + std::to_string(from);
}

}  // namespace
}  // namespace soak

int main(int argc, char** argv) {
  using namespace soak;
  Options opt;
  if (!Parse(argc, argv, &opt)) {
    fprintf(stderr,
            "usage: soak [--seed S] [--events N] [--changes N] [--alloc-fail ONE_IN] [--image NAME]\n"
            "            [--images DIR] [--table GB2UC_MAP] [--trace-from EVENT]\n");
    return 2;
  }
  auto started = std::chrono::steady_clock::now();
  Soak s(opt);
  bool ok = Run(s);
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
  if (!ok) {
    printf("soak: FAILED, seed %llu, event %llu (%s, %s): %s\nreplay: %s\n", (unsigned long long)opt.seed,
           (unsigned long long)s.events, s.event, s.image, s.failure.c_str(),
           Replay(opt, s.events > 20 ? s.events - 20 : 0).c_str());
    return 1;
  }
  sim::MemoryStats m = sim::GetMemoryStats();
  printf(
      "soak: seed %llu: %llu events, %llu track changes, %llu loads, peak %u live blocks (bound %u), "
      "%u allocations failed, %.1f s\n",
      (unsigned long long)opt.seed, (unsigned long long)s.events, (unsigned long long)s.changes,
      (unsigned long long)s.loads, m.peak_blocks, kPeakBound, m.failed, seconds);
  printf("soak: key presses:");
  for (int c = 0; c < kContexts; ++c)
    printf(" %s %llu%s", kContextNames[c], (unsigned long long)s.keys[c], c + 1 < kContexts ? "," : "\n");
  printf("soak: events:");
  for (const auto& [name, n] : s.kinds) printf(" %s %llu,", name.c_str(), (unsigned long long)n);
  printf("\nsoak: the program ended during:");
  for (const auto& [code, n] : s.ends) printf(" %s %llu,", EventName(code), (unsigned long long)n);
  printf("\n");
  return 0;
}
