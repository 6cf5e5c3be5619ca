#include "tests/e2e/e2e_support.h"

#include <shlobj.h>

#include <cctype>
#include <cstring>
#include <sstream>
#include <vector>

#include "framework/frame_window.h"
#include "framework/handles.h"

namespace e2e {
namespace {

std::string Upper(std::string text) {
  for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return text;
}

std::vector<std::string> ReadLines(const std::string& path) {
  std::vector<std::string> lines;
  std::istringstream in(qx::test::TempDir::Read(path));
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    lines.push_back(line);
  }
  return lines;
}

void WriteLines(const std::string& path, const std::vector<std::string>& lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  HANDLE file = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  DWORD written = 0;
  WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
  CloseHandle(file);
}

bool IsHeader(const std::string& line, std::string* name) {
  size_t start = line.find_first_not_of(" \t");
  if (start == std::string::npos || line[start] != '[') return false;
  size_t close = line.find(']', start);
  if (close == std::string::npos) return false;
  *name = Upper(line.substr(start + 1, close - start - 1));
  return true;
}

// Index of the header line of the section, or -1.
int FindSection(const std::vector<std::string>& lines, const std::string& section) {
  std::string name;
  for (size_t i = 0; i < lines.size(); ++i) {
    if (IsHeader(lines[i], &name) && name == Upper(section)) return static_cast<int>(i);
  }
  return -1;
}

size_t SectionEnd(const std::vector<std::string>& lines, int header) {
  std::string name;
  size_t i = static_cast<size_t>(header) + 1;
  while (i < lines.size() && !IsHeader(lines[i], &name)) ++i;
  return i;
}

void SnapshotKey(HKEY root, const std::string& key, std::set<std::string>* out) {
  fw::UniqueRegKey handle;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, handle.Put()) != ERROR_SUCCESS) return;
  out->insert(key);
  char name[1024];
  std::vector<BYTE> data(65536);
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = sizeof(name), type = 0, dataLength = static_cast<DWORD>(data.size() - 2);
    if (RegEnumValueA(handle.Get(), i, name, &nameLength, nullptr, &type, data.data(), &dataLength) != ERROR_SUCCESS) {
      break;
    }
    std::string text;
    if (type == REG_DWORD) {
      text = std::to_string(*reinterpret_cast<DWORD*>(data.data()));
    } else {
      data[dataLength] = 0;
      text = reinterpret_cast<char*>(data.data());
    }
    out->insert(key + "\\" + name + "=" + text);
  }
  for (DWORD i = 0;; ++i) {
    DWORD nameLength = sizeof(name);
    if (RegEnumKeyExA(handle.Get(), i, name, &nameLength, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    SnapshotKey(root, key + "\\" + name, out);
  }
}

void SnapshotFolder(const std::string& folder, std::set<std::string>* out) {
  WIN32_FIND_DATAA data;
  HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &data);
  if (find == INVALID_HANDLE_VALUE) return;
  do {
    std::string name = data.cFileName;
    if (name == "." || name == "..") continue;
    out->insert(folder + "\\" + name);
    if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) SnapshotFolder(folder + "\\" + name, out);
  } while (FindNextFileA(find, &data));
  FindClose(find);
}

}  // namespace

std::string BuildPath(const std::string& relative) { return qx::test::WinePath(QX_BUILD_DIR "/" + relative); }

void SetScriptValue(const std::string& path, const std::string& section, const std::string& key,
                    const std::string& value) {
  std::vector<std::string> lines = ReadLines(path);
  int header = FindSection(lines, section);
  if (header < 0) {
    lines.push_back("[" + section + "]");
    lines.push_back(key + "=" + value);
    WriteLines(path, lines);
    return;
  }
  size_t end = SectionEnd(lines, header);
  for (size_t i = static_cast<size_t>(header) + 1; i < end; ++i) {
    size_t equals = lines[i].find('=');
    if (equals == std::string::npos) continue;
    std::string k = lines[i].substr(0, equals);
    k.erase(k.find_last_not_of(" \t") + 1);
    k.erase(0, k.find_first_not_of(" \t"));
    if (Upper(k) == Upper(key)) {
      lines[i] = key + "=" + value;
      WriteLines(path, lines);
      return;
    }
  }
  lines.insert(lines.begin() + header + 1, key + "=" + value);
  WriteLines(path, lines);
}

