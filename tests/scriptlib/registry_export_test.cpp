// The registry store as another module sees it: this program imports
// CRegistry from setup.exe (linked through setup's import library, setup.exe
// copied beside it), so every call below runs the code inside setup.exe.
#include "setup/scriptlib/registry.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "tests/support/temp_dir.h"
#include "tests/support/test_identity.h"

namespace {

using qx::test::KeyExists;

class Registry : public CRegistry {
 public:
  using CRegistry::DeleteEmptyParent;
  using CRegistry::SetDaclPermission;
};

void RawSet(HKEY root, const std::string& key, const char* name, DWORD type, const void* data, DWORD size) {
  HKEY h = nullptr;
  ASSERT_EQ(RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr), 0);
  ASSERT_EQ(RegSetValueExA(h, name, 0, type, static_cast<const BYTE*>(data), size), 0);
  RegCloseKey(h);
}

// Type and bytes of a value; a string without the terminating NUL (which
// Wine stores even when the writer leaves it out); type 0 when it is missing.
std::pair<DWORD, std::string> RawGet(HKEY root, const std::string& key, const char* name) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, KEY_READ, &h) != 0) return {0, ""};
  std::vector<wchar_t> wname(strlen(name) + 1);
  MultiByteToWideChar(CP_ACP, 0, name, -1, wname.data(), static_cast<int>(wname.size()));
  std::vector<char> data(16384);
  DWORD type = 0, size = static_cast<DWORD>(data.size());
  LONG r = RegQueryValueExW(h, wname.data(), nullptr, &type, reinterpret_cast<BYTE*>(data.data()), &size);
  RegCloseKey(h);
  if (r != 0) return {0, ""};
  if (type != REG_SZ) return {type, std::string(data.data(), size)};
  std::string text(size / 2, '\0');
  WideCharToMultiByte(CP_ACP, 0, reinterpret_cast<wchar_t*>(data.data()), static_cast<int>(size / 2), text.data(),
                      static_cast<int>(text.size()), nullptr, nullptr);
  if (!text.empty() && text.back() == '\0') text.pop_back();
  return {type, text};
}

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty()) lines.push_back(line);
  }
  return lines;
}

// Windows relocates and binds an EXE that another module links; Wine 8 maps
// it elsewhere but neither applies its relocations nor binds its imports (it
// does both only for DLLs). Doing both here as Windows would lets setup.exe's
// own code run; nothing else is changed.
void PrepareLinkedExe(HMODULE module) {
  auto* base = reinterpret_cast<BYTE*>(module);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  DWORD_PTR delta = reinterpret_cast<DWORD_PTR>(base) - nt->OptionalHeader.ImageBase;
  const IMAGE_DATA_DIRECTORY& relocs = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_BASERELOC];
  for (DWORD at = 0; delta && at < relocs.Size;) {
    auto* block = reinterpret_cast<IMAGE_BASE_RELOCATION*>(base + relocs.VirtualAddress + at);
    if (block->SizeOfBlock < sizeof(*block)) break;
    auto* entries = reinterpret_cast<WORD*>(block + 1);
    for (DWORD i = 0; i < (block->SizeOfBlock - sizeof(*block)) / sizeof(WORD); ++i) {
      if ((entries[i] >> 12) != IMAGE_REL_BASED_HIGHLOW) continue;
      auto* slot = reinterpret_cast<DWORD*>(base + block->VirtualAddress + (entries[i] & 0xFFF));
      DWORD old = 0;
      VirtualProtect(slot, sizeof(*slot), PAGE_EXECUTE_READWRITE, &old);
      *slot += static_cast<DWORD>(delta);
      VirtualProtect(slot, sizeof(*slot), old, &old);
    }
    at += block->SizeOfBlock;
  }
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  for (auto* d = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress); d->Name; ++d) {
    HMODULE library = LoadLibraryA(reinterpret_cast<const char*>(base + d->Name));
    ASSERT_NE(library, nullptr) << reinterpret_cast<const char*>(base + d->Name);
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + (d->OriginalFirstThunk ? d->OriginalFirstThunk : d->FirstThunk));
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + d->FirstThunk);
    for (; names->u1.AddressOfData; ++names, ++slots) {
      const char* name = IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)
                             ? reinterpret_cast<const char*>(IMAGE_ORDINAL(names->u1.Ordinal))
                             : reinterpret_cast<const char*>(
                                   reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData)->Name);
      FARPROC function = GetProcAddress(library, name);
      DWORD old = 0;
      VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), PAGE_READWRITE, &old);
      slots->u1.Function = reinterpret_cast<DWORD_PTR>(function);
      VirtualProtect(&slots->u1.Function, sizeof(slots->u1.Function), old, &old);
    }
  }
}

