// A stand-in for an item's installer: writes its whole command line to the
// marker file named by its first argument and exits with the code given as
// the second. "item_helper <marker> <exit code> [anything...]"
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The n-th blank-separated argument of the command line (quotes group), n >= 0.
bool Argument(const char* line, int n, char* out, size_t size) {
  int index = -1;
  const char* p = line;
  while (*p) {
    while (*p == ' ' || *p == '\t') ++p;
    if (!*p) break;
    ++index;
    size_t used = 0;
    bool quoted = false;
    while (*p && (quoted || (*p != ' ' && *p != '\t'))) {
      if (*p == '"') quoted = !quoted;
      else if (index == n && used + 1 < size) out[used++] = *p;
      ++p;
    }
    if (index == n) {
      out[used] = '\0';
      return true;
    }
  }
  return false;
}

}  // namespace

int main() {
  const char* line = GetCommandLineA();
  char marker[MAX_PATH] = {}, code[32] = {};
  if (!Argument(line, 1, marker, sizeof(marker))) return 200;
  int exitCode = Argument(line, 2, code, sizeof(code)) ? std::atoi(code) : 0;
  FILE* f = std::fopen(marker, "wb");
  if (!f) return 201;
  std::fputs(line, f);
  std::fclose(f);
  return exitCode;
}
