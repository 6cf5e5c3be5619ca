#include "setup/scriptlib/profile.h"

#include <cstring>
#include <unordered_map>

#include "framework/trace.h"
#include "setup/scriptlib/line_rules.h"
#include "setup/scriptlib/profile_cache.h"

using scriptlib::kLineBufferSize;

// A window of file bytes, so that reading the lines of one lookup costs one
// seek and read per 64 KB instead of one per line. It is dropped at the start
// of every lookup: nothing read before is trusted afterwards.
struct CProfile::ReadWindow {
  static constexpr size_t kCapacity = 65536;
  long start = 0;
  size_t size = 0;
  bool valid = false;
  long end = -1;  // where a Ctrl-Z at the end of the file ends it, as in text-mode reading
  char data[kCapacity];

  void Drop() { valid = false; }
  bool Contains(long position) const {
    return valid && position >= start && static_cast<size_t>(position - start) < size;
  }
};

struct CProfile::KeyIndex {
  std::unordered_map<std::string, std::string> values;
};

namespace {

constexpr unsigned long kSeekError = ERROR_SEEK;
constexpr unsigned long kReadError = ERROR_READ_FAULT;

std::unique_ptr<char[]> NewLineBuffer() {
  auto buffer = std::make_unique<char[]>(kLineBufferSize);
  buffer[0] = '\0';
  return buffer;
}

std::string StripQuotes(const char* value) {
  std::string text(value);
  size_t start = text.find_first_not_of('"');
  if (start == std::string::npos) return std::string();
  size_t end = text.find_last_not_of('"');
  return text.substr(start, end - start + 1);
}

unsigned long CopyOut(const std::string& text, char* buffer, unsigned long size) {
  if (text.size() + 1 > size) return CProfile::kBufferTooSmall;
  std::memcpy(buffer, text.c_str(), text.size() + 1);
  return CProfile::kSuccess;
}

void ReplaceAll(std::string* text, const std::string& from, const std::string& to) {
  for (size_t at = text->find(from); at != std::string::npos; at = text->find(from, at + to.size())) {
    text->replace(at, from.size(), to);
  }
}

}  // namespace

CProfile::CProfile()
    : file_(nullptr), stringFile_{}, scriptPath_{}, writeOnly_(false), window_(std::make_unique<ReadWindow>()) {}

CProfile::CProfile(const char* path, const char* stringFile) : CProfile() { Create(path, stringFile, false); }

CProfile::~CProfile() {
  CloseFile();
  FreeSections();
}

void CProfile::CloseFile() {
  if (file_) std::fclose(file_);
  file_ = nullptr;
  window_->Drop();
  window_->end = -1;
}

// A Ctrl-Z among the blank bytes that end a file (an editor's end-of-file
// mark) ends the file there; one followed by more text is an ordinary byte.
long CProfile::TextEnd() {
  if (std::fseek(file_, 0, SEEK_END) != 0) return -1;
  long size = std::ftell(file_);
  long tail = std::min<long>(size, static_cast<long>(ReadWindow::kCapacity));
  if (size <= 0 || std::fseek(file_, size - tail, SEEK_SET) != 0) return -1;
  size_t got = std::fread(window_->data, 1, static_cast<size_t>(tail), file_);
  long end = -1;
  for (size_t i = got; i > 0; --i) {
    char c = window_->data[i - 1];
    if (c == 0x1A) end = size - tail + static_cast<long>(i - 1);
    else if (c != '\r' && c != '\n' && c != ' ' && c != '\t') break;
  }
  std::clearerr(file_);
  return end;
}

void CProfile::FreeSections() {
  for (int i = 0; i < sections_.GetSize(); ++i) delete sections_[i];
  sections_.Reset();
  upperNames_.clear();
}