class RegistryExport : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    static bool bound = false;
    if (!bound) PrepareLinkedExe(GetModuleHandleA("setup.exe"));
    bound = true;
  }

  qx::test::TestIdentity id_;
  qx::test::TempDir dir_;
  std::string root_ = id_.Root();
};

TEST_F(RegistryExport, SetupExeExportsEveryOperationUnderTheClassName) {
  HMODULE setup = GetModuleHandleA("setup.exe");
  ASSERT_NE(setup, nullptr) << "setup.exe is not loaded into this process";
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(setup);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(reinterpret_cast<BYTE*>(setup) + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_EXPORT];
  ASSERT_NE(dir.Size, 0u);
  auto* exports = reinterpret_cast<IMAGE_EXPORT_DIRECTORY*>(reinterpret_cast<BYTE*>(setup) + dir.VirtualAddress);
  auto* names = reinterpret_cast<DWORD*>(reinterpret_cast<BYTE*>(setup) + exports->AddressOfNames);
  std::set<std::string> operations;
  for (DWORD i = 0; i < exports->NumberOfNames; ++i) {
    std::string name = reinterpret_cast<const char*>(setup) + names[i];
    size_t at = name.find("9CRegistry");
    if (at == std::string::npos) continue;
    at += 10;  // _ZN9CRegistry<length><name>E...: the operation's name.
    size_t length = 0;
    while (at < name.size() && isdigit(static_cast<unsigned char>(name[at]))) length = length * 10 + (name[at++] - '0');
    if (length) operations.insert(name.substr(at, length));
  }
  for (const char* op : {"GetValue", "SetValue", "DeleteKey", "DeleteValue", "CopyKey", "SaveToFile",
                         "LoadFromFile", "DeleteSubKey", "DeleteEmptyParent", "SetDaclPermission", "CopyValue"}) {
    EXPECT_TRUE(operations.count(op)) << op << " is not exported";
  }
  EXPECT_TRUE(GetProcAddress(setup, "_ZTV9CRegistry")) << "the class's virtual table is not exported";
}

