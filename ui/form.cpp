#include "ui/form.h"

#include <cmath>

#include "core/convert.h"

namespace quellbox {

const Control* Form::Get(const std::string& name, int index) const {
  for (const Control& c : Controls)
    if (c.Name == name && c.Index == index) return &c;
  return nullptr;
}

Control& Form::Find(const std::string& name, int index) {
  for (Control& c : Controls)
    if (c.Name == name && c.Index == index) return c;
  // A misspelt control name is a programming error, found by the first test that uses it.
  throw MissingControl("form " + Name + " has no control " + name);
}

Control& Form::Add(Control control) {
  Controls.push_back(std::move(control));
  return Controls.back();
}

void LocalizeForm(Form& form, const TextLookup& text, bool withTitle) {
  for (Control& c : form.Controls) {
    if (c.Tag.empty()) continue;
    auto id = TextToLong(c.Tag);
    if (!id) continue;
    if (c.HasCaption)
      if (auto caption = text(*id)) c.Caption = *caption;
    if (auto tip = text(*id + 50)) c.ToolTipText = *tip;
  }
  if (withTitle && !form.Tag.empty()) {
    if (auto id = TextToNumber(form.Tag))
      if (auto title = text(static_cast<int>(std::nearbyint(*id)))) form.Caption = *title;
  }
}

}  // namespace quellbox
