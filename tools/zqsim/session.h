// SPDX-License-Identifier: MIT
// One zqsim run's machine: the stand-in set up as a phone, with the image
// loaded and started on the first track.
#pragma once

#include <stdint.h>

#include <string>

#include "drive/headless.h"
#include "platform/audio.h"
#include "tools/zqsim/options.h"
#include "tools/zqsim/phone_fs.h"

namespace zqsim {

class Session {
 public:
  ~Session();

  // Resets the stand-in, builds the phone file system, installs the GB2312
  // table and the FFmpeg length probe, sets the platform name. False with a
  // reason when any of it fails; the caller reports it.
  bool Prepare(const Options& options, std::string* error);
  // After a failed prepare(): the fault lies in what was asked for (no such
  // image, file or folder, no track in the folder) rather than in the run.
  bool BadInput() const { return bad_input_; }

  // Loads the image and starts it with the start track's file identifier,
  // as the phone's loader would. Attach the trace before this, so that the
  // start itself is traced.
  bool Start(std::string* error);

  // Unloads the image if it is still loaded and removes the temporary files.
  void Finish();

  // Only removes the temporary files: for a run cut short by a signal, when
  // the stand-in may be in the middle of an event.
  void RemoveTempFiles() { RemovePhoneFs(&fs_); }

  const PhoneFs& Fs() const { return fs_; }
  uint8_t VolumeType() const { return volume_type_; }

 private:
  Options options_;
  PhoneFs fs_;
  std::string image_path_;
  uint8_t volume_type_ = AUD_VOLUME_TYPE_DEFAULT;
  bool prepared_ = false;
  bool bad_input_ = false;
};

// The image file for a name ("zq_player" or "zq_player.so") or a path.
std::string ImageFile(const Options& options);

// A headless run (drive/headless.h) as zqsim makes it.
drive::HeadlessRun HeadlessRun(const Options& options);

}  // namespace zqsim
