// read, save, load, store and reset-filter: the controller's parameters in work mode; cnf show and
// cnf diff: configuration files on their own, no device needed.
#include "cli/Cli_Commands.h"
#include "cli/Cli_Files.h"
#include "cli/Record_Output.h"
#include "cli/TCli_Device.h"
#include "cli/TCli_Failure.h"
#include "controller/Setting_Differences.h"

namespace {
// The file's settings must reach the controller as they are, not cut to their low 16 bits.
void Require_Sendable(const std::string& path, const TVOK_Prop& prop) {
  if (const std::string problem = Unsendable_Setting(prop); !problem.empty())
    Fail(EXIT_BAD_INPUT, path + ": " + problem);
}

// The protocol has no checksum, so a byte corrupted on the way is told only by a second reading that
// differs from the first; a reading is printed or saved only when two agree.
const TVOK_Prop& Confirmed_Reading(TCli_Device& device) {
  TVOK_Yeli& controller = device.Controller();
  const TVOK_Prop first = controller.Prop;
  if (!controller.GetConfigIO()) Fail(EXIT_DEVICE, "the controller did not answer the second reading");
  if (const std::string differences = Setting_Differences(first, controller.Prop); !differences.empty())
    Fail(EXIT_DEVICE,
         "two readings of the settings differ (" + differences + "): the line to the controller is unreliable");
  return controller.Prop;
}

void Write_And_Read_Back(TCli_Device& device) {
  TVOK_Yeli& controller = device.Controller();
  if (!controller.SetConfigIO()) Fail(EXIT_DEVICE, "the settings could not be sent to the controller");
  if (!controller.GetConfigIO()) Fail(EXIT_DEVICE, "the controller did not answer the read-back");
}

// Work mode on the one bridge, with the firmware version its full read found in the record.
void Start_Recorded_Work(const TCli_Context& context, TCli_Device& device) {
  device.Require_Usbxpress_Bridge();
  device.Start_Work();
  const std::int32_t version = device.Controller().Prop.FirmW;
  if (context.Record)
    context.Record->Old_Version =
        Record_Version(static_cast<std::uint8_t>(version >> 8), static_cast<std::uint8_t>(version & 0xFF));
}

// A change lives in the controller's working memory only, and its next restart (every command
// restarts it) loses it, unless it is stored.
void Store_If_Asked(TCli_Context& context, TCli_Device& device, const std::string& done) {
  if (context.Options.Store) {
    context.Phase("store");
    device.Store();
    context.Out << done << ", and stored it permanently\n";
  } else {
    context.Out << done << "; a restart of the controller undoes it unless it is stored (--store)\n";
  }
}
}  // namespace

void Run_Read(TCli_Context& context) {
  TCli_Device device(context);
  device.Require_Usbxpress_Bridge();
  device.Start_Work();
  Print_Record(context, Confirmed_Reading(device));
}

void Run_Save(TCli_Context& context) {
  TCli_Device device(context);
  device.Require_Usbxpress_Bridge();
  device.Start_Work();
  Write_Cnf(context.Arguments[0], Confirmed_Reading(device));
  context.Out << "saved the controller's parameters to " << context.Arguments[0] << '\n';
}

// As the Control Mode page loads a file: every field is replaced, the settings are sent, and the
// whole set is read back; here the read-back is also compared with the file.
TBoard_Work Prepare_Load(const TCli_Context& context) {
  const std::string& path = context.Arguments[0];
  const TVOK_Prop file = Read_Cnf(path, context.Err);
  Require_Sendable(path, file);
  return [file](TCli_Context& context) {
    const std::string& path = context.Arguments[0];
    if (context.Record) context.Record->File = path;
    TCli_Device device(context);
    Start_Recorded_Work(context, device);
    context.Phase("load");
    device.Controller().Prop = file;
    Write_And_Read_Back(device);
    if (const std::string differences = Setting_Differences(file, device.Controller().Prop); !differences.empty())
      Fail(EXIT_DEVICE, "the controller did not take the file's settings: " + differences);
    Store_If_Asked(context, device, "loaded " + path + " into the controller");
  };
}

TBoard_Work Prepare_Store(const TCli_Context&) {
  return [](TCli_Context& context) {
    TCli_Device device(context);
    Start_Recorded_Work(context, device);
    device.Store();
    context.Out << "the controller stored its settings permanently\n";
  };
}

// The reset goes with a full write of the settings just read, as the Control Mode page sends it.
TBoard_Work Prepare_Reset_Filter(const TCli_Context&) {
  return [](TCli_Context& context) {
    TCli_Device device(context);
    Start_Recorded_Work(context, device);
    TVOK_Yeli& controller = device.Controller();
    const std::int32_t before = controller.Prop.Time;
    context.Phase("reset");
    controller.ResTime = true;
    Write_And_Read_Back(device);
    if (before > 0 && controller.Prop.Time >= before)
      Fail(EXIT_DEVICE, "the controller did not reset the filter running time (still " +
                            std::to_string(controller.Prop.Time) + ")");
    Store_If_Asked(context, device,
                   "reset the filter running time from " + std::to_string(before) + " to " +
                       std::to_string(controller.Prop.Time) + " (10 min)");
  };
}

void Run_Cnf_Show(TCli_Context& context) { Print_Record(context, Read_Cnf(context.Arguments[0], context.Err)); }

void Run_Cnf_Diff(TCli_Context& context) {
  const std::string& first = context.Arguments[0];
  const std::string& second = context.Arguments[1];
  Print_Differences(context, Read_Cnf(first, context.Err), Read_Cnf(second, context.Err), first, second);
}