TEST_F(RegistryExport, GetStringChecksTheSizeAndLeavesTheBufferOnFailure) {
  const std::string long4096(4095, 'x');  // with its NUL exactly 4096 bytes
  struct Case {
    const char* name;
    std::string stored;  // bytes as stored (a trailing NUL only when given)
    DWORD type;
    unsigned long size;
    unsigned long result;
    std::string out;  // buffer afterwards ("untouched" when left alone)
  } cases[] = {
      {"no check", std::string("hello\0", 6), REG_SZ, CRegistry::kNoSizeCheck, 0, "hello"},
      {"exact with NUL", std::string("hello\0", 6), REG_SZ, 6, 0, "hello"},
      {"one short", std::string("hello\0", 6), REG_SZ, 5, 122, "untouched"},
      // Stored without its NUL: five bytes would not hold the text and its NUL.
      {"no NUL stored", "hello", REG_SZ, 5, 122, "untouched"},
      {"no NUL, room for it", "hello", REG_SZ, 6, 0, "hello"},
      {"text ends at first NUL", std::string("ab\0cd\0", 6), REG_SZ, 6, 0, "ab"},
      {"4096 bytes", long4096 + '\0', REG_SZ, CRegistry::kNoSizeCheck, 0, long4096},
      {"a DWORD", std::string("\x0a\0\0\0", 4), REG_DWORD, CRegistry::kNoSizeCheck, 87, "untouched"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    RawSet(HKEY_CURRENT_USER, root_, "V", c.type, c.stored.data(), static_cast<DWORD>(c.stored.size()));
    std::vector<char> buffer(8192, '\0');
    strcpy(buffer.data(), "untouched");
    EXPECT_EQ(CRegistry::GetValue(root_.c_str(), "V", buffer.data(), HKEY_CURRENT_USER, c.size), c.result);
    EXPECT_EQ(std::string(buffer.data()), c.out);
  }
}

TEST_F(RegistryExport, ArgumentsAndMissingValues) {
  char buffer[16] = "";
  unsigned long number = 0;
  HKEY cu = HKEY_CURRENT_USER;
  EXPECT_EQ(CRegistry::GetValue(nullptr, "V", buffer, cu, 16), 87u);
  EXPECT_EQ(CRegistry::GetValue("", "V", buffer, cu, 16), 87u);
  EXPECT_EQ(CRegistry::GetValue(root_.c_str(), "", buffer, cu, 16), 87u);
  EXPECT_EQ(CRegistry::GetValue(root_.c_str(), "V", buffer, cu, 16), 2u);  // no such key
  EXPECT_EQ(CRegistry::SetValue(root_.c_str(), "", "text", cu), 87u);     // empty name
  EXPECT_EQ(CRegistry::SetValue(root_.c_str(), "V", static_cast<const char*>(nullptr), cu), 87u);
  EXPECT_EQ(CRegistry::GetValue(root_.c_str(), nullptr, &number, cu, 0), 87u);
  EXPECT_FALSE(KeyExists(cu, root_)) << "a refused call created the key";

  // An empty text is an empty value, stored without a NUL; an empty name is refused above.
  EXPECT_EQ(CRegistry::SetValue(root_.c_str(), "Empty", "", cu), 0u);
  EXPECT_EQ(RawGet(cu, root_, "Empty"), std::make_pair(DWORD{REG_SZ}, std::string()));
  strcpy(buffer, "x");
  EXPECT_EQ(CRegistry::GetValue(root_.c_str(), "Empty", buffer, cu, 1), 0u);
  EXPECT_STREQ(buffer, "");
  EXPECT_EQ(CRegistry::SetValue(root_.c_str(), "Text", "abc", cu), 0u);
  EXPECT_EQ(RawGet(cu, root_, "Text"), std::make_pair(DWORD{REG_SZ}, std::string("abc")));

  EXPECT_EQ(CRegistry::SetValue(root_.c_str(), "N", 0xDEADBEEFul, cu), 0u);
  EXPECT_EQ(CRegistry::GetValue(root_.c_str(), "N", &number, cu, 0), 0u);
  EXPECT_EQ(number, 0xDEADBEEFul);
  EXPECT_EQ(CRegistry::GetValue(root_.c_str(), "Text", &number, cu, 0), 87u);  // not a DWORD
  EXPECT_EQ(CRegistry::DeleteValue(root_.c_str(), "N", cu), 0u);
  EXPECT_EQ(CRegistry::GetValue(root_.c_str(), "N", &number, cu, 0), 2u);
}

TEST_F(RegistryExport, DeleteKeyRemovesEmptyParentsButNeverATopLevelKey) {
  // Top-level keys of their own under HKCU, so the walk's stop is observable
  // without touching "Software" itself.
  const std::string top = "QxTop_" + id_.Mfg();
  struct Case {
    const char* name;
    std::vector<std::string> keys;  // created, relative to top
    std::string valueAt;            // a key given a value ("" none)
    std::string target;
    std::vector<std::string> kept, gone;
  } cases[] = {
      {"chain", {"A\\B\\C"}, "", "A\\B\\C", {""}, {"A", "A\\B", "A\\B\\C"}},
      {"a sibling stops it", {"A\\B\\C", "A\\S"}, "", "A\\B\\C", {"", "A", "A\\S"}, {"A\\B"}},
      {"a value stops it", {"A\\B\\C"}, "A", "A\\B\\C", {"", "A"}, {"A\\B"}},
      {"the whole tree", {"A\\B\\C\\D", "A\\B\\E"}, "", "A\\B", {""}, {"A"}},
      {"trailing backslash", {"A\\B"}, "", "A\\B\\", {""}, {"A"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    for (const std::string& k : c.keys) {
      HKEY h = nullptr;
      ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, (top + "\\" + k).c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                                &h, nullptr),
                0);
      RegCloseKey(h);
    }
    if (!c.valueAt.empty()) RawSet(HKEY_CURRENT_USER, top + "\\" + c.valueAt, "v", REG_DWORD, "\1\0\0\0", 4);
    EXPECT_EQ(CRegistry::DeleteKey((top + "\\" + c.target).c_str(), false, HKEY_CURRENT_USER), 0u);
    for (const std::string& k : c.kept) EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, top + (k.empty() ? "" : "\\" + k))) << k;
    for (const std::string& k : c.gone) EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, top + "\\" + k)) << k;
    RegDeleteTreeA(HKEY_CURRENT_USER, top.c_str());
    RegDeleteKeyA(HKEY_CURRENT_USER, top.c_str());
  }
  // The documented path: Software\A\B\C takes Software\A with it, never Software.
  std::string deep = root_ + "\\B\\C";
  RawSet(HKEY_CURRENT_USER, deep, "v", REG_DWORD, "\1\0\0\0", 4);
  EXPECT_EQ(CRegistry::DeleteKey(deep.c_str(), false, HKEY_CURRENT_USER), 0u);
  EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\" + id_.Mfg()));
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software"));
  // A missing key reports the registry's error; a single delete of a key with subkeys fails.
  EXPECT_EQ(CRegistry::DeleteKey(deep.c_str(), false, HKEY_CURRENT_USER), 2u);
  RawSet(HKEY_CURRENT_USER, deep, "v", REG_DWORD, "\1\0\0\0", 4);
  EXPECT_NE(CRegistry::DeleteKey((root_ + "\\B").c_str(), true, HKEY_CURRENT_USER), 0u);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, deep));
  EXPECT_EQ(Registry::DeleteEmptyParent("Software", HKEY_CURRENT_USER), 0u);
  EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software"));
}

