// CUtl: the log file, the debug trace and script values.
#include <atomic>
#include <cstdio>
#include <cstring>
#include <vector>

#include "framework/trace.h"
#include "setup/core/utl.h"
#include "setup/scriptlib/profile_cache.h"

namespace {
// The handle of the instance that created the process's log file; what the
// other instances borrow.
std::atomic<HANDLE> g_applicationLog{INVALID_HANDLE_VALUE};

constexpr DWORD kProfileBufferSize = 4096;
// The system's reader turns the names into counted strings of at most 32767
// characters. A longer name fails that conversion, after which Wine's reader
// goes on with an uninitialised pointer and may crash; no script line can
// name such a section or key anyway, so it reads as missing.
constexpr size_t kMaxProfileName = 32767;

std::string ReadProfile(const char* section, const char* key, const char* defaultValue, const char* file) {
  if (!file || !*file || !section || !key) return defaultValue ? defaultValue : "";
  if (strnlen(section, kMaxProfileName + 1) > kMaxProfileName || strnlen(key, kMaxProfileName + 1) > kMaxProfileName ||
      strnlen(file, kMaxProfileName + 1) > kMaxProfileName) {
    return defaultValue ? defaultValue : "";
  }
  std::vector<char> buffer(kProfileBufferSize);
  // The system's reader answered from memory (it walks every line of the file per value).
  scriptlib::ReadProfileString(section, key, defaultValue ? defaultValue : "", buffer.data(), kProfileBufferSize, file);
  return buffer.data();
}
}  // namespace

CUtl::CUtl() = default;

CUtl::~CUtl() {
  if (ownsLog_ && log_ != INVALID_HANDLE_VALUE) {
    HANDLE expected = log_;
    g_applicationLog.compare_exchange_strong(expected, INVALID_HANDLE_VALUE);
    CloseHandle(log_);
  }
}

bool CUtl::CreateLogFile() {
  char program[MAX_PATH] = {};
  DWORD n = GetModuleFileNameA(nullptr, program, MAX_PATH);
  if (n == 0 || n >= MAX_PATH) return false;
  char temp[MAX_PATH] = {};
  DWORD t = GetTempPathA(MAX_PATH, temp);
  if (t == 0 || t >= MAX_PATH) return false;
  return CreateLogFile(temp, program);
}

bool CUtl::CreateLogFile(const char* tempDirectory, const char* programPath) {
  Trace("[CUtl] Create Log file...");
  if (!tempDirectory || !programPath || !*programPath) return false;
  std::string program(programPath);
  size_t slash = program.rfind('\\');
  std::string name = slash == std::string::npos ? program : program.substr(slash + 1);
  std::string path = std::string(tempDirectory) + name + ".log";
  if (path.size() >= MAX_PATH) return false;

  // Created new, or reused: the file position starts at 0 either way and the
  // first write cuts the previous run's text.
  HANDLE created = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_NEW,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (created == INVALID_HANDLE_VALUE) {
    DWORD error = GetLastError();
    if (error != ERROR_ALREADY_EXISTS && error != ERROR_FILE_EXISTS) return false;
  } else {
    CloseHandle(created);
  }
  if (ownsLog_ && log_ != INVALID_HANDLE_VALUE) CloseHandle(log_);
  log_ = CreateFileA(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                     FILE_ATTRIBUTE_NORMAL, nullptr);
  ownsLog_ = log_ != INVALID_HANDLE_VALUE;
  logPath_ = path;
  if (ownsLog_) g_applicationLog.store(log_);
  return true;
}

void CUtl::SetLogHandle(HANDLE handle) {
  if (ownsLog_ && log_ != INVALID_HANDLE_VALUE && log_ != handle) {
    HANDLE expected = log_;
    g_applicationLog.compare_exchange_strong(expected, INVALID_HANDLE_VALUE);
    CloseHandle(log_);
  }
  ownsLog_ = false;
  log_ = handle ? handle : INVALID_HANDLE_VALUE;
}

void CUtl::BorrowApplicationLog() { SetLogHandle(g_applicationLog.load()); }

void CUtl::WriteLog(DWORD error, const char* format, ...) {
  va_list args;
  va_start(args, format);
  WriteLogV(error, format, args);
  va_end(args);
}

