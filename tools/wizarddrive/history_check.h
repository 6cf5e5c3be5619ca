#pragma once
// Reads what an install history recorded and checks whether it still exists.
#include <string>
#include <vector>

namespace demo {

struct RecordedEntry {
  int kind;  // file, directory, key, value, shortcut, destination directory
  std::string text;
};

const char* KindName(int kind);
// Every entry of the six lists under the history key (local machine).
std::vector<RecordedEntry> ReadHistory(const std::string& historyKey);
// Counts per kind, in kind order.
std::vector<unsigned long> HistoryCounts(const std::string& historyKey);
bool StillExists(const RecordedEntry& entry);

}  // namespace demo
