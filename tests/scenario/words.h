#pragma once
// The words of a scenario line, and how the transcript shows text.
#include <string>
#include <vector>

namespace quellbox::sim {

// "a b=c d=\"e f\"" into words; quotes group, backslash escapes \r \n \t \0 \" \\ inside them.
// Throws ScenarioError for an unterminated quote.
std::vector<std::string> Words(const std::string& line);
// CR, LF and NUL as \r, \n and \0.
std::string Visible(const std::string& text);
// " a b c": each word after a blank.
std::string Joined(const std::vector<std::string>& words);

}  // namespace quellbox::sim
