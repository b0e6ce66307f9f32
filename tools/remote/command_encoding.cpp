#include "tools/remote/command_encoding.h"

#include <array>
#include <cctype>
#include <cstdlib>

#include "protocol/buttons.h"
#include "protocol/wire_format.h"

namespace remote {
namespace {

using namespace protocol::wire;

using protocol::button::kNamed;

std::string Lower(std::string text) {
  for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return text;
}

std::optional<long> Number(const std::string& word, long low, long high) {
  if (word.empty()) return std::nullopt;
  char* end = nullptr;
  long value = std::strtol(word.c_str(), &end, 0);
  if (*end != 0 || value < low || value > high) return std::nullopt;
  return value;
}

Datagram Frame(std::uint8_t group, std::uint8_t selector, std::vector<std::uint8_t> data) {
  Datagram datagram(kDataOffset + data.size());
  datagram[0] = kHeader1;
  datagram[1] = kHeader2;
  datagram[kGroupOffset] = group;
  datagram[kSelectorOffset] = selector;
  for (std::size_t i = 0; i < data.size(); ++i) datagram[kDataOffset + i] = data[i];
  return datagram;
}

std::optional<Datagram> Fail(std::string& error, const std::string& text) {
  error = text;
  return std::nullopt;
}

std::optional<Datagram> PageCommand(const std::vector<std::string>& words, std::string& error) {
  if (words.size() != 3) return Fail(error, "page takes a page number and a button");
  auto page = Number(words[1], kFirstPage, kLastPage);
  if (!page) return Fail(error, "page number must be 1 to 8: " + words[1]);
  auto code = ButtonCode(words[2]);
  if (!code) return Fail(error, "unknown button: " + words[2]);
  return Frame(kGroupMediaPage, static_cast<std::uint8_t>(*page), {*code});
}

std::optional<Datagram> TypeCommand(const std::vector<std::string>& words, std::string& error) {
  if (words.size() < 2) return Fail(error, "type takes the text to type");
  std::string text = words[1];
  for (std::size_t i = 2; i < words.size(); ++i) text += " " + words[i];
  if (text.size() > kLongestText) {
    return Fail(error, "text longer than " + std::to_string(kLongestText) + " bytes does not fit");
  }
  // An empty text still needs a data byte: the shortest command is five bytes.
  if (text.empty()) text.push_back('\0');
  return Frame(kGroupText, 0, std::vector<std::uint8_t>(text.begin(), text.end()));
}

std::optional<Datagram> MoveCommand(const std::vector<std::string>& words, std::string& error) {
  if (words.size() != 3) return Fail(error, "move takes DX and DY");
  auto dx = Number(words[1], -128, 127);
  auto dy = Number(words[2], -128, 127);
  if (!dx || !dy) return Fail(error, "DX and DY must be -128 to 127");
  return Frame(kGroupPointer, kPointerMove,
               {static_cast<std::uint8_t>(*dx), static_cast<std::uint8_t>(*dy)});
}

std::optional<Datagram> ClickCommand(const std::vector<std::string>& words, std::string& error) {
  if (words.size() == 2 && Lower(words[1]) == "left")
    return Frame(kGroupPointer, kPointerLeftClick, {0});
  if (words.size() == 2 && Lower(words[1]) == "right")
    return Frame(kGroupPointer, kPointerRightClick, {0});
  return Fail(error, "click takes left or right");
}

std::optional<Datagram> WheelCommand(const std::vector<std::string>& words, std::string& error) {
  // Toward the user scrolls the page down.
  if (words.size() == 2 && Lower(words[1]) == "down") {
    return Frame(kGroupPointer, kPointerWheel, {0, kWheelTowardUser});
  }
  if (words.size() == 2 && Lower(words[1]) == "up") {
    return Frame(kGroupPointer, kPointerWheel, {0, kWheelAwayFromUser});
  }
  return Fail(error, "wheel takes up or down");
}

std::optional<Datagram> UtilityCommand(const std::vector<std::string>& words, std::string& error) {
  if (words.size() != 3) return Fail(error, "utility takes a number and launch or close");
  auto selector = Number(words[1], kFirstUtility, kLastUtility);
  if (!selector) return Fail(error, "utility number must be 1 to 4: " + words[1]);
  std::string action = Lower(words[2]);
  if (action != "launch" && action != "close")
    return Fail(error, "utility action: launch or close");
  return Frame(kGroupUtility, static_cast<std::uint8_t>(*selector),
               {action == "launch" ? kUtilityLaunch : kUtilityClose});
}

}  // namespace

Datagram ProbeDatagram() { return {kHeader1, kHeader2, kProbeMarker}; }

bool IsProbeReply(const std::uint8_t* data, std::size_t size) {
  return size == kProbeLength && data[0] == kHeader1 && data[1] == kHeader2 &&
         data[kGroupOffset] == kReplyMarker;
}

std::optional<std::uint8_t> ButtonCode(const std::string& word) {
  std::string name = Lower(word);
  for (const protocol::button::NamedButton& button : kNamed) {
    if (name == button.name) return button.code;
  }
  if (name.size() == 1 && name[0] >= '0' && name[0] <= '9') {
    return protocol::button::Digit(name[0] - '0');
  }
  if (name.size() >= 2 && name[0] == 'f') {
    if (auto n = Number(name.substr(1), 1, 12);
        n && std::isdigit(static_cast<unsigned char>(name[1]))) {
      return protocol::button::FunctionKey(*n);
    }
  }
  if (name.rfind("0x", 0) == 0) {
    if (auto n = Number(name, 0, 255)) return static_cast<std::uint8_t>(*n);
  }
  return std::nullopt;
}

std::vector<std::string> EveryButtonName() {
  std::vector<std::string> names;
  for (const protocol::button::NamedButton& button : kNamed) names.emplace_back(button.name);
  for (char digit = '0'; digit <= '9'; ++digit) names.emplace_back(1, digit);
  for (int key = 1; key <= 12; ++key) {
    std::string name(1, 'f');  // appended, not concatenated: GCC 12 warns falsely on the sum
    name += std::to_string(key);
    names.push_back(name);
  }
  return names;
}

std::string ButtonNames() {
  std::string names;
  for (const protocol::button::NamedButton& button : kNamed)
    names += std::string(button.name) + " ";
  return names + "0..9 f1..f12 0xNN";
}

std::optional<Datagram> ParseHex(const std::vector<std::string>& words, std::string& error) {
  // Bytes may come as separate words or inside one quoted word, with blanks.
  std::vector<std::string> parts;
  for (const std::string& word : words) {
    std::string part;
    for (char c : word + " ") {
      if (std::isspace(static_cast<unsigned char>(c))) {
        if (!part.empty()) parts.push_back(part);
        part.clear();
      } else {
        part += c;
      }
    }
  }
  std::string digits;
  for (std::string part : parts) {
    part = Lower(part);
    if (part.rfind("0x", 0) == 0) part = part.substr(2);
    if (part.size() % 2 != 0) part = "0" + part;
    digits += part;
  }
  Datagram datagram(digits.size() / 2);
  for (std::size_t i = 0; i < digits.size(); i += 2) {
    if (!std::isxdigit(static_cast<unsigned char>(digits[i])) ||
        !std::isxdigit(static_cast<unsigned char>(digits[i + 1]))) {
      return Fail(error, "not a hex byte: " + digits.substr(i, 2));
    }
    datagram[i / 2] = static_cast<std::uint8_t>(std::stoi(digits.substr(i, 2), nullptr, 16));
  }
  return datagram;
}

std::optional<Datagram> EncodeCommand(const std::vector<std::string>& words, std::string& error) {
  if (words.empty()) return Fail(error, "no command");
  const std::string verb = Lower(words[0]);
  if (verb == "page") return PageCommand(words, error);
  if (verb == "type") return TypeCommand(words, error);
  if (verb == "move") return MoveCommand(words, error);
  if (verb == "click") return ClickCommand(words, error);
  if (verb == "wheel") return WheelCommand(words, error);
  if (verb == "utility") return UtilityCommand(words, error);
  if (verb == "send") return ParseHex({words.begin() + 1, words.end()}, error);
  return Fail(error, "unknown command: " + words[0]);
}

}  // namespace remote
