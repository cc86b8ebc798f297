// The STM32 ROM bootloader as this program drives it through the bridge port: entering the bootloader
// and the application by RTS and DTR, learning the command codes and the chip's memory map, reading
// memory, erasing the flash and writing blocks. The writing of a whole image (Chip_WriteFromFile and
// the worker) lives in TSTM32_Writer.cpp, over the block-device face.
#pragma once

#include "bridge/TCP21xx.h"
#include "firmware/TBlock_Device.h"
#include "platform/TStop_Flag.h"

#include <cstdint>
#include <memory>
#include <string>

class TFirmUpdTrear;
class THex_Image;
struct TSTM32_Family;

enum TSTMState : std::uint8_t { ST_OPEN, ST_CLOSE };

// How a bootloader session starts and ends: as identification does, with a settling wait around
// every line change and one sync byte, or quickly, with a short reset pulse and the sync sent until
// the bootloader answers (the sessions of this program's own: the update, yeli-cli's commands).
enum TBoot_Entry : std::uint8_t { BOOT_ENTRY_SETTLED, BOOT_ENTRY_QUICK };

class TSTM32 : public TCP21xx, public TBlock_Device {
public:
  TSTM32(TUsbXpress& usb, TClock& clock);
  ~TSTM32();  // waits for a worker that still writes

  std::uint8_t Chip_Connect();
  void Chip_Disconnect();
  void Chip_Reset();
  bool Chip_ASK();
  bool Chip_Get_Command();
  bool Chip_Get_ID();
  bool Chip_Get_Header();
  bool Chip_Get_Memory(std::uint32_t Adr_S, std::uint8_t count1, std::uint8_t* data);
  bool Chip_Erase(std::uint8_t Count_P, std::uint8_t Num_P, bool Global_Erase);
  std::uint8_t CRC8_(std::uint32_t data) const;
  std::uint8_t CRC8_Block_(std::uint8_t size_buf) const;
  static std::uint8_t Get_Byte(std::uint32_t data, std::uint8_t pos);

  // Chip_Connect and Chip_Disconnect with a reset pulse of BOOT_RESET_PULSE and no settling waits;
  // the sync is sent up to BOOT_SYNC_ATTEMPTS times.
  std::uint8_t Chip_Connect_Quick();
  void Chip_Disconnect_Quick();
  // Chip_Get_Header, entering the bootloader as `entry` says.
  bool Get_Header(TBoot_Entry entry);

  // Write Memory of byteArray[0] to byteArray[count - 1] at `address`; count 1 to 256.
  bool Chip_Write_Block(std::uint32_t address, unsigned count);
  // Read Memory of `count` bytes, 1 to 256; true only when every one of them arrived.
  bool Chip_Read_Memory(std::uint32_t Adr_S, unsigned count, std::uint8_t* data);
  // The flash as Get ID named it, written with Chip_Write_Block and read with Chip_Read_Memory.
  TFlash_Range Flash() const override { return {Flash_S_, Flash_F_}; }
  bool Write_Block(std::uint32_t address, const std::uint8_t* data, unsigned count) override;
  bool Read_Block(std::uint32_t address, unsigned count, std::uint8_t* data) override;
  // Writes and verifies an Intel-HEX file into the erased flash on the calling thread; true when the
  // file is a sound image and every byte of it was written, acknowledged and read back equal.
  bool Chip_WriteFromFile(const std::string& adrr_file);
  // Starts a worker that writes and verifies `image` (checked against this chip's flash) through
  // CSTM32, and keeps it in FirmUpdTrear; returns at once. False when no thread could be started:
  // the worker then counts as finished, with nothing written. `stop` ends the writing early.
  bool Chip_WriteFromFileThread(TSTM32& CSTM32, THex_Image image, const TStop_Flag* stop = nullptr);
  // The product id Get ID gave: "0x0410".
  std::string Product_Id() const;
  // Get ID named a family of the table, so the flash range is known.
  bool Known_Chip() const { return Flash_F_ > Flash_S_; }

  // The Get answer fills these thirteen in the order the bootloader sends them.
  std::uint8_t NofBytes_ = 0;
  std::uint8_t Boot_ver_ = 0;
  std::uint8_t Get_Comm_ = 0;
  std::uint8_t BV_RPS_ = 0;
  std::uint8_t Get_ID_ = 0;
  std::uint8_t R_Mem_ = 0;
  std::uint8_t Go_To_ = 0;
  std::uint8_t W_Mem_ = 0;
  std::uint8_t Erace_ = 0;
  std::uint8_t W_Protect_ = 0;
  std::uint8_t W_Un_Protect_ = 0;
  std::uint8_t R_Protect_ = 0;
  std::uint8_t R_Un_Protect_ = 0;
  std::uint8_t PID_M_ = 0;
  std::uint8_t PID_L_ = 0;
  std::uint8_t C_Page_ = 0;
  std::uint8_t Size_C_P_ = 0;
  std::string Name_;
  std::uint32_t RAM_S_ = 0;
  std::uint32_t RAM_F_ = 0;
  std::uint32_t Flash_S_ = 0;
  std::uint32_t Flash_F_ = 0;
  std::uint32_t Flash_SS_ = 0;
  std::uint32_t OByte_S_ = 0;
  std::uint32_t OByte_F_ = 0;
  std::uint32_t SysM_S_ = 0;
  std::uint32_t SysM_F_ = 0;
  TSTMState STM_State = ST_CLOSE;
  // This object last reset the chip towards its ROM bootloader (Chip_Connect or its quick form), and
  // has not restarted it into its application since. Closing the port does not restart it.
  bool Bootloader_Started = false;
  std::unique_ptr<TFirmUpdTrear> FirmUpdTrear;  // the worker started last; kept until the next one
  std::uint8_t byteArray[256] = {};

protected:
  // One byte within the read time-out; false when none came.
  bool Receive_Byte(std::uint8_t& byte);
  // The reset pulse of the quick entry; RTS unchanged.
  void Quick_Reset();
  // Sync bytes until the bootloader answers; true when it listens.
  bool Synchronise();
  // Sends a command code and its complement and waits for the acknowledgement.
  bool Send_Command(std::uint8_t code);
  // Sends an address, most significant byte first, and its checksum, and waits for the acknowledgement.
  bool Send_Address(std::uint32_t address);
  // Name_ and the memory map of `family`; for null "Unknown" and an empty map.
  void Set_Memory_Map(const TSTM32_Family* family);
  // Read Memory up to the acknowledgement of the count byte, which is one less than the bytes to come.
  bool Send_Read_Request(std::uint32_t address, std::uint8_t count_less_one);
};
