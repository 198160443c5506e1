#include "core/settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

#include "core/startup_entry.h"
#include "support/sim_world.h"

namespace quellbox {
namespace {

using testing::SimWorld;

class SettingsTest : public ::testing::Test {
 protected:
  // A complete record as a previous run would have stored it.
  void StoreAll() {
    for (auto [name, value] : {std::pair{"Version", "3080"}, {"Startup", "1"}, {"Log", "1"}, {"Disable", "1"},
                               {"Sound", "1"}, {"WaveFile", "C:\\Sounds\\a.wav"}, {"WindowsLeft", "000042"},
                               {"Keys", "0"}, {"Spyware", "False"}, {"Affiliate", "D123"}, {"Mode", "True"},
                               {"Normalize", "False"}, {"Notify", "True"}})
      world.Store(name, value);
  }
  Settings& S() { return world.state.settings; }
  bool Load() { return LoadSettings(world.services, world.state); }
  void Save() { EXPECT_TRUE(SaveSettings(world.services, world.state)); }

  SimWorld world;
};

// The first run's fourteen values, padded counts, the saved version, a record without Mode or
// Affiliate, an unwritable trust.hosts and the first save of a missing one are shown by the Wine
// tests of Quellbox.exe.
TEST_F(SettingsTest, StoredRecordSurvivesALoadAndSaveUnchanged) {
  StoreAll();
  world.Store("Log", "2");
  world.Store("Keys", "5");
  world.Store("WindowsLeft", "1234567");
  const char* names[] = {"Startup", "Log",  "Disable", "Sound",    "WaveFile", "WindowsLeft",
                         "Keys",    "Spyware", "Affiliate", "Mode", "Normalize", "Notify"};
  std::map<std::string, std::optional<std::string>> before;
  for (const char* name : names) before[name] = world.Stored(name);

  ASSERT_TRUE(Load());
  EXPECT_EQ(S().Log, 2);
  EXPECT_EQ(S().Keys, 5);
  EXPECT_EQ(S().WindowsLeft, 1234567);
  EXPECT_EQ(S().Sound, "1");
  EXPECT_TRUE(S().SoundIs(1));
  EXPECT_FALSE(S().SoundIs(2));
  EXPECT_FALSE(S().Normalize);
  EXPECT_TRUE(S().Notify);
  Save();
  for (const char* name : names) EXPECT_EQ(world.Stored(name), before[name]) << name;
}

TEST_F(SettingsTest, ReleasesBefore3075GetFullScreenProtectionForcedOn) {
  for (auto [version, normalize] : {std::pair{"3074", true}, {"3075", false}, {"beta", false}}) {
    SimWorld other;
    other.Store("Version", version);
    other.Store("Normalize", "False");
    other.Store("Log", "1");
    ASSERT_TRUE(LoadSettings(other.services, other.state));
    EXPECT_EQ(other.state.settings.Normalize, normalize) << version;
    EXPECT_EQ(other.state.settings.Log, 1) << version;
  }
}

TEST_F(SettingsTest, ModeIsReadEvenWhenThereIsNoVersion) {
  world.Store("Mode", "True");
  EXPECT_FALSE(Load());
  EXPECT_TRUE(S().Mode);
  EXPECT_TRUE(world.state.gblTrust.empty());
}

TEST_F(SettingsTest, GarbageAndWrongTypesKeepThePreviousValue) {
  StoreAll();
  S().Keys = 1;
  S().Startup = 1;
  S().Normalize = true;
  world.Store("Keys", "SHIFT");
  world.Store("WindowsLeft", "99999999999");
  world.Store("Spyware", "maybe");
  world.Store("Mode", "sure");
  world.registry.Put(world.Section(), "Startup", 3, "\x01\x02\x03");  // binary
  world.registry.Put(world.Section(), "Log", 4, std::string("\x01\x00\x00\x00", 4));  // a DWORD
  world.Store("Normalize", std::string("Tr\0ue", 5));
  ASSERT_TRUE(Load());
  EXPECT_EQ(S().Keys, 1);
  EXPECT_EQ(S().WindowsLeft, 0);
  EXPECT_FALSE(S().Spyware);
  EXPECT_FALSE(S().Mode);
  EXPECT_EQ(S().Startup, 0) << "an unreadable value reads as empty, which converts to 0";
  EXPECT_EQ(S().Log, 1);
  EXPECT_TRUE(S().Normalize) << "text cut at its NUL does not convert";
}

TEST_F(SettingsTest, TrustedHostsKeepEveryLineAsReadAndRoundTrip) {
  StoreAll();
  world.WriteFile("trust.hosts", std::string("alpha\r\n\r\nweb.beta.xy\rgam\nma\r\n*.xy", 33));
  ASSERT_TRUE(Load());
  EXPECT_EQ(world.state.gblTrust,
            (std::vector<std::string>{"alpha", "", "web.beta.xy", "gam\nma", "*.xy"}));
  Save();
  EXPECT_EQ(world.ReadFile("trust.hosts"), "alpha\r\n\r\nweb.beta.xy\r\ngam\nma\r\n*.xy\r\n");
  world.state.gblTrust.clear();
  ASSERT_TRUE(Load());
  EXPECT_EQ(world.state.gblTrust,
            (std::vector<std::string>{"alpha", "", "web.beta.xy", "gam\nma", "*.xy"}));
}

TEST_F(SettingsTest, HugeOrBinaryTrustFilesLoadWithoutLoss) {
  StoreAll();
  std::string big;
  for (int i = 0; i < 200000; ++i) big += "host" + std::to_string(i) + ".example\r\n";
  big += std::string("\0\x01\xff", 3);
  world.WriteFile("trust.hosts", big);
  ASSERT_TRUE(Load());
  ASSERT_EQ(world.state.gblTrust.size(), 200001u);
  EXPECT_EQ(world.state.gblTrust.back(), std::string("\0\x01\xc3\xbf", 4)) << "as UTF-8, stored as it was";
  Save();
  EXPECT_EQ(world.ReadFile("trust.hosts")->size(), big.size() + 2);
}

TEST_F(SettingsTest, ATrustFileThatCouldNotBeReadIsNotOverwrittenUntilItHasBeenRead) {
  StoreAll();
  std::filesystem::create_directory(world.File("trust.hosts"));
  ASSERT_TRUE(Load());
  EXPECT_TRUE(world.state.gblTrust.empty());
  std::filesystem::remove(world.File("trust.hosts"));
  world.WriteFile("trust.hosts", "alpha\r\nbeta\r\n");  // readable again by the next save
  Save();
  EXPECT_EQ(world.ReadFile("trust.hosts"), "alpha\r\nbeta\r\n");
  EXPECT_EQ(world.state.gblTrust, (std::vector<std::string>{"alpha", "beta"})) << "read at last";
  world.state.gblTrust.push_back("gamma");
  Save();
  EXPECT_EQ(world.ReadFile("trust.hosts"), "alpha\r\nbeta\r\ngamma\r\n");
}

TEST_F(SettingsTest, AMissingProgramDirectoryStillGetsTheRegistryWritten) {
  sim::SimEnvironment gone(world.dir.str() + "/missing");
  Services services = world.services;
  Services withGoneDirectory{services.registry, gone, services.clock, services.sound, services.launcher,
                             services.input, services.shell, services.tray, services.menus,
                             services.help, services.messages, services.windows};
  ApplyFirstRunDefaults(withGoneDirectory, world.state);
  EXPECT_TRUE(SaveSettings(withGoneDirectory, world.state));
  EXPECT_EQ(world.Stored("Version"), "3080");
  EXPECT_EQ(world.Stored("Dir"), world.dir.str() + "/missing");
}

TEST_F(SettingsTest, ARunKeyFailureEndsTheFirstRunBeforeVersionTxtIsRead) {
  world.registry.DenyKey(kRunSection);
  world.WriteFile("version.txt", "D123\r\n");
  ApplyFirstRunDefaults(world.services, world.state);
  EXPECT_EQ(S().Affiliate, "");
  EXPECT_EQ(world.ReadFile("version.txt"), "D123\r\n");
  EXPECT_EQ(S().Startup, 1) << "the defaults before the Run entry are all set";
}

TEST_F(SettingsTest, AnEmptyOrBinaryVersionTxtBecomesTheDistributorCode) {
  world.WriteFile("version.txt", "");
  ApplyFirstRunDefaults(world.services, world.state);
  EXPECT_EQ(S().Affiliate, "");
  Save();
  AppState next;
  ASSERT_TRUE(LoadSettings(world.services, next));
  EXPECT_EQ(next.settings.Affiliate, "111");

  SimWorld binary;
  binary.WriteFile("version.txt", std::string("\0\xff\r\n", 4));
  ApplyFirstRunDefaults(binary.services, binary.state);
  EXPECT_EQ(binary.state.settings.Affiliate, std::string("\0\xc3\xbf\r\n", 5));
}

}  // namespace
}  // namespace quellbox
