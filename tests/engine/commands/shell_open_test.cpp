// Documents and web addresses opened through the shell reach the program
// registered for them (the helper, which exits at once); folders go through
// the shell seam, since opening one under Wine starts a file manager.
#include <gtest/gtest.h>

#include <algorithm>

#include "tests/engine/commands/engine_test_support.h"

namespace {

using enginetest::Medium;

class ShellOpen : public ::testing::Test {
 protected:
  ShellOpen() {
    op_.Initialise(nullptr, false);
    std::string command = "\"" + enginetest::HelperPath() + "\" \"%1\"";
    enginetest::SetString(HKEY_LOCAL_MACHINE, "Software\\Classes\\" + extension_, "", docClass_);
    enginetest::SetString(HKEY_LOCAL_MACHINE, "Software\\Classes\\" + docClass_ + "\\shell\\open\\command", "", command);
    enginetest::SetString(HKEY_LOCAL_MACHINE, "Software\\Classes\\" + scheme_, "", "URL:" + scheme_);
    enginetest::SetString(HKEY_LOCAL_MACHINE, "Software\\Classes\\" + scheme_, "URL Protocol", "");
    enginetest::SetString(HKEY_LOCAL_MACHINE, "Software\\Classes\\" + scheme_ + "\\shell\\open\\command", "", command);
  }
  ~ShellOpen() override {
    for (const std::string& key : {extension_, docClass_, scheme_}) {
      RegDeleteTreeA(HKEY_LOCAL_MACHINE, ("Software\\Classes\\" + key).c_str());
    }
  }
  bool Run(const std::string& type, const std::string& str) {
    CommandRecord record(type, str);
    return op_.Execute(record);
  }
  bool HelperSaw(const std::string& text) {
    return enginetest::PumpUntil(
        [&] { return enginetest::ReadFile(medium_.HelperOutput()).find(text) != std::string::npos; }, 20000);
  }

  std::string suffix_ = std::to_string(GetCurrentProcessId());
  std::string extension_ = ".qxdoc" + suffix_;
  std::string docClass_ = "QxEngineDoc" + suffix_;
  std::string scheme_ = "qxengine" + suffix_;
  Medium medium_{"", ""};
  CCmdOperator op_;
};

TEST_F(ShellOpen, DocumentsOpenWithTheirRegisteredProgram) {
  std::string document = medium_.Dir().Write("medium\\guide" + extension_, "text");
  EXPECT_TRUE(Run("CT_OPEN_FILE_NOWAIT", "guide" + extension_));
  EXPECT_TRUE(HelperSaw("guide" + extension_)) << enginetest::ReadFile(medium_.HelperOutput());
  EXPECT_FALSE(Run("CT_OPEN_FILE_NOWAIT", "absent" + extension_));
}

TEST_F(ShellOpen, WebAddressesGoUnexpandedToTheirHandler) {
  EXPECT_TRUE(Run("CT_OPEN_URL", scheme_ + ":page?model=$SRC_DIR$"));
  EXPECT_TRUE(HelperSaw(scheme_ + ":page?model=$SRC_DIR$")) << enginetest::ReadFile(medium_.HelperOutput());
}

std::vector<std::string>& Opened() {
  static std::vector<std::string> opened;
  return opened;
}
HINSTANCE Record(HWND, const char* file) {
  Opened().push_back(file);
  return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(42));
}
HINSTANCE Refuse(HWND, const char* file) {
  Opened().push_back(file);
  return reinterpret_cast<HINSTANCE>(static_cast<INT_PTR>(ERROR_FILE_NOT_FOUND));
}

TEST_F(ShellOpen, FoldersAndTheMediumRootFallback) {
  Opened().clear();
  medium_.Dir().Write("medium\\docs\\a.txt", "a");
  op_.SetShellOpenHook(&Record);
  EXPECT_TRUE(Run("CT_OPEN_BROWSE", "$SRC_DIR$\\docs"));
  EXPECT_TRUE(Run("CT_OPEN_BROWSE", ".\\docs"));
  EXPECT_TRUE(Run("CT_OPEN_BROWSE", "no-such-folder"));
  ASSERT_EQ(Opened().size(), 3u);
  EXPECT_EQ(Opened()[0], medium_.SrcDir() + "\\docs");
  EXPECT_EQ(Opened()[1], medium_.SrcDir() + "\\docs");
  EXPECT_EQ(Opened()[2], medium_.SrcDir().substr(0, 3));

  enginetest::MessageBoxAnswer answer(IDOK);
  op_.SetShellOpenHook(&Refuse);
  EXPECT_TRUE(Run("CT_OPEN_BROWSE", "$SRC_DIR$\\docs"));
  EXPECT_TRUE(Run("CT_OPEN_URL", "http://example.invalid/"));
  EXPECT_EQ(enginetest::MessageBoxAnswer::Texts().size(), 2u);  // each failure reported
}

// An empty address goes to the shell like any other, and its failure is shown.
TEST_F(ShellOpen, AnEmptyWebAddressReportsTheShellsFailure) {
  Opened().clear();
  enginetest::MessageBoxAnswer answer(IDOK);
  op_.SetShellOpenHook(&Refuse);
  EXPECT_TRUE(Run("CT_OPEN_URL", ""));
  ASSERT_EQ(Opened(), std::vector<std::string>{""});
  EXPECT_EQ(enginetest::MessageBoxAnswer::Texts().size(), 1u);
}

}  // namespace