void CUtl::WriteLogV(DWORD error, const char* format, va_list args) {
  if (log_ == INVALID_HANDLE_VALUE || !format) return;
  std::vector<char> message(4096);
  int n = vsnprintf(message.data(), message.size(), format, args);
  if (n < 0) return;
  std::string errorLine;
  if (error != 0) {
    std::vector<char> line(4096);
    snprintf(line.data(), line.size(), "Error Code = %d :%s ", static_cast<int>(error),
             SystemErrorText(error).c_str());
    errorLine = line.data();
  }
  // Cutting at the current position is what leaves only this run's lines.
  SetEndOfFile(log_);
  DWORD written = 0;
  std::string first = std::string(message.data()) + "\r\n";
  WriteFile(log_, first.data(), static_cast<DWORD>(first.size()), &written, nullptr);
  if (!errorLine.empty()) {
    errorLine += "\r\n";
    WriteFile(log_, errorLine.data(), static_cast<DWORD>(errorLine.size()), &written, nullptr);
  }
}

void CUtl::Trace(const char* format, ...) {
  va_list args;
  va_start(args, format);
  qx::TraceV(format, args);
  va_end(args);
}

std::string CUtl::SystemErrorText(DWORD error) {
  char* text = nullptr;
  DWORD n = FormatMessageA(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                           nullptr, error, 0x400, reinterpret_cast<char*>(&text), 0, nullptr);
  std::string result = n && text ? std::string(text, n) : std::string();
  if (text) LocalFree(text);
  return result;
}

void CUtl::TraceError(DWORD error, const char* label) {
  Trace("[%s]%s\n", label ? label : "", SystemErrorText(error).c_str());
}

std::string CUtl::GetScriptString(const char* section, const char* key, const char* scriptFile,
                                  const char* stringsFile, const char* messagesFile) {
  std::string value = ReadProfile(section, key, "", scriptFile);
  if (messagesFile && *messagesFile) value = ConvertMessage(value, messagesFile);
  return ConvertStrings(value, scriptFile, stringsFile);
}

std::string CUtl::ConvertMessage(const std::string& text, const char* messagesFile) {
  bool bounded = false;
  std::string result = core::ExpandMessageReferences(
      text,
      [messagesFile](const std::string& token) {
        std::string name = token.substr(1, token.size() - 2);
        return ReadProfile("MESSAGES", name.c_str(), "", messagesFile);
      },
      &bounded);
  if (bounded) Trace("[CUtl] ConvertMessage stopped at its limit (%.80s)\n", text.c_str());
  if (result != text) Trace("[CUtl] ConvertMessage (%s --> %s)\n", text.c_str(), result.c_str());
  return result;
}

std::string CUtl::ConvertStrings(const std::string& text, const char* scriptFile, const char* stringsFile) {
  bool bounded = false;
  std::string result = core::ExpandPercentTokens(
      text,
      [scriptFile, stringsFile](const std::string& token) {
        std::string value = GetStringsValue(token, scriptFile);
        if (_stricmp(value.c_str(), token.c_str()) == 0 && stringsFile && *stringsFile) {
          value = GetStringsValue(token, stringsFile);
        }
        return value;
      },
      &bounded);
  if (bounded) Trace("[CUtl] ConvertStrings stopped at its limit (%.80s)\n", text.c_str());
  return result;
}

std::string CUtl::GetStringsValue(const std::string& token, const char* file) {
  if (!file || !*file) return token;
  std::string value = ReadProfile("STRINGS", token.c_str(), token.c_str(), file);
  core::ExpandLineBreaks(&value);
  return value;
}

COLORREF CUtl::GetColorValue(const char* section, const char* key, const char* scriptFile) {
  std::string value = GetScriptString(section, key, scriptFile, "", "");
  COLORREF colour = core::kNoColour;
  switch (core::ParseColour(value, &colour)) {
    case core::ColourParse::kMissingGreen:
      Trace("[CUtl] Invalide Color Value [%s] %s\n", section, key);
      break;
    case core::ColourParse::kMissingBlue:
      Trace("[GetColorValue] Invalide Color Value [%s] %s\n", section, key);
      break;
    default:
      break;
  }
  return colour;
}
