#pragma once
// The checks of a medium. Every decision works on the parsed scripts
// (Medium) and asks the machine only through Facts; findings go to a Report.
#include <map>
#include <set>
#include <string>
#include <vector>

#include "tools/mediumcheck/medium.h"
#include "tools/mediumcheck/page_kinds.h"
#include "tools/mediumcheck/report.h"

namespace mediumcheck {

void CheckMedium(const Medium& medium, Facts& facts, Report& report);

// --- value rules, shared by the checks and tested directly ---------------------
// Exactly `count` comma-separated decimal integers (a sign allowed).
bool ParseNumbers(const std::string& text, size_t count, std::vector<int>* numbers);
// "r,g,b", each 0-255, and not the "no colour" value 1,1,1. Empty text: the
// message is empty and the result true (no colour given).
bool ColourProblem(const std::string& text, std::string* problem);
// Names between pairs of `mark` that look like names (letters, digits,
// underscores, at least two characters): "$SRC_DIR$", "%TITLE%", "@KEY@".
std::vector<std::string> NamedTokens(const std::string& text, char mark);
// The predefined variables a run replaces.
bool IsPredefinedVariable(const std::string& name);

struct Box {
  int x = 0, y = 0, w = 0, h = 0;
};
bool Overlap(const Box& a, const Box& b);
bool Inside(const Box& box, int width, int height);
// Whether a measured text fits a control: one line must fit its width, a
// wrapped text its height.
bool TextFits(SIZE text, const Box& control, bool wrapped);

// Whether an item can be installed by some install type: its check numbers
// (empty means 3), INSTALL_DEFAULT and FACTORY_INSTALL.
bool ItemSelectable(const std::vector<int>& checkNumbers, bool installDefault, bool factoryInstall);

}  // namespace mediumcheck
