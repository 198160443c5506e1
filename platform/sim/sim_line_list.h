#pragma once
// The log viewer's list as a record: how many rows it has, which is selected, which was
// scrolled into view last.
#include <optional>

#include "ui/dialog.h"

namespace quellbox::sim {

class SimLineList : public LineList {
 public:
  void SetRowCount(std::size_t count) override {
    rows = count;
    selected.reset();
  }
  std::optional<std::size_t> SelectedRow() override { return selected; }
  void Select(std::size_t row) override { selected = row; }
  void ShowRow(std::size_t row) override { shown = row; }

  std::size_t rows = 0;
  std::optional<std::size_t> selected, shown;
};

}  // namespace quellbox::sim