unsigned long CProfile::Create(const char* path, const char* stringFile, bool writeOnly) {
  writeOnly_ = writeOnly;
  if (!path || !*path) return kBadArgument;
  if (std::strlen(path) >= sizeof(scriptPath_) || (stringFile && std::strlen(stringFile) >= sizeof(stringFile_))) {
    qx::Trace("[CProfile] path too long: %.80s", path);
    return kBadArgument;
  }
  CloseFile();
  FreeSections();
  stringReader_.reset();
  stringsIndex_.reset();
  std::strcpy(scriptPath_, path);
  if (stringFile) std::strcpy(stringFile_, stringFile);
  // Whoever reads the script by its values sees it as it is now.
  scriptlib::ForgetProfile(scriptPath_);
  if (writeOnly_) return kSuccess;
  // Binary mode: line ends are handled here, and TextEnd the Ctrl-Z of text mode.
  file_ = std::fopen(path, "rb");
  if (!file_) return kCannotOpen;
  window_->end = TextEnd();
  return CreateSectionList();
}

unsigned long CProfile::Reload(const char* path, const char* stringFile) {
  CloseFile();
  FreeSections();
  return Create(path, stringFile, writeOnly_);
}

unsigned long CProfile::ReadOneLine(char* buffer, unsigned long size, unsigned long* length, long position,
                                    int origin) {
  if (!buffer || size == 0) return kBadArgument;
  if (!file_) return ERROR_INVALID_HANDLE;
  ReadWindow& w = *window_;
  if (origin != SEEK_SET) {
    if (std::fseek(file_, position, origin) != 0) return kSeekError;
    position = std::ftell(file_);
    w.Drop();
  }
  if (position < 0) return kSeekError;

  // Loads the window at pos unless it holds it; false at end of file.
  unsigned long error = 0;
  auto load = [&](long pos) -> bool {
    if (w.Contains(pos)) return true;
    if (w.end >= 0 && pos >= w.end) return false;
    w.valid = false;
    if (std::fseek(file_, pos, SEEK_SET) != 0) {
      error = kSeekError;
      return false;
    }
    w.size = std::fread(w.data, 1, ReadWindow::kCapacity, file_);
    if (std::ferror(file_)) {
      std::clearerr(file_);
      error = kReadError;
      return false;
    }
    if (w.end >= 0 && pos + static_cast<long>(w.size) > w.end) w.size = static_cast<size_t>(w.end - pos);
    w.start = pos;
    w.valid = w.size > 0;
    return w.valid;
  };

  unsigned long copied = 0;
  unsigned long consumed = 0;
  bool ended = false;
  bool endedWithCr = false;
  while (!ended && load(position + static_cast<long>(consumed))) {
    size_t at = static_cast<size_t>(position + static_cast<long>(consumed) - w.start);
    for (; at < w.size; ++at) {
      char c = w.data[at];
      ++consumed;
      if (c == '\n' || c == '\r') {
        ended = true;
        endedWithCr = c == '\r';
        break;
      }
      if (copied + 1 < size) buffer[copied++] = c;  // the rest of an over-long line is skipped
    }
  }
  if (error) return error;
  if (consumed == 0) {
    std::memset(buffer, 0, size);
    if (length) *length = 0;
    return kEndOfFile;
  }
  if (endedWithCr && load(position + static_cast<long>(consumed)) &&
      w.data[position + static_cast<long>(consumed) - w.start] == '\n') {
    ++consumed;
  }
  if (error) return error;
  if (ended && copied + 1 < size) buffer[copied++] = '\n';
  buffer[copied] = '\0';
  if (length) *length = consumed - 1;
  return kSuccess;
}

bool CProfile::VerifyLine(char* line) { return scriptlib::CleanLine(line); }

bool CProfile::GetSection(const char* line, char* name) {
  std::string text;
  if (!scriptlib::ParseHeader(line, &text)) return false;
  if (name) std::memcpy(name, text.c_str(), text.size() + 1);
  return true;
}

