#pragma once
// The program's dialogs: each loaded on demand, one instance at a time.
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ui/dialog.h"

namespace quellbox {

class Forms {
 public:
  void SetContext(DialogContext& context) { context_ = &context; }
  // The open dialog of that name, or null. Hold the pointer while calling into it: a handler
  // may unload its own dialog.
  std::shared_ptr<Dialog> Find(const std::string& name) const;
  // Loads the dialog (running its Form_Load) unless it is open already.
  std::shared_ptr<Dialog> Load(const std::string& name);
  // Registers a new dialog without loading it, for a platform that binds its window first and
  // then calls Form_Load; null for an unknown name.
  std::shared_ptr<Dialog> Create(const std::string& name);
  void Unload(const std::string& name);
  std::vector<std::shared_ptr<Dialog>> Loaded() const;
  // The master list of trusted sites changed: an open Trusted Sites list shows it again.
  void TrustedSitesChanged() const;
  template <typename T>
  std::shared_ptr<T> Get(const std::string& name) const {
    return std::dynamic_pointer_cast<T>(Find(name));
  }

 private:
  DialogContext* context_ = nullptr;
  std::map<std::string, std::shared_ptr<Dialog>> loaded_;
};

}  // namespace quellbox
