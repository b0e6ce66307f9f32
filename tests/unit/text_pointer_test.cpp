// Text entry through the clipboard, and the pointer commands, over the input room.
#include <gtest/gtest.h>

#include "platform/framework_error.h"
#include "input/clipboard_text.h"
#include "tests/doubles/rooms.h"
#include "tests/doubles/rooms.h"

namespace {

using Strings = std::vector<std::string>;

TEST(TextEntry, PutsTheTextOnTheClipboardThenSendsCtrlV) {
  doubles::InputRoom t;
  t.TextAndPointer.TypeText("ABC");
  EXPECT_EQ(t.clipboard.calls,
            (Strings{"Open", "Empty", "SetData Ansi", "SetData Unicode", "SetData 49153",
                     "SetData 49154", "SetData 49155", "Close"}));
  ASSERT_EQ(t.clipboard.data.size(), 5u);
  EXPECT_EQ(t.clipboard.data[0].bytes, std::string("ABC\0", 4));
  EXPECT_EQ(t.clipboard.data[1].bytes, std::string("A\0B\0C\0\0\0", 8)) << "UTF-16 with terminator";
  for (std::size_t i = 2; i < 5; ++i) {
    EXPECT_EQ(t.clipboard.data[i].bytes, std::string(4, '\0')) << "a DWORD 0";
  }
  EXPECT_EQ(t.clipboard.registered,
            (Strings{"ExcludeClipboardContentFromMonitorProcessing", "CanIncludeInClipboardHistory",
                     "CanUploadToCloudClipboard"}));
  ASSERT_EQ(t.input.calls.size(), 1u);
  EXPECT_EQ(t.input.calls[0][0].virtual_key, 0x11);
  EXPECT_EQ(t.input.calls[0][1].virtual_key, 0x56);
}

TEST(TextEntry, AnEmptyTextIsStillOneZeroByteAndAPaste) {
  doubles::InputRoom t;
  t.TextAndPointer.TypeText("");
  EXPECT_EQ(t.clipboard.data[0].bytes, std::string(1, '\0'));
  EXPECT_EQ(t.input.calls.size(), 1u);
}

TEST(Clipboard, RetriesABusyClipboardAFewTimesWithPausesBetween) {
  doubles::FakeClipboard system;
  system.busy_for = 4;
  std::vector<std::chrono::milliseconds> pauses;
  input::TClipboard clipboard(system, [&](std::chrono::milliseconds p) { pauses.push_back(p); });
  clipboard.SetAsText("x");
  EXPECT_EQ(pauses.size(), 4u);
  for (auto pause : pauses) EXPECT_EQ(pause, std::chrono::milliseconds(10));
  EXPECT_EQ(system.data[0].bytes, std::string("x\0", 2));
}

TEST(Clipboard, GivesUpAfterTenTriesWithTheFrameworkMessage) {
  doubles::FakeClipboard system;
  system.busy_for = 1000;
  int pauses = 0;
  input::TClipboard clipboard(system, [&](std::chrono::milliseconds) { ++pauses; });
  try {
    clipboard.SetAsText("secret");
    FAIL() << "the clipboard was never opened";
  } catch (const platform::EFrameworkError& error) {
    EXPECT_STREQ(error.what(), "Cannot open clipboard");
  }
  EXPECT_EQ(std::count(system.calls.begin(), system.calls.end(), "Open"), 10);
  EXPECT_EQ(pauses, 9) << "no pause after the last try";
  EXPECT_TRUE(system.data.empty());
}

TEST(TextEntry, ABusyClipboardEndsTheCommandWithoutCtrlV) {
  doubles::InputRoom t;
  t.clipboard.busy_for = 1000;
  EXPECT_THROW(t.TextAndPointer.TypeText("x"), platform::EFrameworkError);
  EXPECT_TRUE(t.input.calls.empty());
}

TEST(Pointer, MovesRelativeToTheCurrentPositionWithSignedSteps) {
  doubles::InputRoom t;
  t.input.position = {500, 400};
  t.TextAndPointer.MovePointer(-1, -128);
  t.TextAndPointer.MovePointer(127, 127);
  ASSERT_EQ(t.input.set_positions.size(), 2u);
  EXPECT_EQ(t.input.set_positions[0].x, 499);
  EXPECT_EQ(t.input.set_positions[0].y, 272);
  EXPECT_EQ(t.input.set_positions[1].x, 626);
  EXPECT_EQ(t.input.set_positions[1].y, 399);
  EXPECT_TRUE(t.input.calls.empty()) << "no synthetic mouse-move event";
}

TEST(Pointer, AnUnreadablePositionMovesOnFromTheLastKnownOne) {
  doubles::InputRoom t;
  t.input.position = {10, 10};
  t.TextAndPointer.MovePointer(5, 5);
  t.input.cursor_readable = false;
  t.input.position = {900, 900};
  t.TextAndPointer.MovePointer(5, 5);
  EXPECT_EQ(t.input.set_positions.back().x, 20);
  EXPECT_EQ(t.input.set_positions.back().y, 20);
  EXPECT_EQ(t.TextAndPointer.CursorPos.x, 20);
}

TEST(Pointer, MovesWithAnUnreadablePositionStayOnTheVirtualScreen) {
  doubles::InputRoom t;
  t.input.screen = {-1280, -200, 1920, 1080};  // a monitor left of the primary one
  t.input.cursor_readable = false;
  for (int i = 0; i < 100000; ++i) t.TextAndPointer.MovePointer(127, 127);
  EXPECT_EQ(t.input.set_positions.back().x, 1919);
  EXPECT_EQ(t.input.set_positions.back().y, 1079);
  for (int i = 0; i < 100000; ++i) t.TextAndPointer.MovePointer(-128, -128);
  EXPECT_EQ(t.input.set_positions.back().x, -1280);
  EXPECT_EQ(t.input.set_positions.back().y, -200);
  t.TextAndPointer.MovePointer(10, 3);
  EXPECT_EQ(t.input.set_positions.back().x, -1270) << "moves go on from the edge";
  EXPECT_EQ(t.input.set_positions.back().y, -197);
}

}  // namespace
