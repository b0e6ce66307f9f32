#pragma once
// A remote command's ask as a short line of text, for tables of cases.
#include <string>
#include <variant>

#include "service/remote_command.h"

namespace doubles {

inline std::string Words(const service::Ask& ask) {
  using namespace service;
  struct Say {
    std::string operator()(const Nothing&) const { return ""; }
    std::string operator()(const KeyPress& k) const {
      return "key " + std::to_string(k.first) + (k.second ? "+" + std::to_string(k.second) : "");
    }
    std::string operator()(const PageButton& b) const {
      return "page " + std::to_string(b.page) + " code " + std::to_string(b.code);
    }
    std::string operator()(const PointerMove& m) const {
      return "move " + std::to_string(m.dx) + " " + std::to_string(m.dy);
    }
    std::string operator()(const ButtonClick& c) const {
      return c.right ? "right click" : "left click";
    }
    std::string operator()(const ButtonPress& p) const {
      return std::string(p.right ? "right " : "left ") + (p.down ? "down" : "up");
    }
    std::string operator()(const WheelTurn& w) const {
      if (w.notches == -1) return "wheel toward";
      if (w.notches == 1) return "wheel away";
      return "wheel " + std::to_string(w.notches);
    }
    std::string operator()(const TextToType& t) const {
      return std::string(t.utf8 ? "type utf-8 \"" : "type \"") + t.text + "\"";
    }
    std::string operator()(const UtilityAction& u) const {
      return (u.launch ? "launch utility " : "close utility ") + std::to_string(u.selector);
    }
    std::string operator()(const LaserSwitch& l) const { return l.on ? "laser on" : "laser off"; }
  };
  return std::visit(Say{}, ask);
}

}  // namespace doubles
