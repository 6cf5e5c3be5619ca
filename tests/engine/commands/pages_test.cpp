// Page selection, the page history and nested modal pages, with test pages
// that run real modal dialogs.
#include <gtest/gtest.h>

#include "tests/companions/dll_support.h"
#include "tests/engine/commands/engine_test_support.h"

namespace {

using engine::PageKind;
using enginetest::Medium;
using enginetest::TestPage;

class Pages : public ::testing::Test {
 protected:
  Pages() {
    op_.Initialise(control_.Handle(), true);
    op_.SetPage(PageKind::kNormal, &normal_);
    op_.SetPage(PageKind::kSelectItem, &items_);
    op_.SetPage(PageKind::kInstall, &install_);
    op_.SetPage(PageKind::kUninst, &uninst_);
    op_.SetPage(PageKind::kFinish, &finish_);
    op_.SetPage(PageKind::kLicense, &license_);
  }
  bool Open(const std::string& section) {
    CommandRecord record("CT_OPEN_DLG", section);
    return op_.Execute(record);
  }
  bool Run(const std::string& type, const std::string& str = "", const std::string& param = "") {
    CommandRecord record(type, str, param);
    return op_.Execute(record);
  }
  // The page ends itself as soon as it is shown.
  static void EndAtOnce(TestPage& page) {
    page.onStart.push_back([&page] { page.End(IDOK); });
  }

