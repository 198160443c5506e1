#pragma once
// The help wrapper behind every Help command and every F1 key.
#include <cstdint>
#include <string>

#include "core/services.h"

namespace quellbox {

inline constexpr const char* kHelpClassCaption = "HTML Help Class";

class HTMLHelp {
 public:
  explicit HTMLHelp(Services& services) : services_(services) {}

  std::string CHMFile;
  std::string HHWindow;
  std::int32_t HHPopupType = 0;
  std::int32_t HHPopupID = 0;
  std::string HHPopupFile;

  void HHDisplayContents(std::intptr_t callingWindow = 0);
  void HHDisplayPopup(std::intptr_t callingWindow);
  // 1: the library file in the program directory; 2: the popup text file; else empty.
  std::string HHSetHelpFile(int which) const;

 private:
  bool CheckHelpFile();  // false when the file is missing (after saying so)
  void ClassMessage(const std::string& text);

  Services& services_;
};

// The contents in the "Main" window, as the Help commands show them.
void ShowHelpContents(Services& services);
// The popup text of `topic` at the mouse, as F1 shows it for the focused control.
void ShowContextPopup(Services& services, std::int32_t topic, std::intptr_t controlWindow);

}  // namespace quellbox
