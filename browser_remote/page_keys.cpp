#include "browser_remote/page_keys.h"

#include "input/virtual_keys.h"

namespace browser_remote {
namespace {

using browser::PageKey;
using namespace input::vk;

struct Row {
  PageKey key;
  PageKeyAction action;
};

// In the order of the page's key numbers.
constexpr Row kPageKeys[] = {
    {PageKey::Esc, {Esc}},
    {PageKey::Tab, {Tab}},
    {PageKey::Enter, {Enter}},
    {PageKey::Backspace, {Backspace}},
    {PageKey::Left, {Left}},
    {PageKey::Up, {Up}},
    {PageKey::Right, {Right}},
    {PageKey::Down, {Down}},
    {PageKey::Windows, {Win}},
    {PageKey::AltTab, {Alt, Tab}},
    {PageKey::PlayPause, {MediaPlayPause}},
    {PageKey::Previous, {MediaPrevious}},
    {PageKey::Next, {MediaNext}},
    {PageKey::VolumeDown, {VolumeDown}},
    {PageKey::VolumeUp, {VolumeUp}},
    {PageKey::Mute, {VolumeMute}},
};
static_assert(std::size(kPageKeys) == browser::kPageKeyCount);

}  // namespace

PageKeyAction ActionOf(PageKey key) {
  for (const Row& row : kPageKeys) {
    if (row.key == key) return row.action;
  }
  return {};
}

}  // namespace browser_remote