// Gives the key a DACL without any entry: nobody, not even its owner, may delete it.
bool LockKey(HKEY root, const std::string& key) {
  HKEY h = nullptr;
  if (RegOpenKeyExA(root, key.c_str(), 0, WRITE_DAC, &h) != 0) return false;
  SECURITY_DESCRIPTOR sd{};
  ACL acl{};
  bool ok = InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION) && InitializeAcl(&acl, sizeof(acl), ACL_REVISION) &&
            SetSecurityDescriptorDacl(&sd, TRUE, &acl, FALSE) &&
            RegSetKeySecurity(h, DACL_SECURITY_INFORMATION, &sd) == 0;
  RegCloseKey(h);
  return ok;
}

TEST_F(RegistryExport, EveryoneIsGivenFullControlAndARefusedDeleteIsRetried) {
  std::string key = root_ + "\\Locked";
  HKEY h = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr), 0);
  RegCloseKey(h);
  ASSERT_TRUE(LockKey(HKEY_CURRENT_USER, key));
  EXPECT_EQ(Registry::SetDaclPermission("", HKEY_CURRENT_USER), 87u);
  unsigned long granting = Registry::SetDaclPermission(key.c_str(), HKEY_CURRENT_USER);
  if (granting == ERROR_INVALID_FUNCTION) {
    GTEST_SKIP() << "this Wine's AddAccessAllowedObjectAce is a stub; the failure is reported as its code";
  }
  ASSERT_EQ(granting, 0u);
  EXPECT_EQ(Registry::SetDaclPermission((root_ + "\\Missing").c_str(), HKEY_CURRENT_USER), 2u);
  // The key's list is now one entry: Everyone, full control, inheritable.
  ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, READ_CONTROL, &h), 0);
  std::vector<BYTE> sd(4096);
  DWORD size = static_cast<DWORD>(sd.size());
  ASSERT_EQ(RegGetKeySecurity(h, DACL_SECURITY_INFORMATION, sd.data(), &size), 0);
  RegCloseKey(h);
  BOOL present = FALSE, defaulted = FALSE;
  PACL acl = nullptr;
  ASSERT_TRUE(GetSecurityDescriptorDacl(sd.data(), &present, &acl, &defaulted));
  ASSERT_TRUE(present && acl);
  ASSERT_EQ(acl->AceCount, 1);
  ACE_HEADER* ace = nullptr;
  ASSERT_TRUE(GetAce(acl, 0, reinterpret_cast<void**>(&ace)));
  EXPECT_EQ(ace->AceFlags, CONTAINER_INHERIT_ACE | INHERITED_ACE);
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  PSID everyone = nullptr;
  ASSERT_TRUE(AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone));
  PSID granted = nullptr;
  ACCESS_MASK mask = 0;
  if (ace->AceType == ACCESS_ALLOWED_OBJECT_ACE_TYPE) {
    auto* entry = reinterpret_cast<ACCESS_ALLOWED_OBJECT_ACE*>(ace);
    mask = entry->Mask;
    granted = reinterpret_cast<PSID>(reinterpret_cast<BYTE*>(&entry->ObjectType));  // no GUIDs present
  } else {
    ASSERT_EQ(ace->AceType, ACCESS_ALLOWED_ACE_TYPE);
    auto* entry = reinterpret_cast<ACCESS_ALLOWED_ACE*>(ace);
    mask = entry->Mask;
    granted = &entry->SidStart;
  }
  EXPECT_EQ(mask, static_cast<ACCESS_MASK>(KEY_ALL_ACCESS));
  EXPECT_TRUE(EqualSid(granted, everyone));
  FreeSid(everyone);

  for (bool single : {true, false}) {
    SCOPED_TRACE(single ? "single" : "tree");
    RawSet(HKEY_CURRENT_USER, root_, "keep", REG_DWORD, "\1\0\0\0", 4);
    ASSERT_EQ(RegCreateKeyExA(HKEY_CURRENT_USER, key.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr), 0);
    RegCloseKey(h);
    ASSERT_TRUE(LockKey(HKEY_CURRENT_USER, key));
    if (RegDeleteKeyA(HKEY_CURRENT_USER, key.c_str()) != ERROR_ACCESS_DENIED) {
      GTEST_SKIP() << "this Wine does not refuse the delete of a key without access entries";
    }
    EXPECT_EQ(CRegistry::DeleteKey(key.c_str(), single, HKEY_CURRENT_USER), 0u);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, key));
  }
}

