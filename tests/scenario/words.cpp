#include "scenario/words.h"

#include "scenario/scenario.h"

namespace quellbox::sim {

std::vector<std::string> Words(const std::string& line) {
  std::vector<std::string> words;
  std::string word;
  bool inWord = false, quoted = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (quoted) {
      if (c == '"') {
        quoted = false;
      } else if (c == '\\' && i + 1 < line.size()) {
        char e = line[++i];
        word += e == 'r' ? '\r' : e == 'n' ? '\n' : e == 't' ? '\t' : e == '0' ? '\0' : e;
      } else {
        word += c;
      }
    } else if (c == '"') {
      quoted = inWord = true;
    } else if (c == ' ' || c == '\t') {
      if (inWord) words.push_back(word);
      word.clear();
      inWord = false;
    } else {
      word += c;
      inWord = true;
    }
  }
  if (quoted) throw ScenarioError("unterminated quote");
  if (inWord) words.push_back(word);
  return words;
}

std::string Visible(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\r') out += "\\r";
    else if (c == '\n') out += "\\n";
    else if (c == '\0') out += "\\0";
    else if (static_cast<unsigned char>(c) >= 0x80)
      out += std::string{'\\', 'x', "0123456789ABCDEF"[(c >> 4) & 15], "0123456789ABCDEF"[c & 15]};
    else out += c;
  }
  return out;
}

std::string Joined(const std::vector<std::string>& words) {
  std::string out;
  for (const auto& w : words) out += " " + w;
  return out;
}

}  // namespace quellbox::sim
