#include "ui/html_help.h"

#include "core/convert.h"
#include "core/text_file.h"

namespace quellbox {
namespace {

bool EndsWithIgnoringCase(const std::string& text, const std::string& ending) {
  return text.size() >= ending.size() &&
         UpperAscii(text.substr(text.size() - ending.size())) == UpperAscii(ending);
}

}  // namespace

void HTMLHelp::ClassMessage(const std::string& text) {
  services_.messages.Show(text, kHelpClassCaption, MessageIcon::Exclamation);
}

bool HTMLHelp::CheckHelpFile() {
  if (!EndsWithIgnoringCase(CHMFile, "chm")) ClassMessage(CHMFile + " is not a valid HTML Help file.");
  if (!FileExists(CHMFile)) {
    ClassMessage(CHMFile + " does not exist.\r\n\r\nPlease make sure the correct path and file name "
                           "have been specified.");
    return false;
  }
  return true;
}

void HTMLHelp::HHDisplayContents(std::intptr_t callingWindow) {
  if (!CheckHelpFile()) return;
  std::string target = TrimBlanks(HHWindow).empty() ? CHMFile : CHMFile + ">" + HHWindow;
  services_.help.DisplayToc(callingWindow, target);
}

void HTMLHelp::HHDisplayPopup(std::intptr_t callingWindow) {
  if (!CheckHelpFile()) return;
  if (!EndsWithIgnoringCase(HHPopupFile, "txt"))
    ClassMessage("The file specified as the text popup source, '" + HHPopupFile +
                 "', is not a valid popup file.");
  HelpViewer::Popup popup;
  if (auto cursor = services_.input.CursorPos()) {
    popup.x = cursor->x;
    popup.y = cursor->y;
  }
  popup.topic = HHPopupID;
  services_.help.DisplayTextPopup(callingWindow, CHMFile + "::/" + HHPopupFile, popup);
}

std::string HTMLHelp::HHSetHelpFile(int which) const {
  if (which == 1) return services_.env.PathInProgramDirectory("Library.chm");
  if (which == 2) return "Library.txt";
  return {};
}

void ShowHelpContents(Services& services) {
  HTMLHelp help(services);
  help.CHMFile = services.env.PathInProgramDirectory("Quellbox.chm");
  help.HHWindow = "Main";
  help.HHDisplayContents();
}

void ShowContextPopup(Services& services, std::int32_t topic, std::intptr_t controlWindow) {
  HTMLHelp help(services);
  help.HHPopupType = 1;
  help.CHMFile = services.env.PathInProgramDirectory("Quellbox.chm");
  help.HHPopupID = topic;
  help.HHPopupFile = help.HHSetHelpFile(2);
  help.HHWindow = "Main";
  help.HHDisplayPopup(controlWindow);
}

}  // namespace quellbox
