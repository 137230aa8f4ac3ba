// SPDX-License-Identifier: MIT
// The program inside the big-endian box: the stand-in's core and the shared
// headless driver, built for the phone's processor and run by qemu-armeb. It
// loads a phone image with the stand-in's own loader and runs it as zqsim
// --headless runs a host image, writing the same trace. The launcher (zqbox)
// checks what was asked for, builds the phone's file system, probes the
// media on the host and starts this program with:
//
//   zqbox_program.elf --image FILE --root DIR --start URI --media TABLE
//             [--script FILE] [--trace FILE] [--shots DIR] [--gb2uc FILE]
//             [--platform NAME] [-v]
//
// Exit status as zqsim's: 0 done, 1 the run failed, 2 a bad script.
#include "drive/headless.h"
#include "drive/key_script.h"
#include "drive/run_notes.h"
#include "drive/screen_shot.h"
#include "drive/start_image.h"
#include "drive/trace.h"
#include "sim/driver.h"
#include "tools/zqbox/media_table.h"

namespace {

// The page (tools/zqweb) runs this same program, under its own name.
#ifndef ZQ_FRONT_END
#define ZQ_FRONT_END "zqbox"
#endif
constexpr char kProgram[] = ZQ_FRONT_END;

struct Args {
  const char* image = nullptr;
  const char* root = nullptr;
  const char* start = nullptr;
  const char* media = nullptr;
  const char* script = nullptr;
  const char* trace = nullptr;
  const char* shots = "";
  const char* gb2uc = nullptr;
  const char* platform = nullptr;
  bool verbose = false;
};

bool ParseArgs(int argc, char** argv, Args* a) {
  struct Named {
    const char* flag;
    const char** into;
  } const named[] = {{"--image", &a->image}, {"--root", &a->root},     {"--start", &a->start},
                     {"--media", &a->media}, {"--script", &a->script}, {"--trace", &a->trace},
                     {"--shots", &a->shots}, {"--gb2uc", &a->gb2uc},   {"--platform", &a->platform}};
  for (int i = 1; i < argc; ++i) {
    if (drive::SameText(argv[i], "-v")) {
      a->verbose = true;
      continue;
    }
    bool known = false;
    for (const Named& n : named) {
      if (!drive::SameText(argv[i], n.flag) || i + 1 >= argc) continue;
      *n.into = argv[++i];
      known = true;
      break;
    }
    if (!known) return false;
  }
  return a->image != nullptr && a->root != nullptr && a->start != nullptr && a->media != nullptr;
}

void Say(const char* a, const char* b = "", const char* c = "") {
  drive::Text line(a);
  line.Append(b).Append(c);
  drive::Say(kProgram, line.CStr());
}

// The run once the phone is set up: the trace, the start, the steps.
int Run(const Args& a, const drive::Script* script) {
  // The trace file is made only once the run can start: a refused run
  // leaves no empty trace behind.
  drive::OutputFile file;
  if (a.trace != nullptr && !file.Open(a.trace)) {
    Say("cannot write the trace ", a.trace);
    return 1;
  }
  drive::Trace trace(a.trace != nullptr ? file.AsOutput() : drive::StandardOutput());
  drive::RunNotes notes(kProgram);
  trace.on_note = notes.Listener();
  trace.Attach();
  int status = 1;
  drive::Text error;
  if (!drive::StartImage(a.image, a.start, &error)) {
    Say(error.CStr());
  } else {
    drive::HeadlessRun run{kProgram, a.shots, drive::PngSaver()};
    status = drive::RunHeadless(run, script, &trace);
  }
  trace.Detach();
  if (sim::ImageLoaded()) sim::UnloadImage();
  sim::SetMediaProbe(nullptr, nullptr);
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  Args a;
  if (!ParseArgs(argc, argv, &a)) {
    Say("this program is started by ", kProgram, " (" ZQ_FRONT_END " --help)");
    return 2;
  }
  drive::Script script;
  if (a.script != nullptr && !drive::LoadScriptOrSay(kProgram, a.script, &script)) return 2;
  sim::Reset();
  if (!sim::SetRoot(a.root)) {
    Say("the stand-in cannot use ", a.root, " as its root folder");
    return 1;
  }
  zqbox::MediaTable media;
  drive::Text error;
  if (!media.Load(a.media, &error)) {
    Say(error.CStr());
    return 1;
  }
  media.Install(a.root, a.verbose, kProgram);
  // Without the table GB2312 lyrics cannot be read; the player reports that
  // itself, so a missing table is only a warning here.
  if (a.gb2uc != nullptr && !sim::InstallGb2ucFile(a.gb2uc))
    Say("no usable GB2312 table at ", a.gb2uc, "; GB2312 lyrics will not show");
  if (a.platform != nullptr && a.platform[0] != '\0') sim::SetPlatformName(a.platform);
  return Run(a, a.script != nullptr ? &script : nullptr);
}