bool CProfile::GetKey(const char* line, char* key, char* value) {
  std::string k, v;
  if (!scriptlib::ParseKeyLine(line, &k, &v)) return false;
  if (key) std::memcpy(key, k.c_str(), k.size() + 1);
  if (value) std::memcpy(value, v.c_str(), v.size() + 1);
  return true;
}

unsigned long CProfile::CreateSectionList() {
  FreeSections();
  if (!file_) return kSuccess;
  window_->Drop();
  auto line = NewLineBuffer();
  long position = 0;
  for (;;) {
    unsigned long length = 0;
    unsigned long result = ReadOneLine(line.get(), kLineBufferSize, &length, position, SEEK_SET);
    if (result == kEndOfFile) return kSuccess;
    if (result != kSuccess) return result;
    long next = position + static_cast<long>(length) + 1;
    std::string name;
    if (VerifyLine(line.get()) && scriptlib::ParseHeader(line.get(), &name)) {
      if (sections_.GetSize() >= CSectionList::kCapacity) {
        qx::Trace("[CProfile] %s holds more than %d sections; the rest are not indexed", scriptPath_,
                  CSectionList::kCapacity);
        return kSuccess;
      }
      auto* record = new SECTION{};
      std::memcpy(record->name, name.c_str(), name.size() + 1);
      record->offset = next;
      sections_.Add(record);
      upperNames_.push_back(scriptlib::UpperCase(record->name));
    }
    position = next;
  }
}

unsigned long CProfile::FindSection(const char* name, long* position) {
  if (!name) return kBadArgument;
  std::string upper = scriptlib::UpperCase(name);
  if (upper.size() >= scriptlib::kSectionNameSize) return kNotFound;
  for (size_t i = 0; i < upperNames_.size(); ++i) {
    if (upperNames_[i] == upper) {
      if (position) *position = sections_[static_cast<int>(i)]->offset;
      return kSuccess;
    }
  }
  return kNotFound;
}

unsigned long CProfile::FindKey(long position, const char* key, char* buffer, unsigned long size,
                                long* linePosition) {
  if (!key) return kBadArgument;
  if (!file_) return kNotFound;
  window_->Drop();
  std::string upperKey = scriptlib::UpperCase(key);
  auto line = NewLineBuffer();
  for (;;) {
    unsigned long length = 0;
    unsigned long result = ReadOneLine(line.get(), kLineBufferSize, &length, position, SEEK_SET);
    if (result == kEndOfFile) {
      if (linePosition) *linePosition = position;
      return kNotFound;
    }
    if (result != kSuccess) return result;
    long next = position + static_cast<long>(length) + 1;
    if (VerifyLine(line.get())) {
      if (scriptlib::ParseHeader(line.get(), nullptr)) {
        if (linePosition) *linePosition = position;
        return kNotFound;
      }
      std::string k, v;
      if (scriptlib::ParseKeyLine(line.get(), &k, &v) && scriptlib::UpperCase(k.c_str()) == upperKey) {
        if (linePosition) *linePosition = position;
        return buffer ? CopyOut(v, buffer, size) : kSuccess;
      }
    }
    position = next;
  }
}

unsigned long CProfile::GetData(const char* section, const char* key, char* buffer, unsigned long size) {
  if (!section || !*section || !key || !*key || !buffer || size == 0) return kBadArgument;
  if (stringsIndex_ && scriptlib::UpperCase(section) == "STRINGS") {
    auto found = stringsIndex_->values.find(scriptlib::UpperCase(key));
    if (found == stringsIndex_->values.end()) return kNotFound;
    return CopyOut(found->second, buffer, size);
  }
  long position = 0;
  unsigned long result = FindSection(section, &position);
  if (result != kSuccess) return result;
  return FindKey(position, key, buffer, size, nullptr);
}

