#include "ui/dialog.h"

#include <algorithm>

#include "ui/html_help.h"
#include "ui/strings.h"

namespace quellbox {

void Dialog::Form_KeyDown(int& keyCode) {
  if (keyCode != kKeyF1) return;
  const Control* active = Get(ActiveControl, ActiveIndex);
  std::int32_t topic = active ? active->HelpContextID : 0;
  ShowContextPopup(context_.services, topic, context_.host.ControlWindow(Name, ActiveControl, ActiveIndex));
  keyCode = 0;
}

void Dialog::SetValue(const std::string& control, int index, int value) {
  Control& c = At(control, index);
  if (c.Value == value) return;
  c.Value = value;
  Click(control, index);
}

void Dialog::SetListIndex(const std::string& control, int index) {
  Control& c = (*this)[control];
  if (c.ListIndex == index) return;
  c.ListIndex = index;
  Click(control, -1);
}

void Dialog::SelectOption(const std::string& control, int index, const std::vector<std::string>& group) {
  for (Control& c : Controls) {
    bool sameArray = c.Name == control && index >= 0 && c.Index != index;
    bool sameGroup = c.Name != control && std::find(group.begin(), group.end(), c.Name) != group.end();
    if (sameArray || sameGroup) c.Value = 0;
  }
  SetValue(control, index, 1);
}

std::optional<std::string> Dialog::Text(int id) const { return TextOf(id, context_.state.LangOffset); }

void Dialog::Localize(bool withTitle) {
  LocalizeForm(*this, [this](int id) { return Text(id); }, withTitle);
}

}  // namespace quellbox
