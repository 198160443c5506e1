#include "platform/win32/win_registry.h"

#include <gtest/gtest.h>

#include <windows.h>

#include "core/registry.h"

namespace quellbox::win32 {
namespace {

constexpr const char* kSection = "Software\\Tarnik\\QuellboxWinTest\\";

class WinRegistryTest : public ::testing::Test {
 protected:
  void SetUp() override { RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Tarnik\\QuellboxWinTest"); }
  void TearDown() override { SetUp(); }
  cRegistry At(const std::string& name) {
    cRegistry reg(api, "QuellboxWinTest");
    reg.SectionKey = kSection;
    reg.ValueKey = name;
    return reg;
  }
  DWORD StoredType(const std::string& name) {
    DWORD type = 0;
    RegGetValueA(HKEY_CURRENT_USER, kSection, name.c_str(), RRF_RT_ANY | RRF_NOEXPAND, &type,
                 nullptr, nullptr);
    return type;
  }

  WinRegistry api;
};

TEST_F(WinRegistryTest, WritesCreateTheKeyAndReadBack) {
  EXPECT_EQ(At("Version").Value(), "");
  EXPECT_FALSE(At("Version").SetValue("3080").has_value());
  EXPECT_EQ(At("Version").Value(), "3080");
  EXPECT_EQ(StoredType("Version"), static_cast<DWORD>(REG_SZ));
}

TEST_F(WinRegistryTest, PercentPairsAreExpandedByTheSystem) {
  SetEnvironmentVariableA("QUELLBOX_TEST_DIR", "C:\\Sounds");
  EXPECT_FALSE(At("WaveFile").SetValue("%QUELLBOX_TEST_DIR%\\x.wav").has_value());
  EXPECT_EQ(StoredType("WaveFile"), static_cast<DWORD>(REG_EXPAND_SZ));
  EXPECT_EQ(At("WaveFile").Value(), "C:\\Sounds\\x.wav");
}

TEST_F(WinRegistryTest, DwordsReadAsDecimalAndLongValuesReadWhole) {
  At("Seed").SetValue("x");
  DWORD number = 42;
  RegSetKeyValueA(HKEY_CURRENT_USER, kSection, "Count", REG_DWORD, &number, sizeof number);
  EXPECT_EQ(At("Count").Value(), "42");
  std::string longText(100000, 'a');
  EXPECT_FALSE(At("Long").SetValue(longText).has_value());
  EXPECT_EQ(At("Long").Value(), longText);
}

TEST_F(WinRegistryTest, DeletingAMissingValueOrKeyFails) {
  cRegistry reg = At("Gone");
  auto error = reg.DeleteValue();
  ASSERT_TRUE(error.has_value());
  EXPECT_NE(error->description.find("for delete access"), std::string::npos);
  reg.SetValue("x");
  EXPECT_FALSE(reg.DeleteValue().has_value());
  EXPECT_EQ(reg.Value(), "");
  error = reg.DeleteValue();
  ASSERT_TRUE(error.has_value());
  EXPECT_NE(error->description.find("Failed to delete registry Key"), std::string::npos);
}

TEST_F(WinRegistryTest, AKeyThatCannotBeCreatedReportsError26001) {
  cRegistry reg(api, "QuellboxWinTest");
  reg.ClassKey = 0x80000002u;  // HKEY_LOCAL_MACHINE
  reg.SectionKey = std::string(300, 'k');  // longer than any key name may be
  reg.ValueKey = "x";
  auto error = reg.SetValue("1");
  ASSERT_TRUE(error.has_value());
  EXPECT_EQ(error->number, 26001);
}

}  // namespace
}  // namespace quellbox::win32
