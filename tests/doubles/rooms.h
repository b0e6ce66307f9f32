#pragma once
// Single rooms over the platform doubles they use, set up as the form sets
// them up at start-up: for tests of a room that do not need the whole form.
#include "input/input_sender.h"
#include "input/text_and_pointer.h"
#include "media/laser_companion.h"
#include "tests/doubles/fake_application.h"
#include "tests/doubles/fake_desktop.h"

namespace doubles {

// The input records, their send operations, text and the pointer.
struct InputRoom {
  FakeInput input;
  FakeClipboard clipboard;
  input::TInputSender Keyboard{input};
  input::TTextAndPointer TextAndPointer{input, clipboard, Keyboard};

  InputRoom() { Keyboard.InitInputRecords(); }
};

// The laser companion, started from the host's folder.
struct LaserRoom {
  FakeShell shell;
  FakeWindows windows;
  FakeProcesses processes;
  media::TLaserCompanion Laser{shell, windows, processes, "C:\\Program Files\\Mirovanta 2\\"};
};

}  // namespace doubles
