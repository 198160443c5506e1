// The HTML Help library: loaded from the system directory only, and its windows closed before
// it is unloaded.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>
#include <string>

#include "platform/win32/win_ui.h"

namespace quellbox::win32 {
namespace {

std::string Directory(const std::string& path) { return path.substr(0, path.find_last_of("\\/")); }

std::string ThisDirectory() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, sizeof path);
  return Directory(std::string(path, n));
}

class HelpLibraryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    log = ThisDirectory() + "\\hhctrl-calls.txt";
    DeleteFileA(log.c_str());
    SetEnvironmentVariableA("QUELLBOX_FAKE_HHCTRL_LOG", log.c_str());
  }
  std::string Calls() {
    std::ifstream in(log);
    std::stringstream text;
    text << in.rdbuf();
    return text.str();
  }
  std::string log;
  // Built next to this test as hhctrl.ocx: what a DLL planted beside Quellbox.exe would be.
  std::string planted = ThisDirectory() + "\\hhctrl.ocx";
};

TEST_F(HelpLibraryTest, EveryHelpWindowIsClosedBeforeTheLibraryIsUnloaded) {
  {
    WinHelp help(planted);
    help.DisplayToc(0, "Quellbox.chm");
  }
  EXPECT_EQ(Calls(), "1\n18\n") << "HH_DISPLAY_TOC, then HH_CLOSE_ALL at the end";
  EXPECT_EQ(GetModuleHandleA(planted.c_str()), nullptr) << "and then unloaded";
}

TEST_F(HelpLibraryTest, TheLibraryComesFromTheSystemDirectoryNotFromBesideTheProgram) {
  ASSERT_EQ(GetFileAttributesA(planted.c_str()) == INVALID_FILE_ATTRIBUTES, false) << planted;
  char system[MAX_PATH];
  UINT n = GetSystemDirectoryA(system, sizeof system);
  EXPECT_EQ(WinHelp::SystemLibrary(), std::string(system, n) + "\\hhctrl.ocx");
  {
    WinHelp help;
    HelpViewer::Popup popup;
    help.DisplayTextPopup(0, "Quellbox.chm::/Library.txt", popup);
  }
  EXPECT_EQ(Calls(), "") << "the planted library was never called";
}

}  // namespace
}  // namespace quellbox::win32
