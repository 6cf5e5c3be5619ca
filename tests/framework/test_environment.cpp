// Message boxes never block these tests: any box that is not answered by a
// test's own hook fails the running test and returns at once.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdio>
#include <string>

#include "framework/message_box.h"
#include "tests/framework/test_helpers.h"

namespace fw::test {

const char* UniqueClassName() {
  static std::atomic<unsigned> counter{0};
  static thread_local std::string name;
  name = "QxFwTest" + std::to_string(GetCurrentProcessId()) + "_" + std::to_string(counter++);
  return name.c_str();
}

namespace {

int UnexpectedMessageBox(HWND, const char* text, const char* caption, UINT) {
  ADD_FAILURE() << "unexpected message box \"" << (caption ? caption : "") << "\": " << (text ? text : "");
  return IDCANCEL;
}

class NoMessageBoxes : public ::testing::Environment {
  void SetUp() override { SetMessageBoxHook(UnexpectedMessageBox); }
  void TearDown() override { SetMessageBoxHook(nullptr); }
};

const auto* const g_environment = ::testing::AddGlobalTestEnvironment(new NoMessageBoxes);

}  // namespace
}  // namespace fw::test
