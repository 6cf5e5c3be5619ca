#pragma once
// The parsed medium the checks work on, and the few questions they ask of the
// machine (files on the medium, bitmap resources, text extents), answered at
// the edge (medium_io.cpp) or by a test.
#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "tools/mediumcheck/script_model.h"

namespace mediumcheck {

// A language the data file lists, with the string file a run would read for it.
struct LanguageRef {
  unsigned id = 0;
  std::string abbreviation;
  std::string stringFile;  // relative to the medium (or absolute)
  int line = 0;            // of its entry in the language list
};

struct Language {
  LanguageRef ref;
  ScriptFile strings;  // not Loaded() when the file is missing
};

struct Medium {
  ScriptFile data;
  ScriptFile config;
  std::vector<Language> languages;  // those to check (all, or the one of --lang)
};

class Facts {
 public:
  virtual ~Facts() = default;
  // A file (wildcards allowed) relative to the medium folder, or absolute.
  virtual bool FileExists(const std::string& name) = 0;
  // The size of a bitmap resource of the resource library or of setup.exe;
  // nothing when neither has it.
  virtual std::optional<SIZE> Bitmap(const std::string& name) = 0;
  // The extent of a text in a font; with wrapWidth > 0 the text is broken
  // into lines of that width (as a word-wrapping static control does).
  virtual SIZE MeasureText(const LOGFONTA& font, const std::string& text, int wrapWidth) = 0;
};

// The languages of the data file's SUPPORTED_LANG list and their string files.
std::vector<LanguageRef> ListLanguages(const ScriptFile& data);
// A script-named file relative to the medium folder: ".\x" and "x" are "x";
// names with a drive or above the medium stay as written.
std::string MediumRelative(const std::string& name);

}  // namespace mediumcheck
