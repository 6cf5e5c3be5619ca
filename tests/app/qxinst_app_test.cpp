// The installer's exit code: 1 on every path of a run.
#include "setup/core/qxinst_app.h"

#include <gtest/gtest.h>

#include <stdexcept>

namespace {

class FailingStart : public CQXInstApp {
 public:
  explicit FailingStart(int how) : how_(how) {}
  bool InitInstance() override {
    if (how_ == 1) throw std::runtime_error("start-up failed");
    if (how_ == 2) throw 7;
    return false;
  }

 private:
  int how_;
};

TEST(InstallerExitCode, IsOneAlsoWhenAnExceptionEndsTheStartUp) {
  for (int how : {0, 1, 2}) {
    FailingStart app(how);
    EXPECT_EQ(app.Run(), 1) << "case " << how;
  }
}

}  // namespace
