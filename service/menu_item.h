#pragma once
// A row of the tray menu: caption, check mark and click handler. Each
// capability owns its rows and draws their captions and marks from its own
// state; the shell places them in the menu and shows it.
#include <functional>
#include <string>
#include <vector>

namespace service {

struct TMenuItem {
  TMenuItem() = default;
  explicit TMenuItem(std::string caption, bool checked = false, bool auto_check = false)
      : Caption(std::move(caption)), Checked(checked), AutoCheck(auto_check) {}

  std::string Caption;
  bool Checked = false;
  bool AutoCheck = false;  // the menu flips the mark itself before OnClick runs
  bool Enabled = true;
  std::vector<TMenuItem> Items;  // a submenu when not empty
  std::function<void()> OnClick;
};

}  // namespace service
