#include "setup/scriptlib/api_function.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Logged {
  std::vector<std::string> lines;
  std::vector<unsigned long> errors;
};
void Collect(void* context, unsigned long error, const char* text) {
  static_cast<Logged*>(context)->lines.push_back(text);
  static_cast<Logged*>(context)->errors.push_back(error);
}

TEST(APIFunction, UnboundCallsReturnTheirFailureValues) {
  CAPIFunction api;
  LPBYTE buffer = nullptr;
  EXPECT_EQ(api.NetWkstaGetInfo(nullptr, 102, &buffer), 1u);
  SECURITY_DESCRIPTOR sd{};
  EXPECT_FALSE(api.InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION));
  PSID sid = nullptr;
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  EXPECT_FALSE(api.AllocateAndInitializeSid(&world, 1, 0, 0, 0, 0, 0, 0, 0, 0, &sid));
  EXPECT_FALSE(api.InitializeAcl(nullptr, 0, ACL_REVISION));
  EXPECT_FALSE(api.AddAccessAllowedObjectAce(nullptr, 4, 0, 0, nullptr, nullptr, nullptr));
  EXPECT_FALSE(api.SetSecurityDescriptorDacl(&sd, TRUE, nullptr, FALSE));
  EXPECT_FALSE(api.SetSecurityDescriptorControl(&sd, 0, 0));
  EXPECT_EQ(api.FreeSid(nullptr), nullptr);
  EXPECT_FALSE(api.MoveFileExA("a", nullptr, 0));
  EXPECT_EQ(api.MoveFileExPointer(), nullptr);
}

TEST(APIFunction, BindsEverythingOnThisSystemWithoutLogLines) {
  CAPIFunction api;
  Logged logged;
  ASSERT_TRUE(api.Initialize(&Collect, &logged));
  EXPECT_TRUE(logged.lines.empty()) << logged.lines.front();
  EXPECT_NE(api.MoveFileExPointer(), nullptr);

  SECURITY_DESCRIPTOR sd{};
  EXPECT_TRUE(api.InitializeSecurityDescriptor(&sd, SECURITY_DESCRIPTOR_REVISION));
  PSID sid = nullptr;
  SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
  ASSERT_TRUE(api.AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &sid));
  EXPECT_TRUE(IsValidSid(sid));
  api.FreeSid(sid);
  ULARGE_INTEGER available{}, total{}, free{};
  EXPECT_TRUE(api.GetDiskFreeSpaceExA("C:\\", &available, &total, &free));
  EXPECT_GT(total.QuadPart, 0u);
  // A second initialisation rebinds cleanly.
  EXPECT_TRUE(api.Initialize());
  EXPECT_NE(api.MoveFileExPointer(), nullptr);
}

// Binding a name the library lacks, as on a system without that function.
class ProbeAPIFunction : public CAPIFunction {
 public:
  using CAPIFunction::Bind;
};

TEST(APIFunction, MissingFunctionIsLoggedWithItsLabelAndError) {
  ProbeAPIFunction api;
  Logged logged;
  ASSERT_TRUE(api.Initialize(&Collect, &logged));
  HMODULE advapi = GetModuleHandleA("Advapi32.dll");
  ASSERT_NE(advapi, nullptr);
  EXPECT_EQ(api.Bind(advapi, "QxNoSuchFunction", "[CAPIFunction] GetProcAddress-QxNoSuchFunction"), nullptr);
  ASSERT_EQ(logged.lines.size(), 1u);
  EXPECT_EQ(logged.lines[0], "[CAPIFunction] GetProcAddress-QxNoSuchFunction");
  EXPECT_EQ(logged.errors[0], static_cast<unsigned long>(ERROR_PROC_NOT_FOUND));
  EXPECT_TRUE(api.IsInitialized());
  EXPECT_FALSE(CAPIFunction().IsInitialized());
}

}  // namespace
