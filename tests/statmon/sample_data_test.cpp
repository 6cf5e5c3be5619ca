// The shipped sample data is complete: the status table reads to its end and
// covers the usual printer states, and every language file has a text for
// every string ID the monitor, the table and the country list name.
#include <gtest/gtest.h>

#include <set>

#include "statmon/country.h"
#include "statmon/status_code_table.h"
#include "statmon/string_table.h"
#include "tests/statmon/sm_test_support.h"

namespace {

const char* const kMonitorIds[] = {
    "STSWND_LABEL_PRINTER_STATUS", "STSWND_LABEL_TONER_LEVEL", "STSWND_LABEL_TONER_LOW", "STSWND_LABEL_TONER_EMPTY",
    "STSWND_STR_LOW_TONER_GUIDE", "STSWND_STR_LOW_TONER_WND_GUIDE", "STSWND_BTN_ORDER_TONER", "LTWWND_CAPTION",
    "LTWWND_BTN_ORDER_TONER_ONLINE", "LTWWND_CATRIDGE_AVAILABLE_INFO", "LTWWND_STR_NOTE", "LTWWND_STR2",
    "LTWWND_STR_TEL", "MEMOVERWND_CAPTION", "MEMOVERWND_TITLE", "MEMOVERWND_STR1", "MEMOVERWND_STR2",
    "OTCWND_CAPTION", "OTCWND_TITLE", "OTCWND_STR2", "OTCWND_LABEL_TEL", "OTCWND_VISIT_WEBSITE", "OTCWND_STR_NOTE",
    "OTCWND_STR_TEL", "OTCWND_STR_CONTACT", "COMMON_BTN_CLOSE", "COMMON_BTN_OK", "COMMON_BTN_CANCEL",
    "SM_USB_CABLE_OFF", "SM_NONDEFINED_ERROR_SHORT", "SM_MEMORY_OVERFLOW"};

TEST(SampleData, StatusTableCoversTheUsualStates) {
  CParser table;
  table.SetPath(smtest::MediaDir() + "\\smcode.dat");
  ASSERT_TRUE(table.ReadFile());
  std::set<std::string> ids;
  for (const StatusCodeRecord& r : table.Records()) ids.insert(r.stringId);
  for (const char* id : {"SM_READY", "SM_PRINTING", "SM_WARMING_UP", "SM_PAPER_JAM", "SM_OUT_OF_PAPER", "SM_DOOR_OPEN",
                         "SM_TONER_LOW", "SM_TONER_EMPTY", "SM_MEMORY_OVERFLOW", "SM_OFFLINE", "SM_USB_CABLE_OFF"})
    EXPECT_EQ(ids.count(id), 1u) << id;
  // The first line of the file is the catch-all, consulted last.
  EXPECT_EQ(table.Records().back().mask, 0u);
}

TEST(SampleData, EveryLanguageFileHasEveryId) {
  CParser table;
  table.SetPath(smtest::MediaDir() + "\\smcode.dat");
  ASSERT_TRUE(table.ReadFile());
  std::vector<std::string> ids(std::begin(kMonitorIds), std::end(kMonitorIds));
  for (const StatusCodeRecord& r : table.Records()) ids.push_back(r.stringId);
  std::string config = smtest::ReadMedia("QXL2020.dat");
  std::string phone = config.substr(config.find("[Phone]") + 8);
  for (size_t pos = 0; pos < phone.size();) {
    size_t end = phone.find('\n', pos);
    std::string line = phone.substr(pos, end - pos);
    if (!line.empty()) ids.push_back(line.substr(0, line.find('=')));
    pos = end == std::string::npos ? phone.size() : end + 1;
  }
  EXPECT_GE(ids.size(), 31u + 20u + 10u);
  for (const char* file : {"\\MulLang\\SMen.trs", "\\MulLang\\SMHB.trs"}) {
    CStrTableList strings;
    ASSERT_TRUE(strings.Initialize((smtest::MediaDir() + file).c_str())) << file;
    for (const std::string& id : ids) EXPECT_FALSE(strings.Text(id).empty()) << file << ": " << id;
  }
}

}  // namespace
