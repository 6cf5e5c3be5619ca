#include "tools/mediumcheck/report.h"

#include <algorithm>

namespace mediumcheck {

void Report::Add(const std::string& file, int line, Severity severity, const std::string& text) {
  if (!seen_.insert({file, line, static_cast<int>(severity), text}).second) return;
  findings_.push_back(Finding{file, line, severity, text});
}

std::vector<Finding> Report::Sorted() const {
  std::vector<Finding> sorted = findings_;
  std::stable_sort(sorted.begin(), sorted.end(), [](const Finding& a, const Finding& b) {
    return a.file != b.file ? a.file < b.file : a.line < b.line;
  });
  return sorted;
}

int Report::Errors() const {
  return static_cast<int>(std::count_if(findings_.begin(), findings_.end(),
                                        [](const Finding& f) { return f.severity == Severity::kError; }));
}

int Report::Warnings() const { return static_cast<int>(findings_.size()) - Errors(); }

std::string FormatFinding(const std::string& folder, const Finding& finding) {
  std::string path = finding.file;
  if (!folder.empty()) {
    char separator = folder.find('/') != std::string::npos ? '/' : '\\';
    if (separator == '/') std::replace(path.begin(), path.end(), '\\', '/');
    path = folder + (folder.back() == separator ? "" : std::string(1, separator)) + path;
  }
  return path + ":" + std::to_string(finding.line) + ": " +
         (finding.severity == Severity::kError ? "error" : "warning") + ": " + finding.text;
}

int ExitCode(const Report& report, bool warningsAsErrors) {
  if (report.Errors() > 0) return 1;
  return warningsAsErrors && report.Warnings() > 0 ? 1 : 0;
}

}  // namespace mediumcheck
