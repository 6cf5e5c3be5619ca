// Lookup speed of the script reader against the system's private-profile
// reader on the same generated files, and the cost of percent tokens that are
// looked up in a large string file. Prints medians; run under Wine:
//   build/wine-run build/bench/profile/profile_bench.exe
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <fstream>
#include <functional>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "bench/clock.h"
#include "setup/scriptlib/profile.h"

namespace {

// Median time in microseconds of `runs` calls of `call`.
double Median(int runs, const std::function<void(int)>& call) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    double start = bench::Now();
    call(i);
    times.push_back((bench::Now() - start) * 1e6);
  }
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}


void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
}

}  // namespace

int main() {
  char temp[MAX_PATH];
  GetTempPathA(sizeof(temp), temp);
  std::string script = std::string(temp) + "qx_bench_script.dat";
  std::string strings = std::string(temp) + "qx_bench_strings.txt";

  // 2,000 sections of 9 keys each: 20,000 lines.
  std::string text;
  for (int s = 0; s < 2000; ++s) {
    text += "[SECTION_" + std::to_string(s) + "]\r\n";
    for (int k = 0; k < 9; ++k) text += "KEY_" + std::to_string(k) + "=value " + std::to_string(s * 10 + k) + "\r\n";
  }
  // A value that holds 20 tokens.
  text += "[TOKENS]\r\nTWENTY=";
  for (int t = 0; t < 20; ++t) text += "%STR_" + std::to_string(t * 250) + "% ";
  text += "\r\n";
  WriteFile(script, text);

  std::string stringText = "[STRINGS]\r\n";
  for (int i = 0; i < 5000; ++i) stringText += "%STR_" + std::to_string(i) + "%=\"text " + std::to_string(i) + "\"\r\n";
  WriteFile(strings, stringText);

  std::mt19937 random(42);
  std::vector<std::pair<std::string, std::string>> keys;
  for (int i = 0; i < 2000; ++i) {
    keys.emplace_back("SECTION_" + std::to_string(random() % 2000), "KEY_" + std::to_string(random() % 9));
  }
  char buffer[1024];

  auto profile = std::make_unique<CProfile>();
  double create = Median(5, [&](int) { profile->Create(script.c_str(), nullptr, false); });
  double ours = Median(2000, [&](int i) {
    profile->GetString(keys[i].first.c_str(), keys[i].second.c_str(), buffer, sizeof(buffer), false);
  });
  double system = Median(2000, [&](int i) {
    GetPrivateProfileStringA(keys[i].first.c_str(), keys[i].second.c_str(), "", buffer, sizeof(buffer),
                             script.c_str());
  });
  std::printf("script of 20,000 lines and 2,000 sections\n");
  std::printf("  CProfile::Create (indexing)          median %9.1f us\n", create);
  std::printf("  CProfile::GetString                  median %9.1f us per lookup\n", ours);
  std::printf("  GetPrivateProfileStringA             median %9.1f us per lookup\n", system);

  auto withStrings = std::make_unique<CProfile>();
  withStrings->Create(script.c_str(), strings.c_str(), false);
  double tokens = Median(20, [&](int) {
    withStrings->GetString("TOKENS", "TWENTY", buffer, sizeof(buffer), false);
  });
  auto stringReader = std::make_unique<CProfile>();
  double indexStrings = Median(20, [&](int) { stringReader->Create(strings.c_str(), nullptr, false); });
  std::printf("value of 20 tokens, string file of 5,000 entries\n");
  std::printf("  CProfile::GetString                  median %9.1f us per value (%.1f us per token)\n", tokens,
              tokens / 20);
  std::printf("  of which indexing the string file    median %9.1f us per token\n", indexStrings);
  std::printf("  result: %.60s...\n", buffer);

  DeleteFileA(script.c_str());
  DeleteFileA(strings.c_str());
  return 0;
}
