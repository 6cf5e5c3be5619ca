// The folder browser, driven from a second thread as a person would: type a
// path in the field above the tree, press OK, answer the create question.
#include "setup/ui/browse_dir.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "framework/message_box.h"
#include "tests/ui/browser_driver.h"
#include "tests/ui/ui_test_support.h"

namespace {

struct Asked {
  std::string text, caption;
  UINT style;
};
std::vector<Asked> g_asked;
int g_answer = IDNO;

int Answer(HWND, const char* text, const char* caption, UINT style) {
  g_asked.push_back({text ? text : "", caption ? caption : "", style});
  return g_answer;
}

uitest::MediumFiles Files() {
  uitest::MediumFiles f;
  f.config = "[BROWSE.T]\r\nDLG_TITLE=BT\r\nPATH_NOT_FOUND_MSG=NF\r\n[BROWSE.EMPTY]\r\n[BROWSE.NOTEXT]\r\nDLG_TITLE=ZZ\r\n";
  f.messagesEn = "BT=Choose a folder\r\nNF=The folder %s does not exist. Create it?\r\n";
  return f;
}

TEST(BrowseDir, TypedPathsAndTheCreateQuestion) {
  uitest::PageMedium medium(Files());
  ASSERT_TRUE(medium.ok());
  const std::string base = medium.Dir().Path();
  const std::string existing = base + "\\medium";
  const std::string file = base + "\\a-file";
  CloseHandle(CreateFileA(file.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
  struct Case {
    const char* name;
    std::string typed;
    bool pressOk;
    int answer;
    int result;
    size_t questions;
    UINT lastIcon;
    bool created;
  } cases[] = {
      {"existing folder", existing, true, IDNO, 1, 0, 0, true},
      {"new chain, yes", base + "\\new\\deeper\\dest", true, IDYES, 1, 1, MB_ICONQUESTION, true},
      {"new folder, no", base + "\\refused", true, IDNO, -1, 1, MB_ICONQUESTION, false},
      {"a file, yes", file, true, IDYES, -1, 2, MB_ICONEXCLAMATION, false},
      {"cancel", "", false, IDNO, -1, 0, 0, false},
  };
  fw::MessageBoxHook previous = fw::SetMessageBoxHook(Answer);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    g_asked.clear();
    g_answer = c.answer;
    ui::CBrowseDir browse;
    ASSERT_TRUE(browse.SetUp("BROWSE.T"));
    EXPECT_EQ(browse.Title(), "Choose a folder");
    const std::string start = base + "\\start";
    CreateDirectoryA(start.c_str(), nullptr);
    browse.SetPath(start);
    int result = 0;
    {
      uitest::BrowserDriver driver(GetCurrentThreadId(), c.typed, c.pressOk);
      result = browse.Run(nullptr);
      driver.worker.join();
      ASSERT_TRUE(driver.found);
      EXPECT_EQ(driver.startText, start);  // the field starts with the destination
      if (c.pressOk) {
        EXPECT_TRUE(driver.okEnabled);
      }
      EXPECT_EQ(driver.stayed, c.pressOk && c.result != 1);
    }
    EXPECT_EQ(result, c.result);
    EXPECT_EQ(browse.Path(), c.result == 1 ? c.typed : start);
    ASSERT_EQ(g_asked.size(), c.questions);
    if (c.questions) {
      EXPECT_EQ(g_asked.back().text, "The folder " + c.typed + " does not exist. Create it?");
      EXPECT_EQ(g_asked.back().caption, "Choose a folder");
      EXPECT_EQ(g_asked.back().style & MB_ICONMASK, c.lastIcon);
      EXPECT_EQ(g_asked.back().style & MB_TYPEMASK, static_cast<UINT>(MB_YESNO));
    }
    if (!c.typed.empty() && c.typed != file) {
      DWORD attributes = GetFileAttributesA(c.typed.c_str());
      EXPECT_EQ(attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY), c.created);
    }
  }
  fw::SetMessageBoxHook(previous);
  EXPECT_TRUE(ui::IsDrivePath("C:\\x"));
  EXPECT_FALSE(ui::IsDrivePath("\\\\server\\share"));
  EXPECT_FALSE(ui::IsDrivePath(""));
}

TEST(BrowseDir, MissingTextsAreLogged) {
  uitest::PageMedium medium(Files());
  ui::CBrowseDir empty, noText;
  empty.SetUp("BROWSE.EMPTY");
  noText.SetUp("BROWSE.NOTEXT");
  EXPECT_EQ(empty.Title(), "");
  EXPECT_EQ(medium.CountInLog("[CBrowseDir] Get Title Name fail...[BROWSE.EMPTY]"), 1);
  EXPECT_EQ(medium.CountInLog("[CBrowseDir] Get folder-not-found message fail...[BROWSE.EMPTY]"), 1);
  EXPECT_EQ(medium.CountInLog("[CBrowseDir] Get Title Name fail...[BROWSE.NOTEXT,ZZ]"), 1);
  EXPECT_EQ(empty.Path(), medium.Env().GetDestDir());
}

}  // namespace