void SetScriptSection(const std::string& path, const std::string& section, const std::string& body) {
  std::vector<std::string> lines = ReadLines(path);
  std::vector<std::string> bodyLines;
  std::istringstream in(body);
  for (std::string line; std::getline(in, line);) bodyLines.push_back(line);
  int header = FindSection(lines, section);
  if (header < 0) {
    lines.push_back("[" + section + "]");
    lines.insert(lines.end(), bodyLines.begin(), bodyLines.end());
  } else {
    size_t end = SectionEnd(lines, header);
    lines.erase(lines.begin() + header + 1, lines.begin() + static_cast<long>(end));
    lines.insert(lines.begin() + header + 1, bodyLines.begin(), bodyLines.end());
  }
  WriteLines(path, lines);
}

SetupMedium::SetupMedium() {
  qx::test::CopyTree(BuildPath("medium"), Dir());
  CreateDirectoryA(TempDir().c_str(), nullptr);
  SetScriptValue(DataFile(), "PROGRAM_INFO", "MFG", identity_.Mfg());
  SetScriptValue(DataFile(), "PROGRAM_INFO", "PROGRAM_NAME", identity_.Program());
  SetScriptValue(DataFile(), "PROGRAM_INFO", "DESTINATION_DIR", DestDir());
  SetScriptValue(DataFile(), "ADD_REG.UNINSTKEY", "KEYNAME", AddRemoveKey());
  // The menu links record the install type, and the finish page that the
  // wizard ran to its end, under the product's key, which the scripts name
  // literally: under this medium's identity instead.
  const std::string sampleRoot = "Software\\QX\\QX Laser L2020 Setup\\";
  for (const std::string& script : {ConfigFile(), DataFile()}) {
    std::vector<std::string> lines = ReadLines(script);
    for (std::string& line : lines) {
      for (size_t at = line.find(sampleRoot); at != std::string::npos; at = line.find(sampleRoot, at + 1)) {
        line.replace(at, sampleRoot.size(), identity_.Root() + "\\");
      }
    }
    WriteLines(script, lines);
  }
}

// The shortcut paths the install records hold now.
void SetupMedium::NoteShortcuts() {
  const std::string shortcuts = identity_.InstallKey() + "\\Shortcut";
  HKEY key = nullptr;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, shortcuts.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) return;
  char name[256];
  for (DWORD i = 0;; ++i) {
    DWORD length = sizeof(name);
    if (RegEnumKeyExA(key, i, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) break;
    std::string path = ReadString(shortcuts + "\\" + name, "Shortcut_Path", "");
    if (!path.empty()) shortcuts_.insert(path);
  }
  RegCloseKey(key);
}

// What a run left of its install goes with the medium: the shortcuts it
// made (in the shared desktop and programs menu, under the sample's names),
// its product key and its Add/Remove entry.
SetupMedium::~SetupMedium() {
  NoteShortcuts();
  // A program-menu folder of the product goes once empty; the desktops never
  // do (Wine would make a missing one a link to the host's home folder).
  std::vector<std::string> desktops;
  for (int csidl : {CSIDL_DESKTOPDIRECTORY, CSIDL_COMMON_DESKTOPDIRECTORY}) {
    char folder[MAX_PATH] = "";
    if (SHGetFolderPathA(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, folder) == S_OK) desktops.push_back(folder);
  }
  for (const std::string& path : shortcuts_) {
    if (!DeleteFileA(path.c_str())) continue;
    size_t slash = path.find_last_of('\\');
    if (slash == std::string::npos) continue;
    std::string parent = path.substr(0, slash);
    bool desktop = false;
    for (const std::string& d : desktops) desktop = desktop || _stricmp(d.c_str(), parent.c_str()) == 0;
    if (!desktop) RemoveDirectoryA(parent.c_str());  // only when empty
  }
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, identity_.Root().c_str());
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, AddRemoveKey().c_str());
}

std::string SetupMedium::AddRemoveKey() const {
  return "Software\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\" + identity_.Program();
}