TEST_F(RegistryExport, CopyKeyCopiesStringsAndDwordsOnly) {
  const std::string from = root_ + "\\From", to = root_ + "\\To";
  HKEY cu = HKEY_CURRENT_USER;
  RawSet(cu, from, "", REG_SZ, "default", 8);
  RawSet(cu, from, "S", REG_SZ, "text", 5);
  RawSet(cu, from, "D", REG_DWORD, "\x0a\0\0\0", 4);
  RawSet(cu, from, "B", REG_BINARY, "\1\2", 2);
  RawSet(cu, from + "\\Sub", "S2", REG_SZ, "deep", 5);
  HKEY h = nullptr;
  ASSERT_EQ(RegCreateKeyExA(cu, (from + "\\Empty").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr), 0);
  RegCloseKey(h);

  ASSERT_EQ(CRegistry::CopyKey(from.c_str(), to.c_str(), true, cu, HKEY_LOCAL_MACHINE), 0u);
  HKEY lm = HKEY_LOCAL_MACHINE;
  EXPECT_EQ(RawGet(lm, to, ""), std::make_pair(DWORD{REG_SZ}, std::string("default")));
  EXPECT_EQ(RawGet(lm, to, "S"), std::make_pair(DWORD{REG_SZ}, std::string("text")));
  EXPECT_EQ(RawGet(lm, to, "D"), std::make_pair(DWORD{REG_DWORD}, std::string("\x0a\0\0\0", 4)));
  EXPECT_EQ(RawGet(lm, to, "B").first, 0u);
  EXPECT_EQ(RawGet(lm, to + "\\Sub", "S2"), std::make_pair(DWORD{REG_SZ}, std::string("deep")));
  EXPECT_FALSE(KeyExists(lm, to + "\\Empty")) << "a key without values came into being";

  ASSERT_EQ(CRegistry::CopyKey(from.c_str(), (root_ + "\\Flat").c_str(), false, cu, cu), 0u);
  EXPECT_FALSE(KeyExists(cu, root_ + "\\Flat\\Sub"));
  EXPECT_EQ(CRegistry::CopyKey((root_ + "\\Missing").c_str(), to.c_str(), true, cu, cu), 2u);
  EXPECT_EQ(CRegistry::CopyKey("", to.c_str(), true, cu, cu), 87u);
}

