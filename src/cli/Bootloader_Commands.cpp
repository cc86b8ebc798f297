// identify and read-flash: the chip through its ROM bootloader.
#include "cli/Cli_Commands.h"
#include "cli/Cli_Files.h"
#include "cli/Cli_Text.h"
#include "cli/TCli_Device.h"
#include "cli/TCli_Failure.h"
#include "firmware/AN3155.h"
#include "firmware/Firmware_Version.h"
#include "firmware/STM32F1_Families.h"
#include "platform/Hex_Text.h"

#include <algorithm>
#include <iomanip>

namespace {
QJsonObject Range(std::uint32_t first, std::uint32_t end) { return {{"start", qint64{first}}, {"end", qint64{end}}}; }

// The bootloader's version byte holds major and minor in its two nibbles (0x22 is 2.2).
std::string Bootloader_Version(const TSTM32& chip) { return Version_Number(chip.Boot_ver_ >> 4, chip.Boot_ver_ & 0x0F); }


QJsonObject Identity_Json(const TSTM32& chip, const TIdentification& identification) {
  const bool programmed = identification.Major != FIRMWARE_ERASED;
  QJsonObject memory;
  if (chip.Known_Chip()) {
    QJsonObject flash = Range(chip.Flash_S_, chip.Flash_F_);
    flash["page_size"] = chip.Size_C_P_ * 1024;
    memory = {{"flash", flash},
              {"ram", Range(chip.RAM_S_, chip.RAM_F_)},
              {"system_memory", Range(chip.SysM_S_, chip.SysM_F_)},
              {"option_bytes", QJsonObject{{"first", qint64{chip.OByte_S_}}, {"last", qint64{chip.OByte_F_}}}}};
  }
  QJsonObject firmware{{"programmed", programmed}};
  if (programmed) {
    firmware["version"] = QString::fromStdString(Version_Number(identification.Major, identification.Minor));
    firmware["major"] = identification.Major;
    firmware["minor"] = identification.Minor;
    firmware["old"] = Old_Firmware(identification.Major, identification.Minor);
  }
  const QJsonObject identity{{"family", QString::fromStdString(chip.Name_)},
                             {"product_id", QString::fromStdString(chip.Product_Id())},
                             {"bootloader_version", QString::fromStdString(Bootloader_Version(chip))}};
  return {{"chip", identity}, {"memory", memory.isEmpty() ? QJsonValue() : QJsonValue(memory)}, {"firmware", firmware}};
}

void Print_Identity(std::ostream& out, const TSTM32& chip, const TIdentification& identification) {
  const auto line = [&out](const char* label) -> std::ostream& { return out << std::left << std::setw(15) << label; };
  line("chip:") << chip.Name_ << " (product id " << chip.Product_Id() << ")\n";
  line("bootloader:") << Bootloader_Version(chip) << '\n';
  if (chip.Known_Chip()) {
    line("flash:") << Hex_Address(chip.Flash_S_) << "-" << Hex_Address(chip.Flash_F_) << ", "
                   << (chip.Flash_F_ - chip.Flash_S_) / 1024 << " KiB in " << unsigned{chip.Size_C_P_}
                   << " KiB pages\n";
    line("ram:") << Hex_Address(chip.RAM_S_) << "-" << Hex_Address(chip.RAM_F_) << '\n';
    line("system memory:") << Hex_Address(chip.SysM_S_) << "-" << Hex_Address(chip.SysM_F_) << '\n';
    line("option bytes:") << Hex_Address(chip.OByte_S_) << "-" << Hex_Address(chip.OByte_F_) << '\n';
  }
  if (identification.Major == FIRMWARE_ERASED)
    line("firmware:") << "none (no version in flash: erased, or an update that did not finish)\n";
  else
    line("firmware:") << Version_Number(identification.Major, identification.Minor) << '\n';
}

// The firmware's own warnings, as the program tab gives them.
void Warn_About(std::ostream& err, const TIdentification& identification) {
  if (identification.Major == FIRMWARE_ERASED)
    err << "yeli-cli: warning: the controller holds no firmware version: write the firmware with 'yeli-cli flash "
           "FILE.hex'\n";
  else if (Old_Firmware(identification.Major, identification.Minor))
    err << "yeli-cli: warning: firmware 2.0 is old: update the controller to 2.3 or higher\n";
}

struct TFlash_Span {
  std::uint32_t Address;
  std::uint32_t Length;
};

// Before the controller is touched: no family's flash holds what the range asks for.
void Check_Range(const TCli_Options& options) {
  const TFlash_Range largest = Largest_F1_Flash();
  const std::string every = " the flash of every STM32F1, " + Hex_Address(largest.First) + "-" + Hex_Address(largest.End);
  const std::uint32_t address = options.Address.value_or(largest.First);
  if (address < largest.First || address >= largest.End)
    Fail(EXIT_BAD_INPUT, "--address " + Hex_Address(address) + " lies outside" + every);
  if (options.Length == 0u) Fail(EXIT_BAD_INPUT, "--length 0 reads nothing");
  if (options.Length && *options.Length > largest.End - address)
    Fail(EXIT_BAD_INPUT, "--length " + std::to_string(*options.Length) + " from " + Hex_Address(address) +
                             " reaches past" + every);
}

// Inside the chip's flash: by default all of it, or from --address up to its end.
TFlash_Span Span_To_Read(const TCli_Options& options, const TSTM32& chip) {
  const std::uint32_t address = options.Address.value_or(chip.Flash_S_);
  const std::string flash = " the flash " + Hex_Address(chip.Flash_S_) + "-" + Hex_Address(chip.Flash_F_);
  if (address < chip.Flash_S_ || address >= chip.Flash_F_)
    Fail(EXIT_BAD_INPUT, "--address " + Hex_Address(address) + " lies outside" + flash);
  const std::uint32_t length = options.Length.value_or(chip.Flash_F_ - address);
  if (length > chip.Flash_F_ - address)
    Fail(EXIT_BAD_INPUT, "--length " + std::to_string(length) + " from " + Hex_Address(address) + " reaches past" + flash);
  return {address, length};
}
}  // namespace

