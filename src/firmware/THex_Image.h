// A firmware image read strictly from Intel-HEX text: every record is checked before anything is
// sent to the chip, and the data are placed by their addresses.
#pragma once

#include "firmware/TFlash_Range.h"

#include <cstdint>
#include <map>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

// What is wrong with a file, and on which line (counted from 1; 0 when no line is to blame).
struct THex_Problem {
  std::size_t Line;
  std::string What;
  std::string Text() const;  // "line 12: checksum mismatch"
};

class THex_Image {
public:
  // Data, extended linear (04) and segment (02) addresses, start addresses (03, 05, ignored) and
  // one end-of-file record; every data byte inside `flash`, none placed twice.
  static std::variant<THex_Image, THex_Problem> Parse(std::string_view text, TFlash_Range flash);
  static std::variant<THex_Image, THex_Problem> Read_File(const std::string& path, TFlash_Range flash);
  // The file's text as Read_File reads it, for parsing later.
  static std::variant<std::string, THex_Problem> Read_Text(const std::string& path);

  std::uint32_t First_Address() const;  // of the lowest data byte
  std::uint32_t End_Address() const;    // one past the highest data byte
  std::size_t Data_Size() const;        // number of data bytes
  // The contiguous runs of data, in address order.
  std::vector<TFlash_Range> Ranges() const;
  // Whether the file gives any byte from `address` to `address` + `count`.
  bool Holds_Data(std::uint32_t address, std::size_t count) const;
  // The bytes from `address` on, 0xFF where the file holds none.
  void Copy(std::uint32_t address, std::uint8_t* out, std::size_t count) const;

private:
  THex_Image() = default;
  std::map<std::uint32_t, std::vector<std::uint8_t>> Runs_;  // contiguous data by first address
  std::size_t Data_Size_ = 0;
  friend class THex_Reader;
};
