#pragma once
// Whole-file access to the small text files in the program directory. Each call opens the file
// by name and closes it again, so other programs can read or replace the files in between.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace quellbox {

// Empty when the file cannot be read; `missing`, when given, tells whether it does not exist.
std::optional<std::string> ReadWholeFile(const std::string& path, bool* missing = nullptr);
// Replaces the file (creating it); false when it cannot be opened or fully written.
bool WriteWholeFile(const std::string& path, std::string_view content);
bool AppendToFile(const std::string& path, std::string_view content);
bool DeleteFileAt(const std::string& path);
// Up to `length` bytes from `offset` on (fewer at the end); empty when it cannot be read.
std::optional<std::string> ReadFileRange(const std::string& path, std::uint64_t offset, std::size_t length);
bool FileExists(const std::string& path);

// A line ends at CR LF or at a lone CR; a final line without an end still counts; a lone LF is
// part of its line.
std::vector<std::string> SplitLinesAtCr(std::string_view text);
// Splits at every CR LF; the text after the last one is the final element, even when empty.
std::vector<std::string> SplitAtCrLf(std::string_view text);

}  // namespace quellbox
