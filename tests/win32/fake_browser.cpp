// Stands in for a web browser: writes the arguments it was started with to the file named by
// QUELLBOX_FAKE_BROWSER_OUT, one per line, after the raw command line.
#include <cstdio>
#include <cstdlib>
#include <windows.h>

int main(int argc, char** argv) {
  const char* out = std::getenv("QUELLBOX_FAKE_BROWSER_OUT");
  if (!out) return 2;
  std::FILE* f = std::fopen(out, "wb");
  if (!f) return 3;
  std::fprintf(f, "%s\n%d\n", GetCommandLineA(), argc);
  for (int i = 1; i < argc; ++i) std::fprintf(f, "%s\n", argv[i]);
  std::fclose(f);
  return 0;
}
