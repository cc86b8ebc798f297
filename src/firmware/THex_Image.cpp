#include "firmware/THex_Image.h"

#include "firmware/Hex_Digits.h"
#include "platform/Hex_Text.h"
#include "platform/Printable_Text.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <optional>

namespace {
// Far more than the text of the largest STM32F1 flash (1 MiB) takes.
constexpr std::size_t MAX_FILE_SIZE = 16 * 1024 * 1024;

enum THex_Record : std::uint8_t {
  HEX_DATA = 0x00,
  HEX_END_OF_FILE = 0x01,
  HEX_EXTENDED_SEGMENT_ADDRESS = 0x02,
  HEX_START_SEGMENT_ADDRESS = 0x03,
  HEX_EXTENDED_LINEAR_ADDRESS = 0x04,
  HEX_START_LINEAR_ADDRESS = 0x05,
};
}  // namespace

std::string THex_Problem::Text() const {
  return Line ? "line " + std::to_string(Line) + ": " + What : What;
}

// Reads one record after another and places their data.
class THex_Reader {
public:
  THex_Reader(THex_Image& image, TFlash_Range flash) : Image_(image), Flash_(flash) {}

  // An empty optional when the line is good.
  std::optional<std::string> Record(std::string_view line);
  bool Ended() const { return Ended_; }

private:
  std::optional<std::string> Decode(std::string_view line, std::vector<std::uint8_t>& bytes) const;
  std::optional<std::string> Place(std::uint16_t offset, const std::uint8_t* data, std::size_t count);
  std::optional<std::string> Place_Run(std::uint32_t address, const std::uint8_t* data, std::size_t count);

  THex_Image& Image_;
  TFlash_Range Flash_;
  std::uint32_t Linear_Base_ = 0;   // from an extended linear address record
  std::uint32_t Segment_Base_ = 0;  // from an extended segment address record
  bool Ended_ = false;
};

std::optional<std::string> THex_Reader::Decode(std::string_view line, std::vector<std::uint8_t>& bytes) const {
  if (line.front() != ':') return "no start mark ':'";
  const std::string_view digits = line.substr(1);
  if (digits.size() % 2 != 0) return "odd number of hex digits";
  for (std::size_t i = 0; i < digits.size(); ++i)
    if (Hex_Digit(digits[i]) == HEX_NOT_A_DIGIT) return "invalid hex digit '" + Printable_Text(digits.substr(i, 1)) + "'";
  for (std::size_t i = 0; i < digits.size(); i += 2) bytes.push_back(Hex_Byte(digits.substr(i, 2)));
  if (bytes.size() < 5) return "record too short";
  const std::size_t count = bytes[0];
  if (bytes.size() != count + 5)
    return "byte count " + std::to_string(count) + " but " + std::to_string(bytes.size() - 5) + " data bytes";
  std::uint8_t sum = 0;
  for (std::uint8_t byte : bytes) sum = static_cast<std::uint8_t>(sum + byte);
  if (sum != 0) return "checksum mismatch";
  return std::nullopt;
}

std::optional<std::string> THex_Reader::Record(std::string_view line) {
  if (Ended_) return "data after the end-of-file record";
  std::vector<std::uint8_t> bytes;
  if (auto problem = Decode(line, bytes)) return problem;
  const std::size_t count = bytes[0];
  const auto offset = static_cast<std::uint16_t>(bytes[1] << 8 | bytes[2]);
  const std::uint8_t* data = bytes.data() + 4;
  auto needs = [&](std::size_t expected, const char* what) -> std::optional<std::string> {
    if (count == expected) return std::nullopt;
    return std::string(what) + " record with " + std::to_string(count) + " data bytes instead of " +
           std::to_string(expected);
  };
  switch (bytes[3]) {
    case HEX_DATA:
      return Place(offset, data, count);
    case HEX_END_OF_FILE:
      Ended_ = true;
      return needs(0, "end-of-file");
    case HEX_EXTENDED_SEGMENT_ADDRESS:
      if (auto problem = needs(2, "extended segment address")) return problem;
      Segment_Base_ = std::uint32_t(data[0] << 8 | data[1]) << 4;
      Linear_Base_ = 0;
      return std::nullopt;
    case HEX_EXTENDED_LINEAR_ADDRESS:
      if (auto problem = needs(2, "extended linear address")) return problem;
      Linear_Base_ = std::uint32_t(data[0] << 8 | data[1]) << 16;
      Segment_Base_ = 0;
      return std::nullopt;
    case HEX_START_SEGMENT_ADDRESS:
      return needs(4, "start segment address");
    case HEX_START_LINEAR_ADDRESS:
      return needs(4, "start linear address");
    default:
      return "record type " + Hex_Text(bytes[3], 2) + " is not an Intel-HEX record type";
  }
}

