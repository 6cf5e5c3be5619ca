// mediumcheck: checks an installation medium's scripts the way setup.exe reads
// them and reports "file:line: error|warning: text".
//
//   mediumcheck [--warnings-as-errors] [--lang XX] <medium folder>
//
// Exit code 0 when clean, 1 with errors (or with warnings under
// --warnings-as-errors), 2 for a wrong command line.
#include <cstdio>
#include <cstring>
#include <string>

#include "tools/mediumcheck/checker.h"
#include "tools/mediumcheck/medium_io.h"

namespace {

int Usage() {
  std::fprintf(stderr, "usage: mediumcheck [--warnings-as-errors] [--lang XX] <medium folder>\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  bool warningsAsErrors = false;
  std::string language, folder;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--warnings-as-errors") == 0) {
      warningsAsErrors = true;
    } else if (std::strcmp(argv[i], "--lang") == 0 && i + 1 < argc) {
      language = argv[++i];
    } else if (argv[i][0] == '-' || !folder.empty()) {
      return Usage();
    } else {
      folder = argv[i];
    }
  }
  if (folder.empty()) return Usage();
  while (folder.size() > 1 && (folder.back() == '\\' || folder.back() == '/')) folder.pop_back();

  mediumcheck::Medium medium;
  if (!mediumcheck::LoadMedium(folder, language, &medium)) {
    std::fprintf(stderr, "mediumcheck: no language %s in the medium's language list\n", language.c_str());
    return 2;
  }
  mediumcheck::MediumFacts facts(folder, medium);
  mediumcheck::Report report;
  mediumcheck::CheckMedium(medium, facts, report);
  for (const mediumcheck::Finding& f : report.Sorted()) {
    std::printf("%s\n", mediumcheck::FormatFinding(folder, f).c_str());
  }
  std::fflush(stdout);
  std::fprintf(stderr, "mediumcheck: %d error(s), %d warning(s)\n", report.Errors(), report.Warnings());
  return mediumcheck::ExitCode(report, warningsAsErrors);
}
