#include "browser/page_keys.h"

#include "platform/virtual_keys.h"

namespace browser {
namespace {

using namespace platform::vk;

// clang-format off
constexpr PageKey kPageKeys[] = {
  // name            label            keys                     row
  {"Esc",            "Esc",           Esc,            0,       "Keys"},
  {"Tab",            "Tab",           Tab,            0,       "Keys"},
  {"Enter",          "Enter",         Enter,          0,       "Keys"},
  {"Backspace",      "\xE2\x8C\xAB",  Backspace,      0,       "Keys"},
  {"Left arrow",     "\xE2\x86\x90",  Left,           0,       "Keys"},
  {"Up arrow",       "\xE2\x86\x91",  Up,             0,       "Keys"},
  {"Right arrow",    "\xE2\x86\x92",  Right,          0,       "Keys"},
  {"Down arrow",     "\xE2\x86\x93",  Down,           0,       "Keys"},
  {"Windows key",    "\xE2\x8A\x9E",  Win,            0,       "Keys"},
  {"Alt+Tab",        "Alt+Tab",       Alt,            Tab,     "Keys"},
  {"Play/pause",     "Play",          MediaPlayPause, 0,       "Media"},
  {"Previous",       "Prev",          MediaPrevious,  0,       "Media"},
  {"Next",           "Next",          MediaNext,      0,       "Media"},
  {"Volume down",    "Vol \xE2\x88\x92", VolumeDown,  0,       "Media"},
  {"Volume up",      "Vol +",         VolumeUp,       0,       "Media"},
  {"Mute",           "Mute",          VolumeMute,     0,       "Media"},
};
// clang-format on

}  // namespace

std::span<const PageKey> PageKeys() { return kPageKeys; }

}  // namespace browser