unsigned long CProfile::GetString(const char* section, const char* key, char* buffer, unsigned long size,
                                  bool convertEscapes) {
  unsigned long result = GetData(section, key, buffer, size);
  // Also on failure: a default the caller left in the buffer is expanded too.
  ConvertDefinedString(buffer, size, convertEscapes);
  return result;
}

// The STRINGS section of this reader's file, read once into the index; the
// file is closed afterwards. A read error leaves no index (0 on success).
unsigned long CProfile::IndexStrings() {
  auto index = std::make_unique<KeyIndex>();
  long position = 0;
  if (FindSection("STRINGS", &position) == kSuccess) {
    window_->Drop();
    auto line = NewLineBuffer();
    for (;;) {
      unsigned long length = 0;
      unsigned long result = ReadOneLine(line.get(), kLineBufferSize, &length, position, SEEK_SET);
      if (result == kEndOfFile) break;
      if (result != kSuccess) return result;
      position += static_cast<long>(length) + 1;
      if (!VerifyLine(line.get())) continue;
      if (scriptlib::ParseHeader(line.get(), nullptr)) break;
      std::string k, v;
      if (scriptlib::ParseKeyLine(line.get(), &k, &v)) index->values.emplace(scriptlib::UpperCase(k.c_str()), v);
    }
  }
  stringsIndex_ = std::move(index);
  CloseFile();
  return kSuccess;
}

// The indexed reader of the string file, made on first use; null when the
// in-memory readers are off or the file cannot be read (then every token
// tries the file again).
CProfile* CProfile::StringReader() {
  if (!stringReader_ && scriptlib::ProfileCacheEnabled()) {
    auto reader = std::make_unique<CProfile>();
    if (reader->Create(stringFile_, nullptr, false) == kSuccess && reader->IndexStrings() == kSuccess) {
      stringReader_ = std::move(reader);
    }
  }
  return stringReader_.get();
}

unsigned long CProfile::GetStringValue(const char* token, char* buffer, unsigned long size) {
  if (!token || !*token || !buffer || size == 0) return kBadArgument;
  auto value = NewLineBuffer();
  if (stringFile_[0]) {
    // A reader with no string file of its own: the value's tokens are expanded
    // from the string file's STRINGS section only, one level deep.
    CProfile* indexed = StringReader();
    std::unique_ptr<CProfile> once;
    if (!indexed) {
      once = std::make_unique<CProfile>();
      if (once->Create(stringFile_, nullptr, false) != kSuccess) once.reset();
    }
    CProfile* strings = indexed ? indexed : once.get();
    if (strings && strings->GetString("STRINGS", token, value.get(), kLineBufferSize, false) == kSuccess) {
      return CopyOut(StripQuotes(value.get()), buffer, size);
    }
    value[0] = '\0';
  }
  unsigned long result = GetData("STRINGS", token, value.get(), kLineBufferSize);
  if (result != kSuccess) return result;
  return CopyOut(StripQuotes(value.get()), buffer, size);
}