TEST_F(RegistryExport, SaveWritesSectionsInPreOrderAndNeverOverwrites) {
  HKEY cu = HKEY_CURRENT_USER;
  RawSet(cu, root_, "Name", REG_SZ, "Vexa \"Laser\" // 9000", 21);
  RawSet(cu, root_, "Count", REG_DWORD, "\x0a\0\0\0", 4);
  RawSet(cu, root_, "Blob", REG_BINARY, "\1\2\3", 3);
  RawSet(cu, root_, "Multi", REG_MULTI_SZ, "a\0b\0", 5);
  RawSet(cu, root_, "Broken", REG_SZ, "two\r\nlines", 11);
  RawSet(cu, root_ + "\\A\\Deep", "", REG_SZ, "x", 2);
  HKEY h = nullptr;
  ASSERT_EQ(RegCreateKeyExA(cu, (root_ + "\\B").c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &h, nullptr), 0);
  RegCloseKey(h);

  std::string file = dir_.File("saved.reg.txt");
  ASSERT_EQ(CRegistry::SaveToFile(root_.c_str(), file.c_str(), cu), 0u);
  const std::string s = "[HKEY_CURRENT_USER\\" + root_;
  std::vector<std::string> lines = Lines(qx::test::TempDir::Read(file));
  std::vector<std::string> sections, values;
  for (const std::string& line : lines) (line[0] == '[' ? sections : values).push_back(line);
  EXPECT_EQ(sections, (std::vector<std::string>{s + "]", s + "\\A]", s + "\\A\\Deep]", s + "\\B]"}));
  std::set<std::string> own(values.begin(), values.end());
  EXPECT_EQ(own, (std::set<std::string>{"\"Name\"=\"Vexa \"Laser\" // 9000\"", "\"Count\"=dword:0000000a",
                                        "\"Blob\"=hex:", "\"\"=\"x\""}));
  // The key's own values sit in its own section, before the first subkey's section.
  ASSERT_GE(lines.size(), 2u);
  EXPECT_EQ(lines[0], s + "]");
  EXPECT_NE(lines[1][0], '[');

  const std::string before = qx::test::TempDir::Read(file);
  EXPECT_EQ(CRegistry::SaveToFile(root_.c_str(), file.c_str(), cu), static_cast<unsigned long>(ERROR_FILE_EXISTS));
  EXPECT_EQ(qx::test::TempDir::Read(file), before);
  EXPECT_EQ(CRegistry::SaveToFile((root_ + "\\Missing").c_str(), dir_.File("m.txt").c_str(), cu), 2u);

  // Round trip: strings and DWORDs come back, a binary value only as its line.
  RegDeleteTreeA(cu, root_.c_str());
  ASSERT_EQ(CRegistry::LoadFromFile(file.c_str()), 0u);
  EXPECT_EQ(RawGet(cu, root_, "Name"), std::make_pair(DWORD{REG_SZ}, std::string("Vexa \"Laser\" // 9000")));
  EXPECT_EQ(RawGet(cu, root_, "Count"), std::make_pair(DWORD{REG_DWORD}, std::string("\x0a\0\0\0", 4)));
  EXPECT_EQ(RawGet(cu, root_, "Blob").first, 0u);
  EXPECT_EQ(RawGet(cu, root_ + "\\A\\Deep", ""), std::make_pair(DWORD{REG_SZ}, std::string("x")));
  EXPECT_TRUE(KeyExists(cu, root_ + "\\B"));
}

