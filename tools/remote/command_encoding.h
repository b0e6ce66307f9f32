#pragma once
// What the remote-control client puts on the wire: one datagram per command.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace remote {

using Datagram = std::vector<std::uint8_t>;

Datagram ProbeDatagram();
bool IsProbeReply(const std::uint8_t* data, std::size_t size);

// Each returns nothing, with `error` set, when its words are not a command.
std::optional<Datagram> EncodeCommand(const std::vector<std::string>& words, std::string& error);
// Hex bytes, with or without blanks between them: "15 65 80", "156580", "0x15 0x65".
std::optional<Datagram> ParseHex(const std::vector<std::string>& words, std::string& error);
// A button of a media page by name ("play", "f5", "7", "laser-on") or as a hex code.
std::optional<std::uint8_t> ButtonCode(const std::string& word);
// The button names, for the usage text.
std::string ButtonNames();
// Every name ButtonCode knows, one per button: the named ones, 0..9, f1..f12.
std::vector<std::string> EveryButtonName();

}  // namespace remote
