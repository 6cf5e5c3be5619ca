// The value rules, the lookups of a run, and the order of the checks.
#include <cctype>
#include <cstdlib>

#include "setup/core/utl_rules.h"
#include "tools/mediumcheck/checker_internal.h"

namespace mediumcheck {

bool ParseNumbers(const std::string& text, size_t count, std::vector<int>* numbers) {
  std::vector<std::string> fields = SplitList(text);
  if (fields.size() != count) return false;
  std::vector<int> out;
  for (const std::string& f : fields) {
    size_t i = (!f.empty() && (f[0] == '-' || f[0] == '+')) ? 1 : 0;
    if (i == f.size()) return false;
    for (size_t j = i; j < f.size(); ++j) {
      if (!std::isdigit(static_cast<unsigned char>(f[j]))) return false;
    }
    out.push_back(std::atoi(f.c_str()));
  }
  if (numbers) *numbers = out;
  return true;
}

bool ColourProblem(const std::string& text, std::string* problem) {
  problem->clear();
  if (Trim(text).empty()) return false;
  std::vector<int> rgb;
  if (!ParseNumbers(text, 3, &rgb)) {
    *problem = "is not a colour (red,green,blue)";
    return true;
  }
  for (int c : rgb) {
    if (c < 0 || c > 255) {
      *problem = "has a colour part outside 0-255";
      return true;
    }
  }
  COLORREF colour = 0;
  core::ParseColour(text, &colour);
  if (colour == core::kNoColour) {
    *problem = "is 1,1,1, the value that means no colour";
    return true;
  }
  return false;
}

std::vector<std::string> NamedTokens(const std::string& text, char mark) {
  std::vector<std::string> names;
  size_t open = text.find(mark);
  while (open != std::string::npos) {
    size_t close = text.find(mark, open + 1);
    if (close == std::string::npos) break;
    std::string name = text.substr(open + 1, close - open - 1);
    bool ok = name.size() >= 2, letter = false;
    for (char c : name) {
      if (std::isalpha(static_cast<unsigned char>(c))) letter = true;
      else if (!std::isdigit(static_cast<unsigned char>(c)) && c != '_') ok = false;
    }
    if (ok && letter) {
      names.push_back(name);
      open = text.find(mark, close + 1);
    } else {
      open = close;  // the closing mark may open the next token
    }
  }
  return names;
}

bool IsPredefinedVariable(const std::string& name) {
  static const std::set<std::string> names = {
      "LANG_ABBR", "SRC_DIR", "DEST_DIR", "WIN_DIR", "SYS_DIR", "INF_DIR", "OS_DIR", "PROGRAM_FILES_DIR",
      "LANG_DIR", "DATA_FILE", "CONFIG_FILE", "STRING_FILE", "VERSION", "IP", "SCANIP", "STRING_FILE_NAME",
      "LCID", "MANUAL_DIR", "MANUAL_FILE"};
  return names.count(Upper(name)) > 0;
}

bool Overlap(const Box& a, const Box& b) {
  return a.x < b.x + b.w && b.x < a.x + a.w && a.y < b.y + b.h && b.y < a.y + a.h;
}

bool Inside(const Box& box, int width, int height) {
  return box.x >= 0 && box.y >= 0 && box.x + box.w <= width && box.y + box.h <= height;
}

bool TextFits(SIZE text, const Box& control, bool wrapped) {
  if (wrapped) return text.cy <= control.h;
  return text.cx <= control.w;
}

bool ItemSelectable(const std::vector<int>& checkNumbers, bool installDefault, bool factoryInstall) {
  if (factoryInstall) return true;
  for (int n : checkNumbers) {
    if (n >= 1 && n <= 4) return true;          // ticked, listed, or always installed
    if (n == 0 && installDefault) return true;  // not listed, kept as INSTALL_DEFAULT says
  }
  return false;
}

// --- lookups -------------------------------------------------------------------------------

void Run::Visit(const ScriptFile& file, const std::string& section, bool anyKey) {
  Use& use = uses_[{&file, Upper(section)}];
  use.anyKey = use.anyKey || anyKey;
}

void Run::MarkKeys(const ScriptFile& file, const std::string& section, const std::vector<std::string>& keys) {
  Use& use = uses_[{&file, Upper(section)}];
  for (const std::string& k : keys) use.keys.insert(Upper(k));
}

Place Run::Key(const ScriptFile& file, const std::string& section, const std::string& key) {
  uses_[{&file, Upper(section)}].keys.insert(Upper(key));
  const Entry* e = file.Key(section, key);
  if (e) return Place{&file, e->line, e};
  return SectionPlace(file, section);
}

Place Run::DialogKey(const std::string& section, const std::string& key) {
  Place p = Key(m.config, section, key);
  if (p && !p.Value().empty()) return p;
  Place common = Key(m.config, "DLG_COMMON", key);
  return common && !common.Value().empty() ? common : p;
}

Place Run::SectionPlace(const ScriptFile& file, const std::string& section) {
  const Section* s = file.Find(section);
  return Place{&file, s ? s->line : 1, nullptr};
}

bool Run::Numbers(const Place& p, size_t count, const char* what, std::vector<int>* numbers) {
  if (!p || p.Value().empty()) return false;
  if (ParseNumbers(p.Value(), count, numbers)) return true;
  Error(p, p.entry->key + "=" + p.Value() + " is not " + what);
  return false;
}

void Run::Colour(const Place& p) {
  std::string problem;
  if (p && ColourProblem(p.Value(), &problem)) Error(p, p.entry->key + "=" + p.Value() + " " + problem);
}

void CheckMedium(const Medium& medium, Facts& facts, Report& report) {
  Run run(medium, facts, report);
  if (!medium.data.Loaded()) {
    report.Error(medium.data.Name(), 1, "the data file cannot be read");
    return;
  }
  run.ProgramInfo();
  run.Languages();
  run.Items();
  run.ShortcutsAndCopies();
  if (medium.config.Loaded()) {
    std::vector<std::string> chain;
    for (const std::string& section : RunCommandSections()) {
      Place where = run.FilePlace(medium.config);
      if (!run.HasSection(medium.config, section)) {
        run.Error(where, "command section [" + section + "] that a run starts or ends with is missing");
        continue;
      }
      run.CommandSection(where, section, chain);
    }
    Place cancel = run.Key(medium.config, "CANCEL_DLG", "CANCEL_MSG");
    if (cancel && !cancel.Value().empty()) {
      run.MessageKey(cancel, cancel.Value());
    } else {
      run.Error(cancel, "[CANCEL_DLG] CANCEL_MSG, the message key of the cancel question, is missing");
    }
    // DLG_COMMON holds the defaults of every page, object and font key.
    run.Visit(medium.config, "DLG_COMMON");
    run.MarkKeys(medium.config, "DLG_COMMON", {"DLG_BACK_COLOR"});
    run.Colour(run.Key(medium.config, "DLG_COMMON", "DLG_BACK_COLOR"));
    for (ObjectKind k : {ObjectKind::kLink, ObjectKind::kStatic, ObjectKind::kButton, ObjectKind::kBitmap,
                         ObjectKind::kLine}) {
      run.MarkKeys(medium.config, "DLG_COMMON", ObjectKeys(k));
    }
    run.MarkKeys(medium.config, "DLG_COMMON", DialogKeys());
    run.MarkKeys(medium.config, "DLG_COMMON", FontKeys());
  }
  run.Texts();
  run.Unread();
}

}  // namespace mediumcheck
