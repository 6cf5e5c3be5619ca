#include "statmon/string_table.h"

#include <cstring>

#include "framework/trace.h"
#include "statmon/text_lines.h"

bool CStrTableList::Initialize(const char* fileName) {
  std::string bytes;
  if (!fileName || !sm::ReadWholeFile(fileName, &bytes)) {
    qx::Trace("IN CStrTableList::Initialize(), Multi language Files open failed %s", fileName ? fileName : "");
    return false;
  }
  Load(bytes, fileName);
  return true;
}

void CStrTableList::Load(std::string_view bytes, const char* fileName) {
  if (!fileName) fileName = "";
  sm::ForEachLine(bytes, [&](std::string_view raw, int number) {
    std::string_view line = sm::Trim(raw);
    if (line.empty()) return true;
    size_t equals = line.find('=');
    if (equals == std::string_view::npos) {
      qx::Trace("CStrTableList::Initialize(LPTSTR szStrFileName)");
      qx::Trace("= sign is not found. Maybe this is the problem of [%s]", fileName);
      return false;
    }
    std::string_view id = sm::Trim(line.substr(0, equals));
    std::string_view text = sm::Trim(line.substr(equals + 1));
    if (text.size() > kMaxText) {
      qx::Trace("CStrTableList: line %d of [%s]: text of [%.*s] is longer than %u characters, entry refused", number,
                fileName, static_cast<int>(id.size() > 63 ? 63 : id.size()), id.data(),
                static_cast<unsigned>(kMaxText));
      return true;
    }
    entries_.push_back(Entry{std::string(id), std::string(text)});
    return true;
  });
}

const CStrTableList::Entry* CStrTableList::FindEntry(std::string_view id) const {
  for (const Entry& entry : entries_)
    if (entry.id == id) return &entry;
  return nullptr;
}

bool CStrTableList::Lookup(const char* id, char* buffer, size_t size) const {
  const Entry* entry = id ? FindEntry(id) : nullptr;
  if (buffer && size > 0) {
    size_t n = entry ? entry->text.size() : 0;
    if (n >= size) n = size - 1;
    if (n) std::memcpy(buffer, entry->text.data(), n);
    buffer[n] = '\0';
  }
  return entry != nullptr;
}

bool CStrTableList::Lookup(std::string_view id, std::string* text) const {
  const Entry* entry = FindEntry(id);
  text->assign(entry ? entry->text : std::string());
  return entry != nullptr;
}

std::string CStrTableList::Text(std::string_view id) const {
  std::string text;
  Lookup(id, &text);
  return text;
}

void CStrTableList::Cleanup() {
  qx::Trace("Enter CStrTableList Cleanup(%d)", static_cast<int>(entries_.size()));
  entries_.clear();
}