// Under a segment address the offset wraps within its 64 KiB; under a linear address it does not.
std::optional<std::string> THex_Reader::Place(std::uint16_t offset, const std::uint8_t* data, std::size_t count) {
  if (Segment_Base_ == 0 || offset + count <= 0x10000) return Place_Run(Linear_Base_ + Segment_Base_ + offset, data, count);
  const std::size_t first_part = 0x10000 - offset;
  if (auto problem = Place_Run(Segment_Base_ + offset, data, first_part)) return problem;
  return Place_Run(Segment_Base_, data + first_part, count - first_part);
}

std::optional<std::string> THex_Reader::Place_Run(std::uint32_t address, const std::uint8_t* data, std::size_t count) {
  if (count == 0) return std::nullopt;
  const std::uint64_t end = std::uint64_t{address} + count;
  if (address < Flash_.First || end > Flash_.End)
    return "data at " + Hex_Address(address) + " to " + Hex_Address(static_cast<std::uint32_t>(end - 1)) +
           " lie outside the flash, " + Hex_Address(Flash_.First) + " to " + Hex_Address(Flash_.End - 1);
  auto& runs = Image_.Runs_;
  auto after = runs.upper_bound(address);
  if (after != runs.end() && after->first < end) return "data at " + Hex_Address(after->first) + " given twice";
  if (after != runs.begin()) {
    auto before = std::prev(after);
    const std::uint64_t before_end = before->first + std::uint64_t{before->second.size()};
    if (before_end > address) return "data at " + Hex_Address(address) + " given twice";
    if (before_end == address) {
      before->second.insert(before->second.end(), data, data + count);
      Image_.Data_Size_ += count;
      return std::nullopt;
    }
  }
  runs.emplace(address, std::vector<std::uint8_t>(data, data + count));
  Image_.Data_Size_ += count;
  return std::nullopt;
}

std::variant<THex_Image, THex_Problem> THex_Image::Parse(std::string_view text, TFlash_Range flash) {
  THex_Image image;
  THex_Reader reader(image, flash);
  std::size_t line_number = 0;
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    ++line_number;
    while (!line.empty() && (line.back() == '\r' || line.back() == ' ' || line.back() == '\t')) line.remove_suffix(1);
    if (line.empty()) continue;
    if (auto problem = reader.Record(line)) return THex_Problem{line_number, *problem};
  }
  if (!reader.Ended()) return THex_Problem{line_number + 1, "no end-of-file record"};
  if (image.Data_Size_ == 0) return THex_Problem{0, "the file holds no data"};
  return image;
}

std::variant<THex_Image, THex_Problem> THex_Image::Read_File(const std::string& path, TFlash_Range flash) {
  const auto text = Read_Text(path);
  if (const auto* problem = std::get_if<THex_Problem>(&text)) return *problem;
  return Parse(std::get<std::string>(text), flash);
}

std::variant<std::string, THex_Problem> THex_Image::Read_Text(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "rb");
  if (!file) return THex_Problem{0, "cannot open " + path + ": " + std::strerror(errno)};
  std::string text;
  char buffer[65536];
  while (text.size() <= MAX_FILE_SIZE) {
    const std::size_t got = std::fread(buffer, 1, sizeof buffer, file);
    if (got == 0) break;
    text.append(buffer, got);
  }
  const int error = std::ferror(file) ? errno : 0;
  std::fclose(file);
  if (error) return THex_Problem{0, "cannot read " + path + ": " + std::strerror(error)};
  if (text.size() > MAX_FILE_SIZE) return THex_Problem{0, path + " is too large for a firmware image (over 16 MiB)"};
  return text;
}

std::uint32_t THex_Image::First_Address() const { return Runs_.begin()->first; }

std::uint32_t THex_Image::End_Address() const {
  const auto& last = *Runs_.rbegin();
  return last.first + static_cast<std::uint32_t>(last.second.size());
}

std::size_t THex_Image::Data_Size() const { return Data_Size_; }

std::vector<TFlash_Range> THex_Image::Ranges() const {
  std::vector<TFlash_Range> ranges;
  for (const auto& [first, bytes] : Runs_) ranges.push_back({first, first + static_cast<std::uint32_t>(bytes.size())});
  return ranges;
}

bool THex_Image::Holds_Data(std::uint32_t address, std::size_t count) const {
  const std::uint64_t end = std::uint64_t{address} + count;
  auto run = Runs_.upper_bound(address);
  if (run != Runs_.end() && run->first < end) return true;
  if (run == Runs_.begin()) return false;
  --run;
  return run->first + std::uint64_t{run->second.size()} > address;
}

void THex_Image::Copy(std::uint32_t address, std::uint8_t* out, std::size_t count) const {
  std::fill(out, out + count, 0xFF);
  const std::uint64_t end = std::uint64_t{address} + count;
  auto run = Runs_.upper_bound(address);
  if (run != Runs_.begin()) --run;
  for (; run != Runs_.end() && run->first < end; ++run) {
    const std::uint64_t run_end = run->first + std::uint64_t{run->second.size()};
    const std::uint64_t from = std::max<std::uint64_t>(address, run->first);
    const std::uint64_t to = std::min(end, run_end);
    if (from < to) std::copy(run->second.begin() + (from - run->first), run->second.begin() + (to - run->first), out + (from - address));
  }
}
