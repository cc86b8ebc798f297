#include "firmware/TSTM32.h"

#include "firmware/AN3155.h"
#include "firmware/Boot_Waits.h"
#include "firmware/STM32F1_Families.h"
#include "platform/Hex_Text.h"

#include <algorithm>
#include <chrono>

namespace {
// The bootloader's frame: start bit, 8 data bits, even parity, stop bit (AN3155, section 2).
constexpr std::int64_t BITS_PER_BYTE_8E1 = 11;
}  // namespace

std::string TSTM32::Product_Id() const {
  return "0x" + Hex_Text(PID_M_, 2) + Hex_Text(PID_L_, 2);
}

std::uint8_t TSTM32::Get_Byte(std::uint32_t data, std::uint8_t pos) {
  return pos < 4 ? static_cast<std::uint8_t>(data >> (8 * pos)) : 0;
}

std::uint8_t TSTM32::CRC8_(std::uint32_t data) const {
  if (data < 256) return static_cast<std::uint8_t>(data ^ 0xFF);
  return Get_Byte(data, 0) ^ Get_Byte(data, 1) ^ Get_Byte(data, 2) ^ Get_Byte(data, 3);
}

std::uint8_t TSTM32::CRC8_Block_(std::uint8_t size_buf) const {
  std::uint8_t sum = size_buf;
  for (unsigned i = 0; i <= size_buf; ++i) sum ^= byteArray[i];
  return sum;
}

// Relies on the byte count, not the status.
bool TSTM32::Receive_Byte(std::uint8_t& byte) {
  std::uint32_t read = 0;
  Usb_.Read(CP_Haldle, &byte, 1, read);
  return read > 0;
}

bool TSTM32::Chip_ASK() {
  std::uint8_t answer = 0;
  return Receive_Byte(answer) && answer == AN3155_ACK;
}

bool TSTM32::Send_Command(std::uint8_t code) {
  Send_Chip_Byte(code);
  Send_Chip_Byte(CRC8_(code));
  return Chip_ASK();
}

bool TSTM32::Send_Address(std::uint32_t address) {
  for (std::uint8_t pos = 4; pos-- > 0;) Send_Chip_Byte(Get_Byte(address, pos));
  Send_Chip_Byte(CRC8_(address));
  return Chip_ASK();
}

void TSTM32::Chip_Reset() {
  Set_DTR(1);
  Clock_.Sleep(BOOT_LINE_SETTLE);
  Set_DTR(0);
  Clock_.Sleep(BOOT_LINE_SETTLE);
}

// RTS held asserted through the reset pulse starts the ROM bootloader.
std::uint8_t TSTM32::Chip_Connect() {
  Bootloader_Started = true;
  Set_RTS(1);
  Clock_.Sleep(BOOT_LINE_SETTLE);
  Chip_Reset();
  Flush_IO_Buffers(1, 1);
  Send_Chip_Byte(AN3155_SYNC);
  if (Chip_ASK()) {
    STM_State = ST_OPEN;
    return 0;
  }
  STM_State = ST_CLOSE;
  return 0xFF;
}

// RTS released through the reset pulse starts the application.
void TSTM32::Chip_Disconnect() {
  Set_RTS(0);
  Clock_.Sleep(BOOT_LINE_SETTLE);
  Chip_Reset();
  STM_State = ST_CLOSE;
  Bootloader_Started = false;
}

void TSTM32::Quick_Reset() {
  Set_DTR(1);
  Clock_.Sleep(BOOT_RESET_PULSE);
  Set_DTR(0);
}

// The bootloader takes no byte until it has started, and ST gives no time for that on the F1, so
// the sync goes out until it is answered. A 0x7F that reaches a bootloader already synchronised
// (its answer to an earlier one was lost or came late) is the first byte of a command; the next one
// completes a frame whose second byte is not the complement of the first, which AN3155's command
// frame refuses with a NACK (hosts report an ACK from some versions): either way it listens, at the
// start of a command. Each try begins with an empty receive buffer, so that no late answer counts
// for a later try.
bool TSTM32::Synchronise() {
  Usb_.Set_Timeouts(static_cast<std::uint32_t>(BOOT_SYNC_WAIT.count()), static_cast<std::uint32_t>(TX_Timeout));
  bool listening = false;
  for (unsigned attempt = 0; attempt < BOOT_SYNC_ATTEMPTS && !listening; ++attempt) {
    Flush_IO_Buffers(1, 1);
    Send_Chip_Byte(AN3155_SYNC);
    std::uint8_t answer = 0;
    listening = Receive_Byte(answer) && (answer == AN3155_ACK || answer == AN3155_NACK);
  }
  Usb_.Set_Timeouts(static_cast<std::uint32_t>(RX_Timeout), static_cast<std::uint32_t>(TX_Timeout));
  return listening;
}

std::uint8_t TSTM32::Chip_Connect_Quick() {
  Bootloader_Started = true;
  Set_RTS(1);
  Quick_Reset();
  STM_State = Synchronise() ? ST_OPEN : ST_CLOSE;
  return STM_State == ST_OPEN ? 0 : 0xFF;
}

void TSTM32::Chip_Disconnect_Quick() {
  Set_RTS(0);
  Quick_Reset();
  STM_State = ST_CLOSE;
  Bootloader_Started = false;
}

