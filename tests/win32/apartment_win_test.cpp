// Who may call Quellbox's event sinks, per Windows version: the descriptor made from the SDDL,
// read back from what the system built of it.
#include "platform/win32/apartment.h"

#include <gtest/gtest.h>

#include <sddl.h>

namespace quellbox::win32 {
namespace {

struct Granted {
  int aces = 0;              // in the DACL, each for local calls (0x3)
  bool appContainers = false;  // ALL APPLICATION PACKAGES among them
  bool lowLabel = false;       // a low mandatory label with no-execute-up
};

Granted Read(const std::wstring& sddl) {
  Granted g;
  PSECURITY_DESCRIPTOR sd = nullptr;
  EXPECT_TRUE(ConvertStringSecurityDescriptorToSecurityDescriptorW(sddl.c_str(), SDDL_REVISION_1, &sd, nullptr))
      << "error " << GetLastError();
  if (!sd) return g;
  BOOL present = FALSE, defaulted = FALSE;
  PACL dacl = nullptr, sacl = nullptr;
  GetSecurityDescriptorDacl(sd, &present, &dacl, &defaulted);
  PSID packages = nullptr;
  ConvertStringSidToSidW(L"S-1-15-2-1", &packages);
  for (DWORD i = 0; dacl && i < dacl->AceCount; ++i) {
    ACCESS_ALLOWED_ACE* ace = nullptr;
    if (!GetAce(dacl, i, reinterpret_cast<void**>(&ace))) continue;
    ++g.aces;
    EXPECT_EQ(ace->Mask, 3u);
    if (EqualSid(&ace->SidStart, packages)) g.appContainers = true;
  }
  LocalFree(packages);
  GetSecurityDescriptorSacl(sd, &present, &sacl, &defaulted);
  for (DWORD i = 0; sacl && i < sacl->AceCount; ++i) {
    ACE_HEADER* header = nullptr;
    if (!GetAce(sacl, i, reinterpret_cast<void**>(&header)) || header->AceType != SYSTEM_MANDATORY_LABEL_ACE_TYPE)
      continue;
    auto* label = reinterpret_cast<SYSTEM_MANDATORY_LABEL_ACE*>(header);
    auto* sid = reinterpret_cast<SID*>(&label->SidStart);
    g.lowLabel = label->Mask == SYSTEM_MANDATORY_LABEL_NO_EXECUTE_UP &&
                 sid->SubAuthority[0] == SECURITY_MANDATORY_LOW_RID;
  }
  LocalFree(sd);
  return g;
}

TEST(ComAccess, EachWindowsVersionAdmitsWhatItsBrowsersCallFrom) {
  const std::wstring user = L"S-1-5-21-1004336348-1177238915-682003330-1001";
  struct Row {
    DWORD major, minor;
    Granted expected;
  } rows[] = {
      {5, 1, {2, false, false}},  // XP: the user and SYSTEM; its SDDL knows no labels
      {6, 0, {2, false, true}},   // Vista: Protected Mode tabs run at low integrity
      {6, 1, {2, false, true}},
      {6, 2, {3, true, true}},  // Windows 8: Enhanced Protected Mode tabs run in AppContainers
      {10, 0, {3, true, true}},
  };
  for (const Row& row : rows) {
    std::wstring sddl = ComAccessSddl(row.major, row.minor, user);
    Granted got = Read(sddl);
    EXPECT_EQ(got.aces, row.expected.aces) << row.major << "." << row.minor;
    EXPECT_EQ(got.appContainers, row.expected.appContainers) << row.major << "." << row.minor;
    EXPECT_EQ(got.lowLabel, row.expected.lowLabel) << row.major << "." << row.minor;
    EXPECT_EQ(sddl.find(L"S:") != std::wstring::npos, row.expected.lowLabel) << "XP's SDDL gets no label";
  }
}

}  // namespace
}  // namespace quellbox::win32
