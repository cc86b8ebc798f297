// yeli-cli on a bad virtual line, made from --sim-faults as the program makes it: what it reports
// of the controller's settings is exactly what the controller holds, or it fails with status 1.
#include "TCli_Fixture.h"
#include "controller/Parameter_Protocol.h"
#include "platform/sim/TSim_Settings.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
constexpr std::uint8_t FILTER_TIME = 83;  // counts on by itself
constexpr std::uint8_t MODE = 144;        // written, never read

struct TCli_Line_Faults : testing::Test, TCli_Program {};

// The settings of a `read --json` by parameter id.
std::map<std::uint8_t, std::int64_t> Settings_Of(const std::string& json) {
  std::map<std::uint8_t, std::int64_t> settings;
  const QJsonArray fields = QJsonDocument::fromJson(QByteArray::fromStdString(json)).object()["fields"].toArray();
  for (const TParameter& setting : FULL_READ) {
    const auto named = std::find_if(VOK_PROP_FIELDS.begin(), VOK_PROP_FIELDS.end(),
                                    [&](const TProp_Field& field) { return field.Member == setting.Field; });
    for (const QJsonValue& field : fields)
      if (field["name"].toString() == named->Name) settings[setting.Id] = field["value"].toInteger();
  }
  return settings;
}
}  // namespace

TEST_F(TCli_Line_Faults, Thirty_Reads_On_A_Noisy_Late_Line_Fail_Or_Report_Exactly_The_Settings) {
  const TSim_Settings factory = Factory_Settings();
  int failed = 0;
  for (int seed = 1; seed <= 30; ++seed) {
    SCOPED_TRACE("--sim-seed " + std::to_string(seed));
    const int status = Run_Cli({"--simulate=usbxpress", "--sim-faults", "noise=0.001,late=0.02", "--sim-seed",
                            std::to_string(seed), "read", "--json"});
    if (status == 1) {
      ++failed;
      EXPECT_EQ(Out.str(), "");
      continue;
    }
    ASSERT_EQ(status, 0) << Err.str();
    const auto settings = Settings_Of(Out.str());
    for (const auto& [id, value] : factory) {
      if (id == FILTER_TIME || id == MODE) continue;
      EXPECT_EQ(settings.at(id), value) << "parameter " << int{id};
    }
  }
  // Both outcomes came up, so the faults did strike.
  EXPECT_GT(failed, 0);
  EXPECT_LT(failed, 30);
}

TEST_F(TCli_Line_Faults, Verbose_Tells_The_Seed_And_Bad_Lists_Are_Usage_Errors) {
  EXPECT_EQ(Run_Cli({"--simulate=usbxpress", "--sim-faults", "drop=1", "--sim-seed", "42", "--verbose", "read"}), 1);
  EXPECT_EQ(Err.str().substr(0, Err.str().find('\n')),
            "sim: virtual line faults with seed 42 (--sim-seed 42 repeats them)");
  const std::pair<std::vector<std::string>, const char*> refused[] = {
      {{"--simulate", "--sim-faults", "noise=0.1,hum=1", "read"},
       "yeli-cli: --sim-faults: unknown fault 'hum' (use noise, late, drop or unplug) ('yeli-cli --help' shows the "
       "usage)\n"},
      {{"--simulate", "--sim-seed", "-3", "read"},
       "yeli-cli: --sim-seed needs a whole number from 0 to 4294967295, not '-3' ('yeli-cli --help' shows the "
       "usage)\n"},
      {{"--sim-faults", "late=0.1", "read"},
       "yeli-cli: --sim-faults needs --simulate ('yeli-cli --help' shows the usage)\n"},
  };
  for (const auto& [arguments, message] : refused) {
    EXPECT_EQ(Run_Cli(arguments), 2);
    EXPECT_EQ(Err.str(), message);
  }
}
