#include "cli/Vector_Table.h"

#include "cli/Cli_Text.h"
#include "platform/Hex_Text.h"

namespace {
std::uint32_t Word_At(const std::uint8_t* bytes) {
  return std::uint32_t{bytes[0]} | std::uint32_t{bytes[1]} << 8 | std::uint32_t{bytes[2]} << 16 |
         std::uint32_t{bytes[3]} << 24;
}
}  // namespace

TVector_Table Read_Vector_Table(const std::uint8_t* words, const TSTM32_Family& family) {
  TVector_Table table{Word_At(words), Word_At(words + 4), {}};
  const std::uint32_t handler = table.Reset_Handler & ~1u;
  if (table.Stack_Pointer < family.RAM_S || table.Stack_Pointer > family.RAM_F)
    table.Problem = "the stack pointer " + Hex_Address(table.Stack_Pointer) + " lies outside its RAM " +
                    Hex_Address(family.RAM_S) + "-" + Hex_Address(family.RAM_F);
  else if (handler < F1_FLASH_START || handler >= family.Flash_F)
    table.Problem = "the reset handler " + Hex_Address(table.Reset_Handler) + " lies outside its flash " +
                    Hex_Address(F1_FLASH_START) + "-" + Hex_Address(family.Flash_F);
  else if ((table.Reset_Handler & 1u) == 0)
    table.Problem = "the reset handler " + Hex_Address(table.Reset_Handler) + " has no Thumb bit";
  return table;
}
