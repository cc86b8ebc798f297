// image show: a firmware image file checked as flash checks it, and what it holds, without a device:
// where its data lie, the blocks an update writes, the version it will report and whether its
// vector table looks like an application for the chip.
#include "cli/Cli_Commands.h"
#include "cli/Cli_Files.h"
#include "cli/Cli_Text.h"
#include "cli/Image_Version.h"
#include "cli/TCli_Failure.h"
#include "cli/Vector_Table.h"
#include "firmware/Firmware_Version.h"
#include "firmware/Plan_Blocks.h"
#include "firmware/STM32F1_Families.h"
#include "platform/Hex_Text.h"

#include <QJsonArray>

#include <iomanip>
#include <optional>

namespace {
struct TImage_Facts {
  std::vector<TFlash_Range> Ranges;
  std::size_t Data_Bytes = 0;
  std::size_t Blocks = 0;
  std::optional<std::string> Version;  // none when the image holds no version bytes
  std::optional<TVector_Table> Vectors;
};

TImage_Facts Facts_Of(const THex_Image& image, const TSTM32_Family& family) {
  TImage_Facts facts;
  facts.Ranges = image.Ranges();
  facts.Data_Bytes = image.Data_Size();
  for (const auto& phase : Plan_Blocks(image, F1_FLASH_START)) facts.Blocks += phase.size();
  facts.Version = Image_Version(image);
  std::uint8_t words[8];
  image.Copy(F1_FLASH_START, words, sizeof words);
  if (Holds_All(facts.Ranges, F1_FLASH_START, sizeof words)) facts.Vectors = Read_Vector_Table(words, family);
  return facts;
}

QJsonObject Json_Of(const std::string& file, const TSTM32_Family& family, const TImage_Facts& facts) {
  QJsonArray ranges;
  for (const TFlash_Range& range : facts.Ranges)
    ranges.append(QJsonObject{{"start", qint64{range.First}}, {"end", qint64{range.End}}});
  QJsonValue vectors;
  if (facts.Vectors)
    vectors = QJsonObject{{"stack_pointer", qint64{facts.Vectors->Stack_Pointer}},
                          {"reset_handler", qint64{facts.Vectors->Reset_Handler}},
                          {"application", facts.Vectors->Problem.empty()}};
  return {{"file", QString::fromStdString(file)},
          {"family", family.Name},
          {"ranges", ranges},
          {"data_bytes", static_cast<qint64>(facts.Data_Bytes)},
          {"blocks", static_cast<qint64>(facts.Blocks)},
          {"version", facts.Version ? QJsonValue(QString::fromStdString(*facts.Version)) : QJsonValue()},
          {"vector_table", vectors}};
}

void Print_Facts(std::ostream& out, const std::string& file, const TSTM32_Family& family, const TImage_Facts& facts) {
  const auto line = [&out](const char* label) -> std::ostream& { return out << std::left << std::setw(14) << label; };
  line("file:") << file << '\n';
  line("for:") << family.Name << ", flash " << Hex_Address(F1_FLASH_START) << "-" << Hex_Address(family.Flash_F) << '\n';
  for (const TFlash_Range& range : facts.Ranges)
    line("range:") << Hex_Address(range.First) << "-" << Hex_Address(range.End) << " (" << range.End - range.First << " bytes)\n";
  line("data bytes:") << facts.Data_Bytes << '\n';
  line("blocks:") << facts.Blocks << " of up to 256 bytes\n";
  line("version:") << facts.Version.value_or("none") << '\n';
  if (facts.Vectors)
    line("vectors:") << "stack pointer " << Hex_Address(facts.Vectors->Stack_Pointer) << ", reset handler "
                     << Hex_Address(facts.Vectors->Reset_Handler) << '\n';
  else
    line("vectors:") << "none\n";
}
}  // namespace

// A file flash would refuse is refused the same way; what only makes it doubtful is a warning.
void Run_Image_Show(TCli_Context& context) {
  const std::string& file = context.Arguments[0];
  const TSTM32_Family& family = context.Options.Family ? *context.Options.Family : *Family_Of(F1_MEDIUM_DENSITY);
  auto read = THex_Image::Read_File(file, {F1_FLASH_START, family.Flash_F});
  if (const auto* problem = std::get_if<THex_Problem>(&read)) Fail(EXIT_BAD_INPUT, Hex_File_Problem(file, *problem));
  const TImage_Facts facts = Facts_Of(std::get<THex_Image>(read), family);

  if (context.Options.Json)
    Print_Json(context.Out, Json_Of(file, family, facts));
  else
    Print_Facts(context.Out, file, family, facts);
  const std::string warning = "yeli-cli: image show: warning: " + file + ": ";
  if (!facts.Version)
    context.Err << warning << "no firmware version at " << Hex_Address(FIRMWARE_VERSION_ADDRESS)
                << ": the controller will identify as not programmed\n";
  if (!facts.Vectors)
    context.Err << warning << "no vector table at " << Hex_Address(F1_FLASH_START) << ": the chip will not start it\n";
  else if (!facts.Vectors->Problem.empty())
    context.Err << warning << "the vector table does not look like an application for " << family.Name << ": "
                << facts.Vectors->Problem << '\n';
}