TEST_F(RegistryExport, LoadReadsHivesAndValueLines) {
  const std::string k = root_;
  struct Case {
    std::string section;
    std::string line;
    HKEY root;
    std::string key;
    DWORD type;
    std::string data;
  } cases[] = {
      {"HKEY_CURRENT_USER\\" + k, "\"D\"=dword:0000000a", HKEY_CURRENT_USER, k, REG_DWORD, std::string("\x0a\0\0\0", 4)},
      {"hkey_current_user\\" + k, "\"D\"=dword:A", HKEY_CURRENT_USER, k, REG_DWORD, std::string("\x0a\0\0\0", 4)},
      {"HKEY_CURRENT_USER\\" + k, "\"D\"=DWORD: \"123456789\"", HKEY_CURRENT_USER, k, REG_DWORD,
       std::string("\x89\x67\x45\x23", 4)},
      {"HKEY_CURRENT_USER\\" + k, "\"D\"=dword:1g", HKEY_CURRENT_USER, k, REG_DWORD, std::string("\x10\0\0\0", 4)},
      {"HKEY_CURRENT_USER\\" + k, " \"S\" = \"a = b\" ", HKEY_CURRENT_USER, k, REG_SZ, "a = b"},
      {"HKEY_CURRENT_USER\\" + k, "\"S\"=\"\"", HKEY_CURRENT_USER, k, REG_SZ, ""},
      // Without a known hive the whole name is a key of the local machine hive.
      {k + "\\NoHive", "\"S\"=\"lm\"", HKEY_LOCAL_MACHINE, k + "\\NoHive", REG_SZ, "lm"},
      {"HKEY_NOWHERE\\" + k, "\"S\"=\"lm\"", HKEY_LOCAL_MACHINE, "HKEY_NOWHERE\\" + k, REG_SZ, "lm"},
  };
  int n = 0;
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    std::string file = dir_.Write("load" + std::to_string(n++) + ".txt", "[" + c.section + "]\r\n" + c.line + "\r\n");
    EXPECT_EQ(CRegistry::LoadFromFile(file.c_str()), 0u);
    const char* name = c.line.find("\"D\"") != std::string::npos ? "D" : "S";
    EXPECT_EQ(RawGet(c.root, c.key, name), std::make_pair(c.type, c.data));
  }
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, ("HKEY_NOWHERE\\Software\\" + id_.Mfg()).c_str());
  RegDeleteTreeA(HKEY_LOCAL_MACHINE, "HKEY_NOWHERE\\Software");
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, "HKEY_NOWHERE\\Software");
  RegDeleteKeyA(HKEY_LOCAL_MACHINE, "HKEY_NOWHERE");

  // A binary line writes nothing and succeeds; a line of unknown type is reported.
  std::string file = dir_.Write("bin.txt", "[HKEY_CURRENT_USER\\" + k + "]\r\n\"B\"=hex:\r\n");
  EXPECT_EQ(CRegistry::LoadFromFile(file.c_str()), 0u);
  EXPECT_EQ(RawGet(HKEY_CURRENT_USER, k, "B").first, 0u);
  file = dir_.Write("odd.txt", "[HKEY_CURRENT_USER\\" + k + "]\r\n\"O\"=multi:x\r\n");
  EXPECT_NE(CRegistry::LoadFromFile(file.c_str()), 0u);
  EXPECT_EQ(CRegistry::LoadFromFile(dir_.File("none.txt").c_str()), 110u);
}

TEST_F(RegistryExport, UsersHiveKeysAreSavedWithoutAHiveAndNotLoadedBack) {
  HKEY users = nullptr;
  ASSERT_EQ(RegOpenKeyExA(HKEY_USERS, ".DEFAULT", 0, KEY_READ, &users), 0);
  RegCloseKey(users);
  std::string key = ".DEFAULT\\" + root_;
  RawSet(HKEY_USERS, key, "S", REG_SZ, "u", 2);
  std::string file = dir_.File("users.txt");
  EXPECT_EQ(CRegistry::SaveToFile(key.c_str(), file.c_str(), HKEY_USERS), 0u);
  std::vector<std::string> lines = Lines(qx::test::TempDir::Read(file));
  ASSERT_FALSE(lines.empty());
  EXPECT_EQ(lines[0], "[\\" + key + "]");
  EXPECT_NE(CRegistry::LoadFromFile(file.c_str()), 0u);
  RegDeleteTreeA(HKEY_USERS, (".DEFAULT\\Software\\" + id_.Mfg()).c_str());
  RegDeleteKeyA(HKEY_USERS, (".DEFAULT\\Software\\" + id_.Mfg()).c_str());
}

}  // namespace
