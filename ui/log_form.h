#pragma once
// The log viewer.
#include "core/url_log.h"
#include "ui/dialog.h"

namespace quellbox {

// The host of a log line's address: what lies between "://" and the next "/", or a whole
// about: or file: address; empty when the line holds no address. `found` tells the two apart.
std::string HostOfLogLine(const std::string& line, bool& found);

// The log viewer: the lines of url.log in a list that asks for the rows it shows, the count of
// entries, and the commands on a selected line.
class frmLog : public Dialog {
 public:
  static constexpr std::size_t kShownLength = 1024;  // of a row's text, on screen
  explicit frmLog(DialogContext& context);
  void Form_Load() override;
  void Form_Resize() override;
  // On txtLog, `index` is the row clicked, or -1 for none.
  void Click(const std::string& control, int index) override;
  void DoubleClick(const std::string& control, int row) override;
  void ControlKeyDown(const std::string& control, int key) override;
  void Refresh();
  // What the list shows for a row.
  std::string RowText(std::size_t row);
  // The line the commands work on: a row's text with its line break.
  std::string SelectedLine;

 private:
  LineList* List();
  std::string LogPath();
  std::string LineOf(std::size_t row);
  // A row's text as the program keeps text; at most `limit` bytes of the file.
  std::string Row(std::size_t row, std::size_t limit = std::string::npos);
  UrlLogIndex index_;
};

}  // namespace quellbox
