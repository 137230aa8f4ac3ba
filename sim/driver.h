// SPDX-License-Identifier: MIT
// The firmware stand-in's driver API: what tests, zqsim and benchmarks use to
// run a program image as the phone would, and to look at what it did.
//
// Everything is deterministic: the clock is virtual and moves only in
// advance(); events are queued and dispatched one at a time, each handler to
// its end, in the order they were queued. No call here throws; failures are
// reported by return values.
#pragma once

#include <stddef.h>
#include <stdint.h>

#include "platform/canvas.h"
#include "platform/types.h"

namespace sim {

// ---------------------------------------------------------------- machine
// Puts the whole stand-in back to its first state: clock 0, no image, no
// applications, no timers, no playback objects, keypad unlocked, no call,
// platform name "ZQ", volume 4 for every type, idle screen in front, canvas
// log empty, memory statistics cleared, no root folder, no track lengths, no
// observer (set it again after a reset).
void Reset();

// ---------------------------------------------------------------- file system
// "file://b/" maps onto this host folder (must exist). Returns false if not.
bool SetRoot(const char* host_dir);
// The stable 8-byte identifier of a file, given as a URI in UTF-8
// ("file://b/mobile/audio/a.mp3"); false when no such file exists.
bool FileId(const char* uri_utf8, uint8_t id[8]);
// The identifier as the 16 hexadecimal digits the loader passes ("0123ABCD...").
void FileIdText(const uint8_t id[8], char text[17]);
// The host path of a URI; false when it does not lie under the root.
bool HostPath(const WCHAR* uri, char* out, size_t out_size);
// Listings of host folders that finding names without regard to case has
// made since the root was set: each folder once while it does not change.
uint32_t FolderListings();
// Lays the card's folder `uri_folder` ("file://b/mobile/audio/", with its
// final "/") onto the host folders `host_dirs`, searched in order: a name in
// an earlier one hides the same name in a later one; a name none holds is
// looked for in the first. The deepest mount of a URI decides. False when the
// URI is no folder of the card, or for more folders or mounts than there is
// room for (four of each). set_root and the reset forget every mount.
bool MountFolder(const char* uri_folder, const char* const* host_dirs, size_t count);

// ---------------------------------------------------------------- images
// Loads the image (a host shared object), resolves its imports from the
// stand-in and calls Lib(0, start_text, evcode_base). Queued events (the
// start of both applications, the UI token) are dispatched before it returns.
// Every load starts with fresh static state. *lib_result receives Lib's value.
bool LoadImage(const char* image_path, const char* start_text, uint32_t evcode_base, uint32_t* lib_result);
bool ImageLoaded();
// Looks up an exported symbol of the loaded image (e.g. "player"), or null.
void* ImageSymbol(const char* name);
// Unloads the image as a power-off would: ends its applications without
// running their handlers, then frees the image.
void UnloadImage();
// True once the image asked to be unloaded (LdrUnloadELF); the stand-in has
// then ended its applications and unloaded it.
bool UnloadRequested();

// ---------------------------------------------------------------- clock
uint32_t NowMs();
// Moves the clock by `ms`, firing timers and engine events at their times in
// order, dispatching every queued event.
void Advance(uint32_t ms);
// Dispatches queued events without moving the clock.
void RunPending();

// ---------------------------------------------------------------- keys
// Who took a key press in the end.
enum class KeyTaker : uint8_t { kPlayer, kShell, kPhone };
struct KeyResult {
  bool consumed;   // APP_ConsumeEv was called for the press or release
  KeyTaker taker;  // where the event stopped
};
// A press goes first to the player as 0x1F4; unless consumed, to the shell
// in front as 0x2034; then to the phone. A release goes to the player as
// 0x1F5. Queued events are dispatched before these return.
KeyResult Press(uint8_t key);
KeyResult Release(uint8_t key);
// Key events the program injected (DL_KeyInjectKeyPress) since the last call
// (the newest 64 are kept).
struct InjectedKey {
  uint8_t key;
  bool release;
};
size_t TakeInjectedKeys(InjectedKey* out, size_t max);

// ---------------------------------------------------------------- phone state
enum class Front : uint8_t { kIdle, kOther };
void SetKeypadLock(bool locked);
// A call that begins during playback ends the playing track with an end
// event of status 2; the engine refuses to start while the call lasts. When
// the call ends, the shell in front gets its redraw event (0x14).
void SetVoiceCall(bool active);
bool VoiceCall();
// What is in front while the player's screen is hidden: the idle screen
// (dialog type 14) or another application. Set while a shell holds the UI
// token, it comes in front of the shell: the shell's token is revoked (0x1F).
void SetFront(Front front);
Front CurrentFront();
void SetPlatformName(const char* name);
uint8_t Volume(uint8_t type);
void SetVolume(uint8_t type, uint8_t level);
uint8_t Indicator();     // last value given to UIS_SetStatus for the music indicator
uint32_t TonesPlayed();  // number of DL_AudPlayTone calls
uint8_t ActiveDialogType();

// ---------------------------------------------------------------- applications
struct AppInfo {
  bool running;
  uint32_t reg_id;
  uint32_t start_code;
  uint32_t state;  // current state number
  bool has_token;
  uint32_t dialog;  // the record's dialog field
  bool timer_running;
  uint32_t timer_id;
  uint32_t timer_period_ms;
  bool timer_cyclical;
  char name[16];
};
// The shell ("ZQ_s_Player") and the player ("ZQ_Player") of the image.
bool ShellInfo(AppInfo* out);
bool PlayerInfo(AppInfo* out);
uint32_t ShellStarts();  // how many times a shell was started

// ---------------------------------------------------------------- media engine
// Length of a track in milliseconds, for a URI in UTF-8. Without it (and
// without a probe) a track is 180 s long.
void SetTrackLength(const char* uri_utf8, uint32_t ms);
// The host front end may install a probe that opens a file for real; when it
// returns false the file is one the engine cannot decode. Without a probe an
// empty file is such a file, and any other plays for its length.
typedef bool (*MediaProbe)(const char* host_path, uint32_t* length_ms, void* ctx);
void SetMediaProbe(MediaProbe probe, void* ctx);
// Makes the engine refuse the next N calls of an operation.
enum class EngineOp : uint8_t { kCreate, kStart, kPause, kStop, kDelete, kSeek };
void RefuseEngine(EngineOp op, uint32_t times);
// Ends the current playback object now with this end status (1 = complete).
bool EndTrack(uint8_t status);
struct PlaybackInfo {
  bool exists;
  uint32_t handle;
  bool playing;
  bool broken;  // a file the engine cannot decode (see break_off_track)
  uint32_t position_ms;
  uint32_t length_ms;
  char host_path[512];
  char name[256];  // UTF-8, the part of the URI after its last "/"
};
bool GetPlaybackInfo(PlaybackInfo* out);
// Ends the current playback object as a file does that breaks off where it
// plays (its sound cannot be decoded further): with end status 2, an
// interruption, after which the program seeks back and plays on; when the
// same object breaks off again within a second of that place, with end
// status 1, as played, since playing it again would only loop. A file the
// engine cannot decode at all (empty, or not audio; see set_media_probe) is
// still opened, with length 0, and breaks off so by itself 100 ms after
// every start, whether or not the engine ends tracks itself.
bool BreakOffTrack();
// Playback objects that exist now, whoever made them.
uint32_t PlaybackObjects();
// Whether the engine holds its answers (ready after a creation, seek done
// after a seek) until the driver lets them go, as a busy engine answers late;
// off by default: they come at once. Turning it off lets every held answer go.
// The answers of a deleted object are dropped.
void HoldEngineAnswers(bool yes);
enum class EngineAnswer : uint8_t { kReady, kSeekDone };
// Lets the oldest held answer of this kind go and dispatches it; false when
// none is held.
bool DeliverEngineAnswer(EngineAnswer which);
// Whether a playing track ends by itself at its length (the default). A front
// end that plays real sound turns this off and ends the track with end_track
// when the sound ends.
void SetEngineEndsTracks(bool yes);

// ---------------------------------------------------------------- canvas
enum class CanvasOp : uint8_t {
  kCreate,
  kDelete,
  kSetFont,
  kSetFillColor,
  kSetForegroundColor,
  kSetBackgroundColor,
  kDrawLine,
  kDrawRect,
  kDrawRoundRect,
  kFillRect,
  kDrawArc,
  kDrawText,
  kGetStringSize,
  kDrawImage,
};
#define SIM_LOG_TEXT_UNITS 64
struct CanvasCall {
  CanvasOp op;
  uint32_t dialog;         // the handle passed (Create: the new handle)
  int16_t x1, y1, x2, y2;  // point(s) or region corners; text: x1, y1
  uint32_t a, b, c;        // DrawRect: a = filled; RoundRect/Arc: a, b, c;
                           // SetFont: a = font; DrawText: a = offset, b = length, c = anchor
  CanvasColor color;       // Set*Color: the colour; drawing calls: the colour in force
  uint16_t text_len;       // units kept in text (DrawText, GetStringSize)
  WCHAR text[SIM_LOG_TEXT_UNITS];
};
// The log keeps the last calls up to its capacity; older ones are dropped.
size_t CanvasLogSize();
const CanvasCall& CanvasLogAt(size_t i);
void CanvasLogClear();
bool CanvasExists();                 // a canvas has been created and not deleted
uint32_t CanvasPixel(int x, int y);  // 0xRRGGBB of the framebuffer
const uint8_t* FramebufferRgb();     // 176 x 220 x 3 bytes, row by row
void FailCanvasCreation(uint32_t times);
// Paints the framebuffer with the stand-in's own screen for what is in front
// while the player screen is hidden (idle screen, another application, call).
void DrawPhoneScreen();

// ---------------------------------------------------------------- memory
struct MemoryStats {
  uint32_t live_blocks;  // blocks the program holds now
  uint32_t live_bytes;
  uint32_t peak_bytes;
  uint32_t peak_blocks;
  uint32_t allocations;  // suAllocMem calls that succeeded
  uint32_t failed;       // suAllocMem calls that returned null
  uint32_t bad_frees;    // double frees and foreign pointers
  uint32_t overruns;     // blocks written before their start or past their
                         // end, found at their free or at the unload
};
MemoryStats GetMemoryStats();
// Makes the N-th suAllocMem call from now (1 = the next) return null; 0 off.
void FailAllocation(uint32_t nth);
// Makes every suAllocMem call fail with a chance of one in `one_in` (0 off),
// drawn from a generator seeded with `seed`: the same seed and the same calls
// fail the same calls again.
void FailAllocationsAtRandom(uint32_t one_in, uint32_t seed);
// At unload: the blocks the image left behind; writes a readable report.
uint32_t LeakedBlocks();
size_t LeakReport(char* out, size_t out_size);

// ---------------------------------------------------------------- observer
// Facts the stand-in sees, for traces. `text` is UTF-8 where given.
enum class Fact : uint8_t {
  kTrack,  // a playback object was created; text = name after the last "/"
  kEngineStart,
  kEnginePause,
  kEngineStop,
  kEngineDelete,
  kEngineSeek,  // value = milliseconds
  kIndicator,   // value = indicator value
  kVolume,      // value = level written
  kShellStart,
  kShellExit,
  kEventDone,    // an event has been handled; value = event code
  kUnload,       // value = the event being handled when the program asked for
                 // it (0 when none was)
  kFileMissing,  // DL_FsFFileExist found no file; text = the URI
  kBreakOff,     // a file broke off (break_off_track); value = where, in ms;
                 // text = name after the last "/"
  // The framework's handler took the UI token from the shell.
  kTokenRevoked,
};
typedef void (*Observer)(Fact fact, uint32_t value, const char* text, void* ctx);
void SetObserver(Observer observer, void* ctx);

// ---------------------------------------------------------------- file use
// What the program asked of the file system (whether a file exists, opening,
// reading) and the files the media engine made playback objects for, oldest
// first. The newest 32 are kept; reset() empties the log.
enum class FileUse : uint8_t { kExists, kOpen, kRead, Play };
#define SIM_FILE_LOG_URI_BYTES 512
struct FileUseRecord {
  FileUse use;
  bool ok;          // Exists: the file is there; Open: it was opened; Read:
                    // every byte asked for came; Play: always
  uint16_t handle;  // Open (0 when it failed) and Read
  uint32_t bytes;   // Open: the file's size; Read: the bytes delivered
  uint8_t head[4];  // a read from the file's first byte: the first bytes
  uint8_t head_len;
  char uri[SIM_FILE_LOG_URI_BYTES];  // UTF-8, cut to fit; empty for Read
};
size_t FileLogSize();
const FileUseRecord& FileLogAt(size_t i);

// ---------------------------------------------------------------- file-system faults
// Makes the file system fail on demand until another fault (or None) is set
// or the stand-in is reset. The file faults apply to the files opened after
// the call whose URI contains `uri_part` (UTF-8; null or "" for every file),
// SearchFails to the searches whose text contains it, the result faults to
// every search. A call that fails returns a nonzero status.
enum class FsFault : uint8_t {
  kNone,
  kOpenFails,        // DL_FsOpenFile returns the invalid handle
  kSizeTooLarge,     // DL_FsGetFileSize reports `amount` bytes more than the file holds
  kSizeTooSmall,     // DL_FsGetFileSize reports `amount` bytes fewer (0 at the least)
  kShortRead,        // each DL_FsReadFile delivers at most `amount` bytes, counts the
                     // whole items among them and returns 0
  kReadError,        // each DL_FsReadFile delivers at most `amount` bytes, counts no
                     // item and fails
  kSearchFails,      // DL_FsSSearch fails at its start: no handle, a total of 0
  kSearchBreaksOff,  // DL_FsSearchResults fails from result `amount` on, delivering none
  kSearchRunsShort,  // DL_FsSearchResults delivers no result from result `amount` on,
                     // yet returns 0 (the folder changed under the search)
};
void SetFsFault(FsFault fault, const char* uri_part = nullptr, uint32_t amount = 0);

// ---------------------------------------------------------------- folder listings
// Folder searches take their entries from `listing` instead of the host
// folder, for names no host folder holds (the fuzzing of file names):
// `listing` calls `entry` for each as a host listing would, and every entry
// that is not a folder is a readable empty file. Null, and a reset, go back
// to the host folders.
typedef void (*FolderEntry)(const char* name, bool is_dir, void* ctx);
typedef bool (*FolderListing)(const char* host_folder, FolderEntry entry, void* ctx);
void SetFolderListing(FolderListing listing);

// ---------------------------------------------------------------- GB2312 table
// Installs the 15228-byte table at its firmware address (PATCH builds read
// it there). The file "file://b/ELF/gb2uc.map" is the caller's to place.
// Once installed, the file system also serves these bytes as the read-only
// file "file://b/ELF/gb2uc.map" (a real file of that name under the root
// takes precedence).
bool InstallGb2ucTable(const uint8_t* bytes, size_t size);
// Reads a table file from the host (the build writes build/gb2uc.map) and
// installs it as above; false when it cannot be read or is not 15228 bytes.
bool InstallGb2ucFile(const char* host_path);

// ---------------------------------------------------------------- UI token
// The next UI token grant returns `result` (0 = granted) and leaves the
// record's token status at `status` (2 = held). Both apply once.
void SetNextTokenGrant(uint32_t result, uint8_t status);

// ---------------------------------------------------------------- keypad lock
// Whether the keypad is locked (what the feature database reports to the
// program), as last set with set_keypad_lock.
bool KeypadLocked();

// ---------------------------------------------------------------- calls made
// Calls of the media engine's MME_GC_playback_* routines since the last
// reset, whatever their handle and result.
uint32_t EngineCalls();
// The last folder search (DL_FsSSearch) since the last reset: its search
// text, cut to fit `units` with its terminator, and the 8 bytes of its
// parameter record as passed. False when none was made.
bool LastSearch(WCHAR* text, size_t units, uint8_t params[8]);

}  // namespace sim
