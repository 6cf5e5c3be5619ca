// Items, shortcuts and copies of the data file; tokens and comments in every
// script; keys and sections nothing reads.
#include <cstdlib>
#include <cstring>

#include "setup/core/utl_rules.h"
#include "tools/mediumcheck/checker_internal.h"

namespace mediumcheck {
namespace {

const char* const kCheckKeys[] = {"CHK_LC_TYPICAL",    "CHK_LC_CUSTOM",     "CHK_NW_LC_PRINTER",
                                  "CHK_NW_LC_SERVER",  "CHK_NW_RT_PRINTER", "CHK_NW_RT_SERVER"};

bool IsDecimal(const std::string& text) {
  if (text.empty()) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

}  // namespace

void Run::Items() {
  Visit(m.data, "ITEM_INFO", true);
  const Section* info = m.data.Find("ITEM_INFO");
  Place counts = Key(m.data, "ITEM_INFO", "COUNTS");
  if (!info || !counts || Trim(counts.Value()).empty()) {
    Error(counts, "ITEM_INFO has no COUNTS: a run installs nothing");
    return;
  }
  if (!IsDecimal(Trim(counts.Value()))) Error(counts, "COUNTS=" + counts.Value() + " is not a number");
  int n = std::atoi(counts.Value().c_str());
  for (const Entry& e : info->entries) {
    std::string k = Upper(e.key);
    if (e.isKey && k.rfind("ITEM_", 0) == 0 && IsDecimal(k.substr(5)) && std::atoi(k.c_str() + 5) >= n) {
      Error(Place{&m.data, e.line, &e}, e.key + " lies beyond COUNTS=" + std::to_string(n) + ": a run never reads it");
    }
  }
  for (int i = 0; i < n; ++i) {
    std::string key = "ITEM_" + std::to_string(i);
    Place item = Key(m.data, "ITEM_INFO", key);
    if (!item || item.Value().empty()) {
      Error(counts, "COUNTS=" + std::to_string(n) + " but ITEM_INFO has no " + key);
      continue;
    }
    std::string section = item.Value();
    if (!HasSection(m.data, section)) {
      Error(item, "item section [" + section + "] is missing from " + m.data.Name());
      continue;
    }
    items.insert(Upper(section));
    Visit(m.data, section);
    MarkKeys(m.data, section, ItemKeys());
    for (const char* prefix : {"INST_PARAM_", "UNINST_PARAM_"}) {
      for (int p = 0; p < 20; ++p) {
        Place param = Key(m.data, section, prefix + std::to_string(p));
        if (!param || param.Value().empty()) break;
      }
    }
    for (const char* k : {"DISPLAY_NAME", "DESCRIPTION", "TOOLTIP"}) {
      Place p = Key(m.data, section, k);
      if (p && !p.Value().empty()) MessageKey(p, p.Value());
    }
    std::vector<int> numbers;
    for (const char* k : kCheckKeys) {
      Place p = Key(m.data, section, k);
      std::string v = Trim(p.Value());
      if (v.empty()) {
        numbers.push_back(3);
      } else if (!IsDecimal(v) || std::atoi(v.c_str()) > 5) {
        Error(p, std::string(k) + "=" + v + " is not a check number 0-5");
        numbers.push_back(std::atoi(v.c_str()) & 0xF);
      } else {
        numbers.push_back(std::atoi(v.c_str()));
      }
    }
    bool installDefault = core::StringToNumber(m.data.Value(section, "INSTALL_DEFAULT").c_str()) != 0;
    bool factory = core::StringToNumber(m.data.Value(section, "FACTORY_INSTALL").c_str()) != 0;
    if (!ItemSelectable(numbers, installDefault, factory)) {
      Warning(SectionPlace(m.data, section), "item " + section + " is never installed: no install type lists or ticks it");
    }
    for (const char* k : {"UNSUPPORTED_OS", "SIGNED_OS"}) {
      Place p = Key(m.data, section, k);
      if (p && !p.Value().empty()) OsList(p, p.Value());
    }
    for (const char* k : {"INST_CMDSTR", "INF_FILE", "INF_9X", "INF_NT", "INF_2K"}) {
      Place p = Key(m.data, section, k);
      if (p && !p.Value().empty()) MediumFile(p, p.Value(), std::string(k) + " file");
    }
  }
}

void Run::ShortcutsAndCopies() {
  struct List {
    const char* info;
    const std::vector<std::string>* keys;
    std::vector<const char*> required;
  };
  const List lists[] = {{"SHORTCUT_INFO", &ShortcutKeys(), {"NAME"}},
                        {"COPY_FILE_INFO", &CopyKeys(), {"SOURCE", "DESTINATION"}}};
  for (const List& list : lists) {
    const Section* s = m.data.Find(list.info);
    if (!s) continue;
    Visit(m.data, list.info, true);
    for (const Entry& e : s->entries) {
      Place where{&m.data, e.line, &e};
      if (!HasSection(m.data, e.text)) {
        Error(where, std::string(list.info) + " names the missing section [" + e.text + "]");
        continue;
      }
      Visit(m.data, e.text);
      MarkKeys(m.data, e.text, *list.keys);
      for (const char* k : list.required) {
        Place p = Key(m.data, e.text, k);
        if (!p || p.Value().empty()) Error(p, "[" + e.text + "] has no " + k);
      }
      Place source = Key(m.data, e.text, "SOURCE");
      if (source && !source.Value().empty()) MediumFile(source, source.Value(), "copy source");
    }
  }
}

void Run::Texts() {
  std::vector<const ScriptFile*> files = {&m.data, &m.config};
  for (const Language& l : m.languages) {
    if (l.strings.Loaded()) files.push_back(&l.strings);
  }
  for (const ScriptFile* f : files) {
    if (!f->Loaded()) continue;
    bool isStrings = f != &m.data && f != &m.config;
    for (const Section& s : f->Sections()) {
      bool stringsSection = SameName(s.name, "STRINGS");
      for (const Entry& e : s.entries) {
        Place p{f, e.line, &e};
        if (e.commentCut) {
          Warning(p, "a comment follows the value" + (e.isKey ? " of " + e.key : std::string()) +
                         ": single-value lookups keep it as part of the value");
        } else if (e.trailingBlank) {
          Warning(p, "trailing blank after the value" + (e.isKey ? " of " + e.key : std::string()));
        }
        const std::string& value = e.isKey ? e.profileValue : e.text;
        for (const std::string& v : NamedTokens(value, '$')) {
          if (!IsPredefinedVariable(v)) Error(p, "$" + v + "$ is not a predefined variable");
        }
        for (const std::string& t : NamedTokens(value, '%')) {
          std::string token = "%" + t + "%";
          bool defined = m.data.Key("STRINGS", token) || f->Key("STRINGS", token);
          if (!defined) Error(p, token + " is defined by no STRINGS section");
        }
        if (isStrings || stringsSection) continue;
        for (const std::string& key : NamedTokens(value, '@')) MessageKey(p, key);
      }
    }
  }
}

void Run::Unread() {
  for (const ScriptFile* f : {&m.data, &m.config}) {
    if (!f->Loaded()) continue;
    for (const Section& s : f->Sections()) {
      auto use = Uses().find({f, Upper(s.name)});
      if (use == Uses().end()) {
        Warning(Place{f, s.line, nullptr}, "section [" + s.name + "] is never read");
        continue;
      }
      if (use->second.anyKey || f->Find(s.name) != &s) continue;
      bool common = SameName(s.name, "DLG_COMMON");
      for (const Entry& e : s.entries) {
        Place p{f, e.line, &e};
        std::string k = Upper(e.key);
        if (!e.isKey) {
          Warning(p, "line " + e.text + " is not a key line: nothing reads it");
          continue;
        }
        if (use->second.keys.count(k)) continue;
        if (common) {
          bool fixedKey = false;
          for (const char* suffix : {"_RECT", "_SHOW", "_NAME", "_TOOLTIP", "_COMMAND", "_FONT"}) {
            size_t n = strlen(suffix);
            if (k.size() > n && k.compare(k.size() - n, n, suffix) == 0) fixedKey = true;
          }
          if (fixedKey) continue;
        }
        Warning(p, e.key + " is never read in [" + s.name + "] (a misspelled key?)");
      }
    }
  }
}

}  // namespace mediumcheck