  Medium medium_{"", ""};
  enginetest::ControlWindow control_;
  CCmdOperator op_;
  TestPage normal_{"normal"}, items_{"items"}, install_{"install"}, uninst_{"uninst"}, finish_{"finish"},
      license_{"license"};
};

TEST_F(Pages, SelectionByPrefixAnywhereInTheSectionName) {
  struct Case {
    const char* section;
    TestPage* page;
  } cases[] = {{"MY_NORMAL.PAGE1", &normal_},
               {"INSTALL.SELECT_ITEM.PAGE", &items_},
               {"SELECT_ITEM.INSTALL.PAGE", &items_},
               {"UNINSTALL.PAGE", &install_},
               {"UNINST.PAGE", &uninst_},
               {"FINISH.PAGE", &finish_}};
  for (const Case& c : cases) {
    EndAtOnce(*c.page);
    int runs = c.page->runs;
    EXPECT_TRUE(Open(c.section)) << c.section;
    EXPECT_EQ(c.page->runs, runs + 1) << c.section;
    EXPECT_EQ(c.page->LoadedSection(), c.section);
    EXPECT_EQ(op_.CurrentPage(), c.page);
    EXPECT_EQ(op_.MainPage(), c.page);
  }
  EXPECT_EQ(op_.HistoryIndex(), 5);
  ASSERT_EQ(op_.HistorySections().size(), 6u);
  EXPECT_EQ(op_.HistorySections()[3], "UNINSTALL.PAGE");
  EXPECT_EQ(op_.HistoryPages()[3], &install_);
}

TEST_F(Pages, BadSectionsMissingPagesAndFailedLoads) {
  EXPECT_FALSE(Open("WELCOME"));
  EXPECT_NE(medium_.Log().find("[CCmdOperator] Dialog section is invalid [WELCOME]!\n"), std::string::npos);
  EXPECT_FALSE(Open(""));
  EXPECT_FALSE(Open("SET_PORT.PAGE"));  // no page of that kind installed
  EXPECT_NE(medium_.Log().find("[CCmdOperator] No page object for the section [SET_PORT.PAGE] (SET_PORT.)\n"),
            std::string::npos);
  normal_.failLoad = true;
  EXPECT_FALSE(Open("NORMAL.BROKEN"));
  EXPECT_EQ(normal_.runs, 0);
  EXPECT_EQ(op_.HistoryIndex(), -1);
  EXPECT_FALSE(Run("CT_DLG_BACK"));  // nothing to go back to
  EXPECT_EQ(op_.HistoryIndex(), -1);
}

TEST_F(Pages, NestedModalPagesBackAndUnwinding) {
  bool checkedInner = false, checkedBack = false;
  normal_.onStart.push_back([&] { EXPECT_TRUE(Open("SELECT_ITEM.CHOOSE")); });
  items_.onStart.push_back([&] {
    // Inside the second page's loop, inside the first page's loop.
    EXPECT_EQ(op_.HistoryIndex(), 1);
    EXPECT_EQ(op_.CurrentPage(), &items_);
    ASSERT_NE(normal_.Window(), nullptr);
    EXPECT_FALSE(IsWindowVisible(normal_.Window()));
    EXPECT_TRUE(IsWindowVisible(items_.Window()));
    checkedInner = true;
    EXPECT_TRUE(Run("CT_DLG_BACK"));
    EXPECT_EQ(op_.HistoryIndex(), 0);
    EXPECT_EQ(op_.CurrentPage(), &normal_);
    EXPECT_TRUE(IsWindowVisible(normal_.Window()));
    EXPECT_FALSE(IsWindowVisible(items_.Window()));
    EXPECT_EQ(normal_.loads.size(), 1u);  // same section: not reloaded
    EXPECT_EQ(op_.HistoryPages().size(), 1u);
    EXPECT_EQ(op_.HistorySections().size(), 2u);  // later names stay
    checkedBack = true;
    EXPECT_TRUE(op_.EndAllPages());
  });
  EXPECT_TRUE(Open("NORMAL.WELCOME"));
  EXPECT_TRUE(checkedInner);
  EXPECT_TRUE(checkedBack);
  EXPECT_EQ(normal_.Window(), nullptr);
  EXPECT_EQ(items_.Window(), nullptr);
  EXPECT_EQ(normal_.runs, 1);
  EXPECT_EQ(items_.runs, 1);
}

TEST_F(Pages, BackAfterOpeningTheSamePageTwiceReloadsTheEarlierSection) {
  normal_.onStart.push_back([&] {
    EXPECT_TRUE(Open("NORMAL.SECOND"));  // the window exists: refreshed in place
    EXPECT_EQ(normal_.LoadedSection(), "NORMAL.SECOND");
    EXPECT_EQ(normal_.refreshes, 1);
    EXPECT_EQ(op_.HistoryIndex(), 1);
    EXPECT_TRUE(IsWindowVisible(normal_.Window()));
    EXPECT_TRUE(Run("CT_DLG_BACK"));
    EXPECT_EQ(op_.HistoryIndex(), 0);
    EXPECT_EQ(op_.CurrentPage(), &normal_);
    EXPECT_EQ(normal_.LoadedSection(), "NORMAL.FIRST");
    EXPECT_EQ(normal_.refreshes, 2);
    EXPECT_TRUE(IsWindowVisible(normal_.Window()));
    normal_.End(IDOK);
  });
  EXPECT_TRUE(Open("NORMAL.FIRST"));
  EXPECT_EQ(normal_.runs, 1);
  EXPECT_EQ(normal_.loads, (std::vector<std::string>{"NORMAL.FIRST", "NORMAL.SECOND", "NORMAL.FIRST"}));
}

TEST_F(Pages, OpenFinishChoosesBySectionOrParameterByInstallType) {
  struct Case {
    DWORD type;
    const char* expected;
  } cases[] = {{0, "FINISH.LOCAL"}, {2, "FINISH.LOCAL"}, {4, "FINISH.REMOTE"}, {20, "FINISH.REMOTE"},
               {36, "FINISH.REMOTE"}, {32, "FINISH.LOCAL"}};
  for (const Case& c : cases) {
    medium_.SetInstallType(c.type);
    EndAtOnce(finish_);
    EXPECT_TRUE(Run("CT_OPEN_FINISH", "FINISH.LOCAL", "FINISH.REMOTE"));
    EXPECT_EQ(finish_.LoadedSection(), c.expected) << c.type;
  }
}

TEST_F(Pages, LicenceViewerRunsModallyFromTheCurrentPage) {
  EndAtOnce(license_);
  EXPECT_TRUE(Run("CT_VIEW_LICESNE", "LICENSE.EULA"));
  EXPECT_EQ(license_.runs, 1);
  EXPECT_EQ(license_.loads, std::vector<std::string>{"LICENSE.EULA"});
  EXPECT_EQ(op_.HistoryIndex(), -1);  // not a wizard page: no history
  op_.SetPage(PageKind::kLicense, nullptr);
  EXPECT_FALSE(Run("CT_VIEW_LICESNE", "LICENSE.EULA"));
  EXPECT_NE(medium_.Log().find("[CCmdOperator] No licence viewer for the section [LICENSE.EULA]\n"),
            std::string::npos);
}

TEST_F(Pages, FindLocalPrinterOpensThePageByTheDeviceCount) {
  // Without the utility library: logged, and Back (nothing to go back to).
  EXPECT_FALSE(Run("CT_FIND_LOCAL_PRINTER", "NORMAL.FOUND", "NORMAL.NOTFOUND"));
  EXPECT_NE(medium_.Log().find("[CCmdOperator] GetProcAddress(GetDevicePort) error"), std::string::npos);

  qx::test::Dll util((enginetest::ExeDir() + "\\qxutil.dll").c_str());
  ASSERT_TRUE(util.Loaded());
  HMODULE module = GetModuleHandleA((enginetest::ExeDir() + "\\qxutil.dll").c_str());
  op_.SetLibrary(CCmdOperator::kUtility, module);
  {
    qx::test::NoWorld none;
    EndAtOnce(normal_);
    EXPECT_TRUE(Run("CT_FIND_LOCAL_PRINTER", "NORMAL.FOUND", "NORMAL.NOTFOUND"));
    EXPECT_EQ(normal_.LoadedSection(), "NORMAL.NOTFOUND");
  }
  qx::test::WorldFile world("[UsbPrinter:1]\nMfg=" + medium_.Id().Mfg() + "\nModel=Laser 9000\n"
                            "VidPid=VID_2B2B&PID_0101\nPort=USB003\n");
  EndAtOnce(normal_);
  EXPECT_TRUE(Run("CT_FIND_LOCAL_PRINTER", "NORMAL.FOUND", "NORMAL.NOTFOUND"));
  EXPECT_EQ(normal_.LoadedSection(), "NORMAL.FOUND");
}

}  // namespace

