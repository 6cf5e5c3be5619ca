// Lookup speed of the script reader against the system's private-profile
// reader on the same generated files, the in-memory answers to the system
// reader's questions (profile_cache.h) against the system's reader itself, and
// the cost of percent tokens that are looked up in a large string file, with
// the string file read for every token (the reference) and indexed once per
// reader. The files are dated an hour back, as a medium's are. Prints medians;
// run under Wine:
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
#include "setup/scriptlib/profile_cache.h"

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
  {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
  }
  HANDLE file = CreateFileA(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  FILETIME now;
  GetSystemTimeAsFileTime(&now);
  ULARGE_INTEGER t{{now.dwLowDateTime, now.dwHighDateTime}};
  t.QuadPart -= 3600ull * 10000000ull;
  FILETIME old{t.LowPart, t.HighPart};
  SetFileTime(file, nullptr, nullptr, &old);
  CloseHandle(file);
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

  scriptlib::ForgetAllProfiles();
  double firstMemory = Median(1, [&](int i) {
    scriptlib::ReadProfileString(keys[i].first.c_str(), keys[i].second.c_str(), "", buffer, sizeof(buffer),
                                 script.c_str());
  });
  double memory = Median(2000, [&](int i) {
    scriptlib::ReadProfileString(keys[i].first.c_str(), keys[i].second.c_str(), "", buffer, sizeof(buffer),
                                 script.c_str());
  });
  std::printf("  ReadProfileString (from memory)      median %9.1f us per lookup (%.0fx fewer than the system's)\n",
              memory, system / memory);
  std::printf("  of which the first (reads and parses) %9.1f us\n", firstMemory);

  // The string file read for every token (reader switched off), then indexed once per reader.
  double perToken[2] = {0, 0};
  std::string results[2];
  for (int indexed = 0; indexed < 2; ++indexed) {
    scriptlib::SetProfileCacheEnabled(indexed == 1);
    auto withStrings = std::make_unique<CProfile>();
    withStrings->Create(script.c_str(), strings.c_str(), false);
    perToken[indexed] = Median(indexed ? 200 : 20, [&](int) {
                          withStrings->GetString("TOKENS", "TWENTY", buffer, sizeof(buffer), false);
                        }) / 20;
    results[indexed] = buffer;
  }
  scriptlib::SetProfileCacheEnabled(true);
  auto fresh = std::make_unique<CProfile>();
  fresh->Create(script.c_str(), strings.c_str(), false);
  double first = Median(1, [&](int) { fresh->GetString("TOKENS", "TWENTY", buffer, sizeof(buffer), false); });
  auto stringReader = std::make_unique<CProfile>();
  double indexStrings = Median(20, [&](int) { stringReader->Create(strings.c_str(), nullptr, false); });
  std::printf("value of 20 tokens, string file of 5,000 entries\n");
  std::printf("  string file read for every token     median %9.1f us per token (%.2f tokens per ms)\n", perToken[0],
              1000 / perToken[0]);
  std::printf("  of which indexing the string file    median %9.1f us per token\n", indexStrings);
  std::printf("  string file indexed once per reader  median %9.1f us per token (%.2f tokens per ms, %.0fx fewer us)\n",
              perToken[1], 1000 / perToken[1], perToken[0] / perToken[1]);
  std::printf("  of which the first value (indexes)          %9.1f us\n", first);
  std::printf("  results %s: %.60s...\n", results[0] == results[1] ? "identical" : "DIFFERENT", results[1].c_str());

  DeleteFileA(script.c_str());
  DeleteFileA(strings.c_str());
  return 0;
}
