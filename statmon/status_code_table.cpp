#include "statmon/status_code_table.h"

#include <cstring>

#include "framework/trace.h"
#include "statmon/text_lines.h"

namespace {

// Letters, digits and the nine signs " % - . / : @ \ _ may appear in a line.
bool IsPermitted(char c) {
  if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')) return true;
  switch (c) {
    case '"': case '%': case '-': case '.': case '/': case ':': case '@': case '\\': case '_':
      return true;
    default:
      return false;
  }
}

bool IsSeparator(char c) { return c == ' ' || c == '\t'; }

int HexValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads up to 8 characters as scanf's "%lx" does: leading white space, an
// optional sign, an optional 0x prefix, then hexadecimal digits up to the first
// other character. Nothing readable gives 0. (Hand-written: sscanf dominated
// the time of reading a large table.)
uint32_t ParseHalf(std::string_view text) {
  if (text.size() > 8) text = text.substr(0, 8);
  size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i + 2 < text.size() && text[i] == '0' && (text[i + 1] == 'x' || text[i + 1] == 'X') && HexValue(text[i + 2]) >= 0)
    i += 2;
  uint32_t value = 0;
  for (; i < text.size() && HexValue(text[i]) >= 0; ++i) value = value * 16 + static_cast<uint32_t>(HexValue(text[i]));
  return negative ? 0u - value : value;
}

}  // namespace

namespace sm {

uint64_t ParseStatusValue(std::string_view field) {
  if (field.size() <= 2) return 0;
  std::string_view rest = field.substr(2);
  uint64_t high = ParseHalf(rest.substr(0, 8));
  uint64_t low = rest.size() > 8 ? ParseHalf(rest.substr(8, 8)) : 0;
  return (high << 32) | low;
}

}  // namespace sm

CParser::~CParser() {
  qx::Trace("IN CParser::~CParser()");
  Clear();
  qx::Trace("OUT CParser::~CParser()");
}

bool CParser::ReadFile() {
  std::string bytes;
  if (!sm::ReadWholeFile(path_, &bytes)) {
    qx::Trace("File open is error in CParser");
    return false;
  }
  return ReadText(bytes);
}

bool CParser::ReadText(std::string_view bytes) {
  bool ok = true;
  int lines = 0;
  std::string line;
  sm::ForEachLine(bytes, [&](std::string_view raw, int number) {
    lines = number;
    std::string_view trimmed = sm::Trim(raw);
    if (trimmed.empty()) return true;
    line.assign(trimmed);
    if (!VerfifyString(line, number)) {
      qx::Trace("[ReadFile] LINES=%d, Vertifing String is failed", number);
      return ok = false;
    }
    if (line.empty()) return true;  // a whole-line comment
    if (!ParseString(line, number)) {
      qx::Trace("[ReadFile] LINES=%d, Parsing String is failed", number);
      return ok = false;
    }
    return true;
  });
  if (ok) qx::Trace("[ReadFile] Parsing %s is successfully complated, TOTAL LINES = %d", path_.c_str(), lines);
  return ok;
}

bool CParser::VerfifyString(std::string& line, int lineNumber) {
  int field = 1;
  int recognized = 0;
  bool quoted = false;
  bool betweenFields = true;
  for (size_t i = 0; i < line.size(); ++i) {
    char c = line[i];
    if (IsPermitted(c)) {
      ++recognized;
      if (c == '"') quoted = !quoted;
      betweenFields = false;
    } else if (IsSeparator(c)) {
      if (quoted || (i > 0 && IsSeparator(line[i - 1])) || recognized == 0 || betweenFields) continue;
      if (field == 5) {
        qx::Trace("[VerfifyString] LINES=%d, Over field error ( over 5 field )", lineNumber);
        return false;
      }
      ++field;
      betweenFields = true;
    } else if (c == ';') {
      // A comment may stand alone or follow at least three separated fields.
      if (recognized > 0 && field < 4) {
        qx::Trace("[VerfifyString] LINES=%d, The comment is incorrect, recognizeChar = %d, mode = %d", lineNumber,
                  recognized, field + 1000);
        return false;
      }
      line.erase(i);
      break;
    } else {
      qx::Trace("[VerfifyString] LINES=%d, Abnormal charactor is found", lineNumber);
      return false;
    }
  }
  if (quoted) {
    qx::Trace("[VerfifyString] LINES=%d, Quoatation is not paired", lineNumber);
    return false;
  }
  return true;
}

namespace {

// Copies a field into a fixed record slot; false when it does not fit.
bool CopyField(std::string_view field, char* slot, size_t slotSize) {
  if (field.size() >= slotSize) return false;
  std::memcpy(slot, field.data(), field.size());
  slot[field.size()] = '\0';
  return true;
}

std::string WithoutQuotes(std::string_view field) {
  std::string text;
  text.reserve(field.size());
  for (char c : field)
    if (c != '"') text += c;
  return text;
}

}  // namespace

bool CParser::ParseString(std::string_view line, int lineNumber) {
  StatusCodeRecord record;
  int fieldIndex = 0;
  bool quoted = false;
  bool waiting = true;
  bool inserted = false;
  bool fits = true;
  size_t start = 0;
  for (size_t i = 0; i < line.size() && fits; ++i) {
    char c = line[i];
    if (IsPermitted(c)) {
      if (waiting) {
        start = i;
        waiting = false;
      }
      if (c == '"') quoted = !quoted;
      continue;
    }
    if (!IsSeparator(c) || quoted || waiting) continue;
    std::string_view field = line.substr(start, i - start);
    switch (fieldIndex) {
      case 0: fits = CopyField(field, record.stringId, sizeof(record.stringId)); break;
      case 1: record.code = sm::ParseStatusValue(field); break;
      case 2: record.mask = sm::ParseStatusValue(field); break;
      case 3:
        fits = CopyField(WithoutQuotes(field), record.text, sizeof(record.text));
        if (fits) {
          records_.push_front(record);
          keys_.push_back({record.code, record.mask});
          inserted = true;
        }
        break;
      default: break;
    }
    ++fieldIndex;
    waiting = true;
  }
  if (fits && !inserted && fieldIndex == 3 && !waiting) {
    // The fourth field runs to the end of the line.
    if (CopyField(WithoutQuotes(line.substr(start)), record.text, sizeof(record.text))) {
      records_.push_front(record);
      keys_.push_back({record.code, record.mask});
      inserted = true;
    }
  }
  if (!inserted) qx::Trace("[ParseString] LINES=%d, PARSING LINE %d IS FAILED", lineNumber, lineNumber);
  return inserted;
}

const StatusCodeRecord* CParser::Find(uint32_t low, uint32_t high) const {
  const uint64_t raw = (static_cast<uint64_t>(high) << 32) | low;
  const size_t n = keys_.size();
  for (size_t k = n; k-- > 0;)
    if ((raw & keys_[k].mask) == (keys_[k].code & keys_[k].mask)) return &records_[n - 1 - k];
  return nullptr;
}