bool TSTM32::Chip_Get_Command() {
  if (!Send_Command(AN3155_GET)) return false;
  std::uint8_t* const answer[AN3155_GET_ANSWER_BYTES] = {
      &NofBytes_, &Boot_ver_, &Get_Comm_, &BV_RPS_, &Get_ID_, &R_Mem_, &Go_To_,
      &W_Mem_, &Erace_, &W_Protect_, &W_Un_Protect_, &R_Protect_, &R_Un_Protect_};
  for (std::uint8_t* field : answer) Read_Chip_Byte(field);
  return Chip_ASK();
}

bool TSTM32::Chip_Get_ID() {
  if (!Send_Command(Get_ID_)) return false;
  std::uint8_t count = 0;
  Read_Chip_Byte(&count);
  Read_Chip_Byte(&PID_M_);
  Read_Chip_Byte(&PID_L_);
  if (PID_M_ != AN3155_STM32_PRODUCT) return false;
  Set_Memory_Map(Family_Of(PID_L_));
  return Chip_ASK();
}

// A chip the table does not know gets an empty memory map, so that nothing is written by the map of
// the chip identified before it.
void TSTM32::Set_Memory_Map(const TSTM32_Family* family) {
  Name_ = family ? family->Name : "Unknown";
  RAM_S_ = family ? family->RAM_S : 0;
  RAM_F_ = family ? family->RAM_F : 0;
  Flash_S_ = family ? F1_FLASH_START : 0;
  Flash_F_ = family ? family->Flash_F : 0;
  Flash_SS_ = family ? F1_FLASH_SECTOR_KIB : 0;
  C_Page_ = family ? family->C_Page : 0;
  Size_C_P_ = family ? family->Size_C_P : 0;
  OByte_S_ = family ? F1_OPTION_BYTES_FIRST : 0;
  OByte_F_ = family ? F1_OPTION_BYTES_LAST : 0;
  SysM_S_ = family ? family->SysM_S : 0;
  SysM_F_ = family ? F1_SYSTEM_MEMORY_END : 0;
}

bool TSTM32::Chip_Get_Header() { return Get_Header(BOOT_ENTRY_SETTLED); }

bool TSTM32::Get_Header(TBoot_Entry entry) {
  STM_State = ST_CLOSE;
  const std::uint8_t connected = entry == BOOT_ENTRY_SETTLED ? Chip_Connect() : Chip_Connect_Quick();
  if (connected != 0 || !Chip_Get_Command() || !Chip_Get_ID()) return false;
  STM_State = ST_OPEN;
  return true;
}

// The bootloader sends count1 + 1 bytes; the first count1 are kept. Neither how many arrived nor a
// closing byte is examined.
bool TSTM32::Chip_Get_Memory(std::uint32_t Adr_S, std::uint8_t count1, std::uint8_t* data) {
  if (!Send_Read_Request(Adr_S, count1)) return false;
  for (unsigned i = 0; i < count1; ++i) Read_Chip_Byte(&data[i]);
  std::uint8_t scratch = 0;
  Read_Chip_Byte(&scratch);
  return true;
}

// Only the global erase is offered; its acknowledgement comes once the whole flash is erased.
bool TSTM32::Chip_Erase(std::uint8_t, std::uint8_t, bool Global_Erase) {
  if (!Send_Command(Erace_) || !Global_Erase) return false;
  Send_Chip_Byte(AN3155_GLOBAL_ERASE);
  Send_Chip_Byte(AN3155_GLOBAL_ERASE_CHECKSUM);
  return Chip_ASK();
}

bool TSTM32::Send_Read_Request(std::uint32_t address, std::uint8_t count_less_one) {
  if (!Send_Command(R_Mem_) || !Send_Address(address)) return false;
  Send_Chip_Byte(count_less_one);
  Send_Chip_Byte(CRC8_(count_less_one));
  return Chip_ASK();
}

bool TSTM32::Chip_Read_Memory(std::uint32_t Adr_S, unsigned count, std::uint8_t* data) {
  if (!Send_Read_Request(Adr_S, static_cast<std::uint8_t>(count - 1))) return false;
  // As many bytes a read as have come: each read waits at most the read time-out for the next.
  for (unsigned got = 0; got < count;) {
    std::uint32_t read = 0;
    Usb_.Read(CP_Haldle, data + got, count - got, read);
    if (read == 0) return false;
    got += read;
  }
  return true;
}

// The count byte is one less than the bytes that follow; the checksum folds it with all of them.
bool TSTM32::Chip_Write_Block(std::uint32_t address, unsigned count) {
  if (!Send_Command(W_Mem_) || !Send_Address(address)) return false;
  const auto size_buf = static_cast<std::uint8_t>(count - 1);
  Send_Chip_Byte(size_buf);
  for (unsigned i = 0; i < count; ++i) Send_Chip_Byte(byteArray[i]);
  Send_Chip_Byte(CRC8_Block_(size_buf));
  // A write returns once the bridge holds the bytes. The acknowledgement's time-out starts once they
  // are on the wire: at a slow rate they take longer to go than the time-out lasts.
  Clock_.Sleep(std::chrono::microseconds(1'000'000 * BITS_PER_BYTE_8E1 * (count + 2) / BautRate));
  return Chip_ASK();
}

bool TSTM32::Write_Block(std::uint32_t address, const std::uint8_t* data, unsigned count) {
  std::copy(data, data + count, byteArray);
  return Chip_Write_Block(address, count);
}

bool TSTM32::Read_Block(std::uint32_t address, unsigned count, std::uint8_t* data) {
  return Chip_Read_Memory(address, count, data);
}