unsigned long CProfile::ConvertDefinedString(char* buffer, unsigned long size, bool convertEscapes) {
  if (!buffer || size == 0 || !*buffer) return kBadArgument;
  std::string text(buffer, strnlen(buffer, size));
  // Escapes can at most halve the text, so more than twice the buffer can never fit.
  const size_t limit = std::min<size_t>(static_cast<size_t>(size) * 2, 4 * kLineBufferSize);
  auto value = NewLineBuffer();
  // Every lookup counts, found or not: each one may open the string file.
  int lookups = 0;
  size_t open = text.find('%');
  while (open != std::string::npos) {
    size_t close = text.find('%', open + 1);
    if (close == std::string::npos) break;
    std::string token = text.substr(open, close - open + 1);
    if (++lookups > kMaxTokenReplacements) {
      qx::Trace("[CProfile] token expansion stopped after %d lookups at %s", kMaxTokenReplacements, token.c_str());
      break;
    }
    if (GetStringValue(token.c_str(), value.get(), kLineBufferSize) == kSuccess) {
      // The size is known before the text is built, so it never grows past the limit.
      size_t count = 0;
      for (size_t at = text.find(token); at != std::string::npos; at = text.find(token, at + token.size())) ++count;
      size_t valueSize = std::strlen(value.get());
      if (text.size() - count * token.size() + count * valueSize > limit) {
        qx::Trace("[CProfile] token expansion of %s passes %lu bytes; the value stays unexpanded", token.c_str(),
                  static_cast<unsigned long>(limit));
        return CProfile::kBufferTooSmall;
      }
      ReplaceAll(&text, token, value.get());
    }
    // The search goes on after the closing "%", counted in the replaced text.
    open = close + 1 < text.size() ? text.find('%', close + 1) : std::string::npos;
  }
  if (convertEscapes) {
    ReplaceAll(&text, "\\r", "\r");
    ReplaceAll(&text, "\\n", "\n");
  }
  if (text.size() >= size) return CProfile::kBufferTooSmall;
  std::memset(buffer, 0, size);
  std::memcpy(buffer, text.data(), text.size());
  return kSuccess;
}

unsigned long CProfile::GetAllKey(const char* section, char* buffer, unsigned long size, bool keyLinesOnly) {
  if (!section || !*section || !buffer || size == 0) return kBadArgument;
  long position = 0;
  unsigned long result = FindSection(section, &position);
  if (result != kSuccess) return result;
  window_->Drop();  // nothing read before this lookup is trusted
  auto line = NewLineBuffer();
  unsigned long used = 0;
  for (;;) {
    unsigned long length = 0;
    result = ReadOneLine(line.get(), kLineBufferSize, &length, position, SEEK_SET);
    if (result == kEndOfFile) return kSuccess;
    if (result != kSuccess) return result;
    position += static_cast<long>(length) + 1;
    if (!VerifyLine(line.get())) continue;
    if (scriptlib::ParseHeader(line.get(), nullptr)) return kSuccess;
    if (keyLinesOnly && !scriptlib::ParseKeyLine(line.get(), nullptr, nullptr)) continue;
    ConvertDefinedString(line.get(), kLineBufferSize, false);
    unsigned long entry = static_cast<unsigned long>(std::strlen(line.get())) + 1;
    if (used + entry > size) return CProfile::kBufferTooSmall;
    std::memcpy(buffer + used, line.get(), entry);
    used += entry;
    if (used >= size) return CProfile::kBufferTooSmall;
  }
}

unsigned long CProfile::GetSectionName(char* buffer, unsigned long size, bool separatedByNul) {
  if (!buffer || size == 0) return kBadArgument;
  std::memset(buffer, separatedByNul ? '\0' : ' ', size);
  unsigned long used = 0;
  for (int i = 0; i < sections_.GetSize(); ++i) {
    unsigned long length = static_cast<unsigned long>(std::strlen(sections_[i]->name));
    if (used + length + 1 > size) return CProfile::kBufferTooSmall;
    std::memcpy(buffer + used, sections_[i]->name, length);
    used += length + 1;
    if (used >= size) return CProfile::kBufferTooSmall;
  }
  return kSuccess;
}

unsigned long CProfile::StringToDword(const char* text) { return scriptlib::StringToDword(text); }

unsigned long CProfile::GetDword(const char* section, const char* key, unsigned long* value) {
  auto buffer = NewLineBuffer();
  unsigned long result = GetData(section, key, buffer.get(), kLineBufferSize);
  if (value) *value = scriptlib::StringToDword(buffer.get());
  return result;
}

unsigned long CProfile::ReadFields(const char* section, const char* key, size_t count, std::vector<long>* fields) {
  auto buffer = NewLineBuffer();
  unsigned long result = GetString(section, key, buffer.get(), kLineBufferSize, false);
  if (!scriptlib::NumberFields(buffer.get(), count, fields)) return kBadArgument;
  return result;
}

