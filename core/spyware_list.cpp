#include "core/spyware_list.h"

#include "core/text_file.h"

namespace quellbox {

std::vector<std::string> LoadSpywareList(Services& services) {
  std::string path = services.env.PathInProgramDirectory(kSpywareFile);
  // One rewrite at most: a file that can be neither read nor written would otherwise loop.
  for (int attempt = 0; attempt < 2; ++attempt) {
    if (auto content = ReadWholeFile(path)) {
      auto list = SplitAtCrLf(services.env.FromCodePage(*content));
      if (list.size() > 1) return list;
    }
    if (attempt == 0) WriteWholeFile(path, services.env.ToCodePage(kDefaultSpywareText));
  }
  return SplitAtCrLf(kDefaultSpywareText);
}

}  // namespace quellbox
