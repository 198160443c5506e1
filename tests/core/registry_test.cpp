#include "core/registry.h"

#include <gtest/gtest.h>

#include "platform/sim/sim_registry.h"

namespace quellbox {
namespace {

constexpr const char* kSection = "Software\\Tarnik\\Quellbox\\";

class RegistryTest : public ::testing::Test {
 protected:
  cRegistry At(const std::string& name) {
    cRegistry reg(sim, "Quellbox");
    reg.ClassKey = kHkeyCurrentUser;
    reg.SectionKey = kSection;
    reg.ValueKey = name;
    return reg;
  }
  std::uint32_t StoredType(const std::string& name) { return sim.Get(kSection, name)->type; }

  sim::SimRegistry sim;
};

TEST_F(RegistryTest, MissingKeyOrValueReadsAsDefault) {
  EXPECT_EQ(At("Version").Value(), "");
  cRegistry reg = At("Version");
  reg.Default = "fallback";
  EXPECT_EQ(reg.Value(), "fallback");
  sim.PutText(kSection, "Other", "x");
  EXPECT_EQ(reg.Value(), "fallback");
}

TEST_F(RegistryTest, WritingCreatesTheKeyAndStoresTextWithOneNul) {
  ASSERT_FALSE(sim.KeyExists(kSection));
  EXPECT_FALSE(At("Log").SetValue("1").has_value());
  EXPECT_TRUE(sim.KeyExists(kSection));
  EXPECT_EQ(sim.Get(kSection, "Log")->bytes, std::string("1\0", 2));
  EXPECT_EQ(StoredType("Log"), static_cast<std::uint32_t>(RegType::Sz));
  EXPECT_EQ(At("log").Value(), "1");  // value names ignore case
}

// Failures (26001) and expansion are shown on the system's registry (registry_win_test.cpp).
TEST_F(RegistryTest, OnlyAPercentPairMakesAnExpandableValue) {
  // The second "%" must start at least two characters after the first.
  for (const char* plain : {"100%", "%%", "a%%b", "50% off"}) {
    At("Text").SetValue(plain);
    EXPECT_EQ(StoredType("Text"), static_cast<std::uint32_t>(RegType::Sz)) << plain;
  }
  At("Text").SetValue("%a%");
  EXPECT_EQ(StoredType("Text"), static_cast<std::uint32_t>(RegType::ExpandSz));
}

TEST_F(RegistryTest, ReadsEveryTextualTypeAndRefusesBinary) {
  sim.Put(kSection, "NoNul", 1, "abc");
  sim.Put(kSection, "Inner", 1, std::string("ab\0cd\0", 6));
  sim.Put(kSection, "Multi", 7, std::string("a\0b\0\0", 5));
  sim.Put(kSection, "Dword", 4, std::string("\x2a\x00\x00\x00", 4));
  sim.Put(kSection, "ShortDword", 4, std::string("\x2a", 1));
  sim.Put(kSection, "Binary", 3, "\x01\x02");
  EXPECT_EQ(At("NoNul").Value(), "abc");
  EXPECT_EQ(At("Inner").Value(), "ab");
  EXPECT_EQ(At("Multi").Value(), std::string("a\0b", 3));
  cRegistry dword = At("Dword");
  EXPECT_EQ(dword.Value(), "42");
  EXPECT_EQ(dword.ValueType, static_cast<std::uint32_t>(RegType::Dword));
  EXPECT_EQ(At("ShortDword").Value(), "");
  cRegistry binary = At("Binary");
  EXPECT_EQ(binary.Value(), "");
  EXPECT_EQ(binary.ValueType, static_cast<std::uint32_t>(RegType::Sz));
}

}  // namespace
}  // namespace quellbox
