// Benchmark of the status code table: parsing a generated smcode.dat of 10,000
// lines, and lookups per second on it (hits near the front and back of the
// list, and misses that walk the whole list). Prints its figures.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "bench/clock.h"
#include "statmon/status_code_table.h"

namespace {

std::string Generate(int lines) {
  std::string text = "; generated status code table\nSM_ANY 0x0000000000000000 0x0000000000000000 \"catch all\"\n";
  char line[160];
  for (int i = 1; i < lines; ++i) {
    // Bytes 1, 2 and 3 carry the line number; every tenth line has a comment.
    std::snprintf(line, sizeof(line), "SM_STATUS_%05d 0x00%06X00000000 0x00FFFFFF00000000 \"Status text %d\"%s\n", i, i,
                  i, i % 10 == 0 ? " ; note" : "");
    text += line;
  }
  return text;
}

}  // namespace

int main() {
  constexpr int kLines = 10000;
  char temp[MAX_PATH];
  GetTempPathA(sizeof(temp), temp);
  std::string path = std::string(temp) + "smcode_bench_" + std::to_string(GetCurrentProcessId()) + ".dat";
  std::string text = Generate(kLines);
  FILE* f = std::fopen(path.c_str(), "wb");
  if (!f) return 1;
  std::fwrite(text.data(), 1, text.size(), f);
  std::fclose(f);

  std::vector<double> parses;
  size_t records = 0;
  for (int run = 0; run < 15; ++run) {
    CParser parser;
    parser.SetPath(path);
    double t0 = bench::Now();
    bool ok = parser.ReadFile();
    parses.push_back((bench::Now() - t0) * 1000.0);
    records = parser.Records().size();
    if (!ok) std::printf("parse failed\n");
  }
  std::sort(parses.begin(), parses.end());
  std::printf("smcode.dat: %d lines, %zu bytes, %zu records\n", kLines, text.size(), records);
  std::printf("parse: median %.2f ms, best %.2f ms, worst %.2f ms (15 runs)\n", parses[parses.size() / 2], parses[0],
              parses.back());

  CParser parser;
  parser.SetPath(path);
  parser.ReadFile();
  struct {
    const char* name;
    uint32_t high;
  } kinds[] = {
      {"hit, last line (front of list)", static_cast<uint32_t>(kLines - 1)},
      {"hit, middle line", static_cast<uint32_t>(kLines / 2)},
      {"catch-all (walks the whole list)", 0x00FFFFFFu},
  };
  for (const auto& k : kinds) {
    const int n = 20000;
    size_t found = 0;
    double t0 = bench::Now();
    for (int i = 0; i < n; ++i) found += parser.Find(static_cast<uint32_t>(i), k.high) != nullptr;
    double seconds = bench::Now() - t0;
    std::printf("lookup %-34s %10.0f per second, %8.3f us each (%zu found)\n", k.name, n / seconds,
                seconds / n * 1e6, found);
  }
  DeleteFileA(path.c_str());
  return 0;
}