int SetupMedium::UninstallItems() {
  class Reports : public fw::FrameWindow {
   public:
    int count = 0;

   protected:
    bool OnMessage(UINT message, WPARAM, LPARAM, LRESULT* result) override {
      if (message != 2037) return false;
      ++count;
      *result = 0;
      return true;
    }
  } reports;
  reports.CreateFrame(("QxE2eReports" + identity_.Mfg()).c_str(), "reports");
  std::string items = identity_.InstallKey() + "\\Items";
  std::set<std::string> keys = RegistrySnapshot(items);
  for (const auto& key : keys) {
    if (key.find('=') != std::string::npos || key == items) continue;
    DWORD one = 1;
    HKEY handle = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, key.c_str(), 0, KEY_SET_VALUE, &handle) != ERROR_SUCCESS) continue;
    RegSetValueExA(handle, "Uninstall", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof(one));
    RegCloseKey(handle);
  }
  fw::UniqueModule library(LoadLibraryA((Dir() + "\\data\\qxexec.dll").c_str()));
  using Uninstall = BOOL(__stdcall*)(HWND, const char*, int);
  auto uninstall = library ? reinterpret_cast<Uninstall>(
                                 reinterpret_cast<void*>(GetProcAddress(library.Get(), "MyUnInstall")))
                           : nullptr;
  if (!uninstall) return -1;
  uninstall(reports.Handle(), identity_.InstallKey().c_str(), 1);
  return reports.count;
}

std::vector<std::string> PendingDeletes() {
  std::vector<std::string> names;
  fw::UniqueRegKey key;
  if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "System\\CurrentControlSet\\Control\\Session Manager", 0, KEY_READ,
                    key.Put()) != ERROR_SUCCESS) {
    return names;
  }
  std::vector<char> data(1 << 20);
  DWORD size = static_cast<DWORD>(data.size() - 2), type = 0;
  if (RegQueryValueExA(key.Get(), "PendingFileRenameOperations", nullptr, &type, reinterpret_cast<BYTE*>(data.data()),
                       &size) != ERROR_SUCCESS) {
    return names;
  }
  data[size] = data[size + 1] = 0;
  for (const char* p = data.data(); p < data.data() + size; p += strlen(p) + 1) {
    if (*p) names.emplace_back(p);
  }
  return names;
}

qx::test::Environment SetupMedium::RunEnvironment(const std::string& tempDir, int answer) const {
  return {{"TEMP", tempDir},
          {"TMP", tempDir},
          {"QX_TRACE_FILE", TracePath()},
          {"QX_WORLD_FILE", Dir() + "\\world.ini"},
          {"QX_MESSAGE_BOX_ANSWER", answer ? std::to_string(answer) : std::string()}};
}

bool SetupMedium::Start(qx::test::Process* process, const std::string& arguments, const qx::test::Environment& extra,
                        const std::string& tempDir) {
  qx::test::Environment environment = RunEnvironment(tempDir.empty() ? TempDir() : tempDir, 0);
  environment.insert(environment.end(), extra.begin(), extra.end());
  return process->Start(Exe(), arguments, environment);
}

long SetupMedium::Run(const std::string& arguments, const qx::test::Environment& extra, int answer,
                      DWORD timeoutMs) {
  qx::test::Environment environment = RunEnvironment(TempDir(), answer);
  environment.insert(environment.end(), extra.begin(), extra.end());
  qx::test::Process process;
  if (!process.Start(Exe(), arguments, environment)) return -2;
  DWORD code = 0;
  if (!process.Wait(timeoutMs, &code)) return -1;
  NoteShortcuts();
  return static_cast<long>(code);
}

std::string SetupMedium::Log() const { return qx::test::TempDir::Read(LogPath()); }
std::string SetupMedium::Trace() const { return qx::test::TempDir::Read(TracePath()); }

std::set<std::string> RegistrySnapshot(const std::string& key) {
  std::set<std::string> out;
  SnapshotKey(HKEY_LOCAL_MACHINE, key, &out);
  return out;
}

std::set<std::string> FileSnapshot(const std::string& folder) {
  std::set<std::string> out;
  SnapshotFolder(folder, &out);
  return out;
}

DWORD ReadDword(const std::string& key, const std::string& value, DWORD fallback) {
  DWORD data = 0, size = sizeof(data), type = 0;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), value.c_str(), RRF_RT_REG_DWORD, &type, &data, &size) !=
      ERROR_SUCCESS) {
    return fallback;
  }
  return data;
}

std::string ReadString(const std::string& key, const std::string& value, const std::string& fallback) {
  char data[4096];
  DWORD size = sizeof(data), type = 0;
  if (RegGetValueA(HKEY_LOCAL_MACHINE, key.c_str(), value.c_str(), RRF_RT_REG_SZ, &type, data, &size) !=
      ERROR_SUCCESS) {
    return fallback;
  }
  return data;
}

}  // namespace e2e