namespace {

// A wizard of ten pages, each opened by a command section run from the page
// before: the pages nest ten modal loops, and the section nesting limit (which
// stops sections that call themselves) does not cut the wizard short.
TEST(PageChain, CommandSectionsFromNestedPagesAreNotCountedAsRecursion) {
  const char* prefixes[] = {"NORMAL.", "SET_PRINTERS.", "ENTER_CLIENT_PC.", "SET_PORT.", "SELECT_DRIVER.",
                            "SELECT_PRINTER.", "SELECT_LANGUAGE.", "SELECT_ITEM.", "INSTALL.", "UNINST."};
  std::string config;
  for (int i = 0; i < 10; ++i) {
    config += "[STEP" + std::to_string(i) + "]\r\nCT_OPEN_DLG=" + prefixes[i] + "P" + std::to_string(i) + "\r\n";
  }
  Medium medium("", config);
  CCmdOperator op;
  op.Initialise(nullptr, false);
  std::vector<std::unique_ptr<TestPage>> pages;
  for (int i = 0; i < 10; ++i) {
    pages.push_back(std::make_unique<TestPage>("page" + std::to_string(i)));
    op.SetPage(static_cast<PageKind>(i), pages.back().get());
  }
  int deepest = -1;
  for (int i = 0; i < 10; ++i) {
    pages[static_cast<size_t>(i)]->onStart.push_back([&, i] {
      deepest = i;
      if (i == 9) {
        op.EndAllPages();
        return;
      }
      CommandRecord next("CT_COMMAND", "STEP" + std::to_string(i + 1));
      EXPECT_TRUE(op.Execute(next));
    });
  }
  CommandRecord first("CT_COMMAND", "STEP0");
  EXPECT_TRUE(op.Execute(first));
  EXPECT_EQ(deepest, 9);
  EXPECT_EQ(op.HistoryIndex(), 9);
  EXPECT_EQ(medium.CountInLog("nested deeper"), 0);
}

}  // namespace
