// What the page preview renders: page sections and languages from raw scripts.
#include "tools/pagepreview/preview_plan.h"

#include <gtest/gtest.h>

namespace {

using preview::Language;

TEST(PreviewPlan, PageSectionsAreThoseThatPlaceObjectsOrControlsOrNameALicence) {
  const std::string config =
      "// comment\r\n[DLG_COMMON]\r\nDLG_SIZE=520,380\r\n"
      "[SELECT_LANGUAGE.WELCOME]\r\nFIXED_ITEM=SELECT_LANGUAGE.WELCOME.FIXED\r\n"
      "[SELECT_LANGUAGE.WELCOME.FIXED]\r\nCOMBO_LANGUAGE_RECT=1,2,3,4\r\n"
      "[NORMAL.MENU]\r\n  num_of_obj = 0\r\n"
      "[LICENSE.VIEW]\nLICENSE_FILE=x.txt\n"
      "[MENU.LINK]\r\nNAME=LINK\r\n"
      "[NOT.A.PAGE]\r\n// NUM_OF_OBJ=3\r\n"
      // Not a header: its next line still belongs to the section above.
      "[UNCLOSED\r\nNUM_OF_OBJ=1\r\n";
  EXPECT_EQ(preview::PageSections(config),
            (std::vector<std::string>{"SELECT_LANGUAGE.WELCOME", "NORMAL.MENU", "LICENSE.VIEW", "NOT.A.PAGE"}));
}

TEST(PreviewPlan, OneLanguagePerAbbreviationWithItsFirstId) {
  const std::string data =
      "[LANGUAGE_ABBR]\r\n0X0409=EN\r\n0X0009=EN\r\n0x040d=HB\r\n0X000D=hb\r\n"
      "0XZZ=XX\r\n0X12345=YY\r\n0X0000=ZZ\r\n1033=NO\r\n0X0407=\r\n0X0407=GR\r\n"
      "[OTHER]\r\n0X0411=JP\r\n";
  std::vector<Language> languages = preview::Languages(data);
  ASSERT_EQ(languages.size(), 3u);
  const struct {
    LANGID id;
    const char* abbreviation;
  } expected[] = {{0x0409, "EN"}, {0x040D, "HB"}, {0x0407, "GR"}};
  for (size_t i = 0; i < languages.size(); ++i) {
    EXPECT_EQ(languages[i].id, expected[i].id);
    EXPECT_EQ(languages[i].abbreviation, expected[i].abbreviation);
  }
}

TEST(PreviewPlan, PictureNamesHoldNoCharacterAFileNameCannot) {
  EXPECT_EQ(preview::PictureName("NORMAL.MAIN_MENU", "EN"), "NORMAL.MAIN_MENU_EN.png");
  EXPECT_EQ(preview::PictureName("A\\B/C:D*E?F\"G<H>I|J K", "HB"), "A_B_C_D_E_F_G_H_I_J_K_HB.png");
}

}  // namespace
