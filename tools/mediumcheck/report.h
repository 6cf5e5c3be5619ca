#pragma once
// Findings of the checker: "file:line: error|warning: text". A finding is
// kept once, however many pages or languages lead to it.
#include <set>
#include <string>
#include <tuple>
#include <vector>

namespace mediumcheck {

enum class Severity { kError, kWarning };

struct Finding {
  std::string file;  // relative to the medium folder
  int line = 0;
  Severity severity = Severity::kError;
  std::string text;
};

class Report {
 public:
  void Add(const std::string& file, int line, Severity severity, const std::string& text);
  void Error(const std::string& file, int line, const std::string& text) { Add(file, line, Severity::kError, text); }
  void Warning(const std::string& file, int line, const std::string& text) {
    Add(file, line, Severity::kWarning, text);
  }
  // In file, then line order.
  std::vector<Finding> Sorted() const;
  int Errors() const;
  int Warnings() const;

 private:
  std::vector<Finding> findings_;
  std::set<std::tuple<std::string, int, int, std::string>> seen_;
};

// "file:line: error: text" with the folder put in front of the file name.
std::string FormatFinding(const std::string& folder, const Finding& finding);
// 0 clean; 1 with errors, or with warnings when they count as errors.
int ExitCode(const Report& report, bool warningsAsErrors);

}  // namespace mediumcheck
