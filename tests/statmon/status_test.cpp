#include "statmon/status.h"

#include <gtest/gtest.h>

#include "statmon/status_code_table.h"
#include "tests/support/temp_dir.h"

namespace {

struct KindCase {
  unsigned char bytes[8];
  int kind;
  int toner;
};

class StatusKindTest : public ::testing::TestWithParam<KindCase> {};

TEST_P(StatusKindTest, KindFromByteZeroAndOne) {
  CStatus status;
  status.Initialize(GetParam().bytes, 8);
  EXPECT_EQ(status.Kind(), GetParam().kind);
  EXPECT_EQ(status.GetTonerLevel(), GetParam().toner);
}

INSTANTIATE_TEST_SUITE_P(Bytes, StatusKindTest,
                         ::testing::Values(KindCase{{0x01, 0x00, 0, 0, 0, 0x32, 0, 0}, 4, 0x32},  // no status: error
                                           KindCase{{0x06, 0x01, 0, 0, 0, 0x14, 0, 0}, 2, 0x14},  // bit 1 before bit 2
                                           KindCase{{0x07, 0x01, 0, 0, 0, 0, 0, 0}, 1, 0},
                                           KindCase{{0x04, 0x01, 0, 0, 0, 0, 0, 0}, 4, 0},
                                           KindCase{{0x80, 0x01, 0, 0, 0, 0x64, 0, 0}, -1, 100}));

TEST(StatusStringId, TableThenFallbacks) {
  qx::test::TempDir dir;
  CParser table;
  table.SetPath(dir.Write("smcode.dat", "SM_JAM 0x0002030000000000 0x00FFFF0000000000 jam\n"));
  ASSERT_TRUE(table.ReadFile());
  struct {
    unsigned char bytes[8];
    const char* id;
  } cases[] = {
      {{0x04, 0x02, 0x03, 0, 0, 0, 0, 0}, "SM_JAM"},
      {{0x04, 0x00, 0x03, 0, 0, 0, 0, 0}, "SM_USB_CABLE_OFF"},
      {{0x04, 0x02, 0x04, 0, 0, 0, 0, 0}, "SM_NONDEFINED_ERROR_SHORT"},
  };
  for (const auto& c : cases) {
    CStatus status;
    status.Initialize(c.bytes, 8);
    EXPECT_EQ(status.GetStatusStringIDFromStatus(table), c.id);
  }
}

}  // namespace