TBoard_Work Prepare_Identify(const TCli_Context&) {
  return [](TCli_Context& context) {
    TCli_Device device(context);
    device.Require_Usbxpress_Bridge();
    const TIdentification identification = device.Identify();
    device.Restart_Application();
    if (context.Record) context.Record->Old_Version = Record_Version(identification.Major, identification.Minor);
    const TSTM32& chip = device.Controller();
    if (context.Options.Json)
      Print_Json(context.Out, Identity_Json(chip, identification));
    else
      Print_Identity(context.Out, chip, identification);
    Warn_About(context.Err, identification);
  };
}

// The output file is created first, so that a path that cannot be written is refused before the
// board is touched. A stop between two blocks unwinds through the device, which restarts the chip,
// and the output file, which removes what it holds.
void Run_Read_Flash(TCli_Context& context) {
  Check_Range(context.Options);
  TOutput_File output(context.Arguments[0]);
  TCli_Device device(context);
  device.Require_Usbxpress_Bridge();
  device.Identify();
  device.Require_Known_Flash();
  TSTM32& chip = device.Controller();
  const TFlash_Span span = Span_To_Read(context.Options, chip);
  device.Open_Bootloader();
  std::vector<std::uint8_t> bytes(span.Length);
  const TDuration start = context.Clock.Now();
  TProgress_Display progress = context.Progress("read-flash");
  for (std::uint32_t done = 0; done < span.Length;) {
    const std::uint32_t count = std::min<std::uint32_t>(AN3155_MAX_BLOCK, span.Length - done);
    if (!chip.Chip_Read_Memory(span.Address + done, count, bytes.data() + done))
      Fail(EXIT_DEVICE, "the bootloader did not answer the read at " + Hex_Address(span.Address + done) +
                            ": is the flash read-protected?");
    done += count;
    progress.Show(done, span.Length);
    context.Stop_Point();
  }
  progress.Finish();
  device.Restart_Application();
  output.Commit(bytes);
  const double seconds = std::chrono::duration<double>(context.Clock.Now() - start).count();
  context.Out << "read " << span.Length << " bytes from " << Hex_Address(span.Address) << " into " << context.Arguments[0]
              << " in " << std::fixed << std::setprecision(1) << seconds << " s\n";
}
