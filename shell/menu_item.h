#pragma once
// A menu item of the tray menu: caption, check mark and click handler. The
// tray shows them; the form sets their captions and marks.
#include <functional>
#include <string>
#include <vector>

namespace shell {

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

}  // namespace shell