unsigned long CProfile::GetControl(const char* section, const char* key, SIZE* size) {
  if (!size) return kBadArgument;
  std::vector<long> f;
  unsigned long result = ReadFields(section, key, 2, &f);
  if (f.size() == 2) *size = SIZE{f[0], f[1]};
  return result;
}

unsigned long CProfile::GetControl(const char* section, const char* key, POINT* point) {
  SIZE size{};
  if (!point || GetControl(section, key, &size) != kSuccess) return kBadArgument;
  *point = POINT{size.cx, size.cy};
  return kSuccess;
}

unsigned long CProfile::GetControl(const char* section, const char* key, unsigned long* colour) {
  if (!colour) return kBadArgument;
  std::vector<long> f;
  unsigned long result = ReadFields(section, key, 3, &f);
  if (f.size() == 3) *colour = scriptlib::ColourFromFields(f[0], f[1], f[2]);
  return result;
}

unsigned long CProfile::GetControl(const char* section, const char* key, RECT* rect) {
  if (!rect) return kBadArgument;
  std::vector<long> f;
  unsigned long result = ReadFields(section, key, 4, &f);
  if (f.size() == 4) *rect = RECT{f[0], f[1], f[2], f[3]};
  return result;
}

unsigned long CProfile::SetData(const char* section, const char* key, const char* value) {
  if (!scriptPath_[0]) return kBadArgument;  // never let the writer fall back to win.ini
  SetLastError(kSuccess);
  BOOL written = WritePrivateProfileStringA(section, key, value, scriptPath_);
  DWORD error = GetLastError();
  scriptlib::ForgetProfile(scriptPath_);
  if (written) return kSuccess;
  return error ? error : ERROR_WRITE_FAULT;
}

unsigned long CProfile::SetValue(const char* section, const char* key, const char* value) {
  if (!section || !*section || !key || !value) return kBadArgument;
  if (*key) return SetData(section, key, value);
  if (!scriptPath_[0]) return kBadArgument;
  SetLastError(kSuccess);
  BOOL written = WritePrivateProfileSectionA(section, "\0", scriptPath_);
  DWORD error = GetLastError();
  scriptlib::ForgetProfile(scriptPath_);
  if (written) return kSuccess;
  return error ? error : ERROR_WRITE_FAULT;
}

unsigned long CProfile::WriteText(const char* section, const char* key, const std::string& value) {
  if (!section || !*section || !key || !*key) return kBadArgument;
  return SetData(section, key, value.c_str());
}

unsigned long CProfile::SetValue(const char* section, const char* key, unsigned long value) {
  return WriteText(section, key, std::to_string(static_cast<long>(value)));
}

unsigned long CProfile::SetValue(const char* section, const char* key, SIZE* size) {
  if (!size) return kBadArgument;
  return WriteText(section, key, std::to_string(size->cx) + "," + std::to_string(size->cy));
}

unsigned long CProfile::SetValue(const char* section, const char* key, POINT* point) {
  if (!point) return kBadArgument;
  return WriteText(section, key, std::to_string(point->x) + "," + std::to_string(point->y));
}

unsigned long CProfile::SetValue(const char* section, const char* key, unsigned long* colour) {
  if (!colour) return kBadArgument;
  unsigned long c = *colour;
  return WriteText(section, key,
                   std::to_string(c & 0xFF) + "," + std::to_string((c >> 8) & 0xFF) + "," +
                       std::to_string((c >> 16) & 0xFF));
}

unsigned long CProfile::SetValue(const char* section, const char* key, RECT* rect) {
  if (!rect) return kBadArgument;
  return WriteText(section, key,
                   std::to_string(rect->left) + "," + std::to_string(rect->top) + "," +
                       std::to_string(rect->right) + "," + std::to_string(rect->bottom));
}
