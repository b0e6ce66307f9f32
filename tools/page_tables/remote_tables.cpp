// Writes the remotes the browser's page offers, as JSON, from the host's own
// tables: each media application page's buttons with what they press (the
// key maps), the players' and utilities' names (the launch tables) and the
// page's own keys. The page is bundled with its output, so no table is kept
// twice across the language line.
//
//   remote_tables OUTPUT.json
#include <cctype>
#include <cstdint>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>

#include "browser/page_keys.h"
#include "launch/app_tables.h"
#include "media/key_map.h"
#include "platform/virtual_keys.h"
#include "protocol/buttons.h"

namespace {

using media::Action;
using media::ActionKind;

// The names of the keys the key maps press.
std::string KeyName(std::uint16_t key) {
  using namespace platform::vk;
  if (key >= D0 && key <= D9) return std::string(1, static_cast<char>('0' + key - D0));
  if (key >= F1 && key <= F12) return "F" + std::to_string(key - F1 + 1);
  if (key >= 'A' && key <= 'Z') return std::string(1, static_cast<char>(key));
  switch (key) {
    case Backspace: return "Backspace";
    case Tab: return "Tab";
    case Clear: return "Clear";
    case Enter: return "Enter";
    case Shift: return "Shift";
    case Ctrl: return "Ctrl";
    case Alt: return "Alt";
    case Esc: return "Esc";
    case Space: return "Space";
    case PgUp: return "Page Up";
    case PgDn: return "Page Down";
    case Left: return "Left";
    case Up: return "Up";
    case Right: return "Right";
    case Down: return "Down";
    case Del: return "Delete";
    case Win: return "Win";
    case NumMul: return "Num *";
    case NumAdd: return "Num +";
    case NumSub: return "Num -";
    case Period: return "Period";
    default: break;
  }
  std::cerr << "remote_tables: no name for the key 0x" << std::hex << key << "\n";
  std::exit(1);
}

// What a button is called on the remote.
std::string ButtonName(std::uint8_t code) {
  using namespace protocol::button;
  if (code >= Digit(0) && code <= Digit(9)) return std::to_string(code - kDigit0);
  if (code >= FunctionKey(1) && code <= FunctionKey(12)) return "F" + std::to_string(code - kEsc);
  if (code == kLaunch) return "Start";
  if (code == kOk) return "OK";
  for (const NamedButton& button : kNamed) {
    if (button.code != code) continue;
    std::string name = button.name;
    for (char& c : name) c = c == '-' ? ' ' : c;
    name[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(name[0])));
    return name;
  }
  return "";
}

// What the cell does, in words; empty for nothing.
std::string Does(const Action& action, const char* player) {
  switch (action.kind) {
    case ActionKind::Nothing: return "";
    case ActionKind::Key: return KeyName(action.k1);
    case ActionKind::Chord2: return KeyName(action.k1) + "+" + KeyName(action.k2);
    case ActionKind::Chord3:
      return KeyName(action.k1) + "+" + KeyName(action.k2) + "+" + KeyName(action.k3);
    case ActionKind::PlayerKey:
      return KeyName(action.k1) + " (player 9 or 10) or " + KeyName(action.k2);
    case ActionKind::Launch: return std::string("starts ") + player;
    case ActionKind::Close: return std::string("closes ") + player;
    case ActionKind::LaserOn: return "laser pointer on";
    case ActionKind::LaserOff: return "laser pointer off";
  }
  return "";
}

std::string Quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + "\"";
}

void Players(std::ostream& out) {
  out << "\"players\":[";
  bool first_page = true;
  for (const launch::PageApp& app : launch::PageApps()) {
    out << (first_page ? "" : ",") << "{\"page\":" << int(app.page)
        << ",\"name\":" << Quoted(app.name) << ",\"buttons\":[";
    first_page = false;
    bool first = true;
    for (int code = 0; code <= 0xFF; ++code) {
      const auto byte = static_cast<std::uint8_t>(code);
      const std::string does = Does(media::LookUpButton(app.page, byte), app.name);
      if (does.empty()) continue;
      out << (first ? "" : ",") << "[" << code << "," << Quoted(ButtonName(byte)) << ","
          << Quoted(does) << "]";
      first = false;
    }
    out << "]}";
  }
  out << "]";
}

void Utilities(std::ostream& out) {
  out << "\"utilities\":[";
  bool first = true;
  for (const launch::Utility& utility : launch::Utilities()) {
    out << (first ? "" : ",") << "{\"selector\":" << int(utility.selector)
        << ",\"name\":" << Quoted(utility.name) << "}";
    first = false;
  }
  out << "]";
}

void Keys(std::ostream& out) {
  out << "\"keys\":[";
  bool first = true;
  for (const browser::PageKey& key : browser::PageKeys()) {
    out << (first ? "" : ",") << "[" << Quoted(key.name) << "," << Quoted(key.label) << ","
        << Quoted(key.group) << "]";
    first = false;
  }
  out << "]";
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::cerr << "usage: remote_tables OUTPUT.json\n";
    return 2;
  }
  std::ostringstream json;
  json << "{";
  Players(json);
  json << ",";
  Utilities(json);
  json << ",";
  Keys(json);
  json << "}\n";
  std::ofstream file(argv[1], std::ios::binary);
  file << json.str();
  return file ? 0 : 1;
}
