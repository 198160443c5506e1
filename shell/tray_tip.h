#pragma once
#include <cstdint>
#include <string>

namespace quellbox {

// The tray icon's tip: "12 closed" CR LF "popup windows".
inline std::string TrayTipText(std::int32_t count) {
  return std::to_string(count) + " closed\r\npopup windows";
}

}  // namespace quellbox
