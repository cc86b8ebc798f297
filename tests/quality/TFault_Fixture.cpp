#include "TFault_Fixture.h"

#include "controller/Parameter_Protocol.h"
#include "support/THex_Text.h"

#include <fstream>

namespace {
constexpr std::uint32_t FLASH_START = 0x08000000;
constexpr std::uint32_t FLASH_SIZE = 128 * 1024;
constexpr std::uint32_t BLOCK = 256;
constexpr std::uint8_t FILTER_TIME = 83;  // runs on by itself
constexpr std::uint8_t MODE = 144;        // written, never read back
}  // namespace

TFault_Fixture::TFault_Fixture(TSim_Factory_State state) : TControl_Board_Fixture(state) {
  Form->Timer1->OnTimer = [this, step = Form->Timer1->OnTimer] {
    if (TFault strike = std::exchange(Next_Tick_, {})) strike(Site());
    step();
  };
}

QStringList TFault_Fixture::Lines(TFault_Log log) const {
  return log == LOG_PROGRAM ? Program_Log() : Control_Log();
}

bool TFault_Fixture::Shows(const TExpected_Line& line) const {
  for (const QString& shown : Lines(line.Log))
    if (shown.startsWith(line.Text)) return true;
  return false;
}

void TFault_Fixture::Tick_Until_Shown(const TExpected_Line& line, int ticks) {
  for (int tick = 0; !Shows(line); ++tick) {
    ASSERT_LT(tick, ticks) << "'" << line.Text << "' not shown after " << ticks << " ticks; the log reads: "
                           << Lines(line.Log).join(" | ").toStdString();
    Tick();
  }
}

const TBytes& Update_Image() {
  static const TBytes image = Application_Image(2, 5);
  return image;
}

unsigned Update_Image_Blocks() { return static_cast<unsigned>((Update_Image().size() + BLOCK - 1) / BLOCK); }

void TFault_Fixture::Request_Update() {
  const std::filesystem::path file = Folder / "app25.hex";
  std::ofstream(file) << Data_Records(FLASH_START, Update_Image(), 16) + END;
  Dialogs.File_Answers.push_back(QString::fromStdString(file.string()));
  ASSERT_TRUE(Form->Program.Button2->isEnabled());
  Form->Program.Button2->click();
  ASSERT_TRUE(Form->Program.Button3->isEnabled());
  Form->Program.Button3->click();
}

QStringList TFault_Fixture::Update_Lines() const {
  const QStringList log = Program_Log();
  for (const char* first : {"Chip erase OK", "Chip erase fail", "Firmware file error", "Error connection",
                            "No acknowledgement from the bootloader", "The bootloader did not answer"})
    for (qsizetype at = 0; at < log.size(); ++at)
      if (log[at].startsWith(first)) return log.mid(at);
  return {};
}

TBytes TFault_Fixture::Flash() { return Board.Flash(FLASH_START, FLASH_SIZE); }
TBytes TFault_Fixture::Flash_Of_Image() {
  return Board.Flash(FLASH_START, static_cast<std::uint32_t>(Update_Image().size()));
}

TSim_Settings TFault_Fixture::Stored() {
  TSim_Settings stored = Board.Stored_Settings();
  stored.erase(FILTER_TIME);
  return stored;
}

bool TFault_Fixture::Record_Matches_Board() {
  for (const TParameter& setting : FULL_WRITE) {
    if (setting.Id == MODE || setting.Id == FILTER_TIME) continue;
    if (Controller().Prop.*setting.Field != Board_Setting(setting.Id)) return false;
  }
  return true;
}

bool TFault_Fixture::Only_The_Controller_Heard_Us() {
  for (std::size_t other = 1; other < Bus.Board_Count(); ++other)
    if (!Bus.Board(other).Wire_Log(SIM_TO_BOARD).empty()) return false;
  return true;
}

std::uint16_t TFault_Fixture::Move_Inflow_S0(int position) {
  Tab().Inflow[0].Slider->setValue(position);
  return static_cast<std::uint16_t>(1000 - 10 * position);
}
