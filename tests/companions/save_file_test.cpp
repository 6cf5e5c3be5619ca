// SaveFile writes the key tree in the saved registry text format, and what it
// writes loads back into the same values.
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "setup/scriptlib/profile.h"
#include "tests/companions/dll_support.h"
#include "tests/support/test_identity.h"

namespace {

using namespace qx::test;
using Save = BOOL(__stdcall*)(const char*, const char*, int);
using Load = BOOL(__stdcall*)(const char*);

TEST(SaveFile, WritesTheTreeAndLoadsBack) {
  TestIdentity id;
  TempDir dir;
  std::string root = id.InstallKey();
  SetString(HKEY_LOCAL_MACHINE, root, "Printer_Port", "USB001");
  SetDword(HKEY_LOCAL_MACHINE, root, "Install_Type", 10);
  SetString(HKEY_LOCAL_MACHINE, root + "\\Items\\DRV", "Command", "C:\\x\\setup.exe");
  SetDword(HKEY_LOCAL_MACHINE, root + "\\Items\\DRV", "Install", 1);
  HKEY k = nullptr;
  ASSERT_EQ(RegCreateKeyExA(HKEY_LOCAL_MACHINE, (root + "\\Items\\DRV").c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                            &k, nullptr),
            ERROR_SUCCESS);
  BYTE bytes[] = {1, 2, 3};
  RegSetValueExA(k, "Blob", 0, REG_BINARY, bytes, sizeof(bytes));
  RegCloseKey(k);
  SetString(HKEY_LOCAL_MACHINE, root + "\\Items\\DRV", "Broken", "line1\r\n[Injected]\r\nx=\"y\"");
  SetString(HKEY_LOCAL_MACHINE, root + "\\Empty", "", "default");

  Dll util("qxutil.dll");
  auto save = util.Fn<Save>("SaveFile");
  std::string file = dir.File("RtReg.reg");
  ASSERT_TRUE(save(file.c_str(), root.c_str(), 0));
  std::string text = TempDir::Read(file);
  std::string head = "[HKEY_LOCAL_MACHINE\\" + root + "]\r\n";
  EXPECT_EQ(text.rfind(head, 0), 0u) << text;
  EXPECT_NE(text.find("\"Install_Type\"=dword:0000000a\r\n"), std::string::npos) << text;
  EXPECT_NE(text.find("\"Printer_Port\"=\"USB001\"\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"Blob\"=hex:\r\n"), std::string::npos);
  EXPECT_NE(text.find("\"\"=\"default\"\r\n"), std::string::npos);
  EXPECT_EQ(text.find("Injected"), std::string::npos);  // a value with a line break is left out
  // Pre-order: the key before its subkeys.
  EXPECT_LT(text.find(head), text.find("\\Items]"));
  EXPECT_LT(text.find("\\Items]"), text.find("\\Items\\DRV]"));

  ASSERT_EQ(RegDeleteTreeA(HKEY_LOCAL_MACHINE, root.c_str()), ERROR_SUCCESS);
  ASSERT_TRUE(util.Fn<Load>("LoadFile")(file.c_str()));
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, root, "Printer_Port"), "USB001");
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, root, "Install_Type", 0), 10u);
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, root + "\\Items\\DRV", "Command"), "C:\\x\\setup.exe");
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, root + "\\Items\\DRV", "Install", 0), 1u);
  EXPECT_EQ(GetString(HKEY_LOCAL_MACHINE, root + "\\Empty", ""), "default");
  EXPECT_EQ(GetDword(HKEY_LOCAL_MACHINE, root + "\\Items\\DRV", "Blob", 77), 77u);  // binary: name only, not recreated

  // A second save replaces the file, now without the binary value that did not come back.
  EXPECT_TRUE(save(file.c_str(), root.c_str(), 0));
  std::string blobLine = "\"Blob\"=hex:\r\n";
  EXPECT_EQ(TempDir::Read(file), text.replace(text.find(blobLine), blobLine.size(), ""));
  // A key that does not exist is refused and leaves no file.
  EXPECT_FALSE(save(dir.File("other.reg").c_str(), (root + "\\Nothing").c_str(), 0));
  EXPECT_FALSE(FileExists(dir.File("other.reg")));
}

}  // namespace

namespace {

// The installer's registry store reads these files with its script reader:
// every key must come back as a section and every value as one line.
TEST(SaveFile, ReadableByTheScriptReader) {
  qx::test::TestIdentity id;
  qx::test::TempDir dir;
  std::string root = id.InstallKey();
  qx::test::SetString(HKEY_LOCAL_MACHINE, root, "Printer_Port", "USB001");
  qx::test::SetDword(HKEY_LOCAL_MACHINE, root + "\\Items\\DRV", "Install", 1);
  qx::test::Dll util("qxutil.dll");
  std::string file = dir.File("RtReg.reg");
  ASSERT_TRUE(util.Fn<Save>("SaveFile")(file.c_str(), root.c_str(), 0));

  auto profile = std::make_unique<CProfile>();
  ASSERT_EQ(profile->Create(file.c_str(), nullptr, false), 0u);
  std::vector<char> names(4096);
  ASSERT_EQ(profile->GetSectionName(names.data(), static_cast<unsigned long>(names.size()), true), 0u);
  std::vector<std::string> sections;
  for (const char* p = names.data(); *p; p += strlen(p) + 1) sections.emplace_back(p);
  std::string hive = "HKEY_LOCAL_MACHINE\\" + root;
  EXPECT_EQ(sections, (std::vector<std::string>{hive, hive + "\\Items", hive + "\\Items\\DRV"}));
  std::vector<char> lines(4096);
  ASSERT_EQ(profile->GetAllKey((hive + "\\Items\\DRV").c_str(), lines.data(), 4096, true), 0u);
  EXPECT_STREQ(lines.data(), "\"Install\"=dword:00000001");
}

}  // namespace
