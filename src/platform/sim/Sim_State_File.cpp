#include "platform/sim/Sim_State_File.h"

#include "platform/Hex_Text.h"
#include "platform/Printable_Text.h"
#include "platform/TAtomic_File.h"
#include "platform/sim/TSim_Bus.h"
#include "platform/sim/TSim_Memory.h"

#include <algorithm>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {
constexpr const char* HEADER = "yeli-sim board state 1";
constexpr const char* PID_PROGRAMMED = "pid-programmed";  // a one-time-programmable bridge took its id
constexpr const char* BOARD = "board";  // begins the section of the second board and of each later one
constexpr std::uint32_t ROW = 32;

// A whole hexadecimal number of at most `digits` digits.
std::optional<std::uint32_t> Parse_Hex(const std::string& text, std::size_t digits) {
  if (text.empty() || text.size() > digits ||
      !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isxdigit(c); }))
    return std::nullopt;
  return static_cast<std::uint32_t>(std::stoul(text, nullptr, 16));
}

std::optional<std::uint32_t> Parse_Decimal(const std::string& text, std::uint32_t max) {
  if (text.empty() || text.size() > 5 ||
      !std::all_of(text.begin(), text.end(), [](unsigned char c) { return std::isdigit(c); }))
    return std::nullopt;
  const auto value = static_cast<std::uint32_t>(std::stoul(text));
  if (value > max) return std::nullopt;
  return value;
}

void Write_State(std::ostream& out, const TSim_Persistent_State& state) {
  out << "pid " << Hex_Text(state.Pid, 4) << '\n';
  if (state.Pid_Programmed) out << PID_PROGRAMMED << '\n';
  for (const auto& [id, value] : state.Settings) out << "setting " << int{id} << ' ' << value << '\n';
  for (std::uint32_t offset = 0; offset < state.Flash.size(); offset += ROW) {
    const auto first = state.Flash.begin() + offset, last = first + std::min<std::size_t>(ROW, state.Flash.size() - offset);
    if (std::all_of(first, last, [](std::uint8_t b) { return b == SIM_ERASED; })) continue;
    out << "flash " << Hex_Text(SIM_FLASH_START + offset, 8) << ' ';
    for (auto byte = first; byte != last; ++byte) out << Hex_Text(*byte, 2);
    out << '\n';
  }
}

// A board's state before its section is read: its flash erased, its id not yet spent.
void Begin_Section(TSim_Persistent_State& state) {
  state.Flash.assign(SIM_FLASH_SIZE, SIM_ERASED);
  state.Pid_Programmed = false;
}

// One line of a board's section; returns what is wrong with it, or an empty text.
std::string Read_Line(const std::string& line, TSim_Persistent_State& state, bool& has_pid) {
  std::istringstream words(line);
  std::string key, first, second, extra;
  words >> key >> first >> second >> extra;
  if (!extra.empty()) return "too many words";
  if (key == "pid") {
    const auto pid = Parse_Hex(first, 4);
    if (!pid || !second.empty()) return "'pid' needs a product id of up to four hexadecimal digits";
    state.Pid = static_cast<std::uint16_t>(*pid);
    has_pid = true;
  } else if (key == PID_PROGRAMMED) {
    if (!first.empty()) return "'" + key + "' takes nothing after it";
    state.Pid_Programmed = true;
  } else if (key == "setting") {
    const auto id = Parse_Decimal(first, 255), value = Parse_Decimal(second, 65535);
    if (!id || !value) return "'setting' needs a parameter id and a value from 0 to 65535";
    if (!state.Settings.contains(static_cast<std::uint8_t>(*id))) return "parameter " + first + " is no setting";
    state.Settings[static_cast<std::uint8_t>(*id)] = static_cast<std::uint16_t>(*value);
  } else if (key == "flash") {
    const auto address = Parse_Hex(first, 8);
    const std::size_t count = second.size() / 2;
    const auto bytes_valid = second.size() % 2 == 0 && count >= 1 && count <= ROW &&
                             std::all_of(second.begin(), second.end(), [](unsigned char c) { return std::isxdigit(c); });
    if (!address || !bytes_valid) return "'flash' needs an address and 1 to 32 bytes in hexadecimal";
    if (*address < SIM_FLASH_START || *address - SIM_FLASH_START + count > state.Flash.size())
      return "the row does not lie within flash";
    for (std::size_t i = 0; i < count; ++i)
      state.Flash[*address - SIM_FLASH_START + i] = static_cast<std::uint8_t>(std::stoul(second.substr(2 * i, 2), nullptr, 16));
  } else {
    return "unknown entry '" + Printable_Text(key) + "'";
  }
  return {};
}
}  // namespace

std::string Save_Board_States(const std::filesystem::path& file, std::span<const TSim_Persistent_State> states) {
  std::ostringstream text;
  text << HEADER << '\n';
  for (std::size_t board = 0; board < states.size(); ++board) {
    if (board > 0) text << BOARD << ' ' << board + 1 << '\n';
    Write_State(text, states[board]);
  }
  const std::string bytes = text.str();
  const int error =
      TAtomic_File::Replace(file, {reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size()});
  if (!error) return {};
  return "cannot write " + file.string() + ": " + std::strerror(error);
}

std::string Load_Board_States(const std::filesystem::path& file, std::vector<TSim_Persistent_State>& states) {
  std::ifstream in(file);
  if (!in) return "cannot read " + file.string();
  std::string line;
  if (!std::getline(in, line) || line != HEADER) return file.string() + ":1: not a board state file";
  const auto no_pid = [&](std::size_t board) {
    return file.string() + ": no 'pid' line" + (board > 0 ? " for board " + std::to_string(board + 1) : "");
  };
  std::size_t board = 0;
  bool has_pid = false;
  Begin_Section(states.at(board));
  for (int number = 2; std::getline(in, line); ++number) {
    if (line.empty()) continue;
    const std::string place = file.string() + ":" + std::to_string(number) + ": ";
    if (line == BOARD || line.starts_with(std::string(BOARD) + " ")) {
      const std::string next = std::string(BOARD) + " " + std::to_string(board + 2);
      if (line != next) return place + "the next section must be '" + next + "'";
      if (board + 1 == SIM_MAX_BOARDS) return place + "more than " + std::to_string(SIM_MAX_BOARDS) + " boards";
      if (!has_pid) return no_pid(board);
      if (++board == states.size()) states.push_back({0, {}, Factory_Settings()});
      Begin_Section(states[board]);
      has_pid = false;
      continue;
    }
    if (const std::string problem = Read_Line(line, states[board], has_pid); !problem.empty()) return place + problem;
  }
  if (!has_pid) return no_pid(board);
  return {};
}
