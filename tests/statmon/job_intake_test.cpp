// Job intake of the main frame: the job record layouts, WM_COPYDATA 500 and
// 1000 sent to a real frame window, and the pipe timer reading from a real
// named pipe served by a thread of the test.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

#include "statmon/app.h"
#include "statmon/job_record.h"
#include "statmon/main_frame.h"
#include "statmon/messages.h"
#include "tests/statmon/sm_test_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_capture.h"

namespace {

using qx::test::TempDir;
using qx::test::TraceCapture;

const JobInfo kJob{"QX Laser L2020", "second", "C:\\docs\\report.doc", "QXL2020_KEY"};

TEST(JobRecord, SingleByteLayout) {
  auto record = sm::EncodeJobRecord(kJob);
  EXPECT_STREQ(record.data() + 4, "QX Laser L2020");
  EXPECT_STREQ(record.data() + 129, "second");
  EXPECT_STREQ(record.data() + 257, "C:\\docs\\report.doc");
  EXPECT_STREQ(record.data() + 638, "QXL2020_KEY");
  JobInfo job;
  ASSERT_TRUE(sm::DecodeJobRecord(record.data(), record.size(), &job));
  EXPECT_EQ(job.displayText, kJob.displayText);
  EXPECT_FALSE(sm::DecodeJobRecord(record.data(), record.size() - 1, &job));

  // A slot without its NUL stays inside the slot.
  std::memset(record.data() + 4, 'P', 125);
  ASSERT_TRUE(sm::DecodeJobRecord(record.data(), record.size(), &job));
  EXPECT_EQ(job.printerName, std::string(125, 'P'));
  EXPECT_EQ(job.secondText, "second");
}

TEST(JobRecord, WideLayoutKeepsTextsBeyondAscii) {
  // Code page 1252: e acute, u umlaut, the euro sign (0x80 there, U+20AC in UTF-16).
  const JobInfo job{"Drucker M\xFCller", "caf\xE9", "\x80 report", "KEY"};
  std::string wide = sm::EncodeWideJobRecord(job);
  EXPECT_EQ(static_cast<unsigned char>(wide[4 + 2 * 9]), 0xFC);  // the umlaut at UTF-16 position 9
  EXPECT_EQ(static_cast<unsigned char>(wide[510]), 0xAC);        // U+20AC, low byte first
  EXPECT_EQ(static_cast<unsigned char>(wide[511]), 0x20);
  JobInfo back;
  ASSERT_TRUE(sm::DecodeWideJobRecord(wide.data(), wide.size(), &back));
  EXPECT_EQ(back.printerName, job.printerName);
  EXPECT_EQ(back.secondText, job.secondText);
  EXPECT_EQ(back.displayText, job.displayText);
  EXPECT_EQ(back.profileKey, job.profileKey);
}

TEST(JobRecord, CopyDataByWindowsVersion) {
  const sm::OsVersion win7{sm::OsVersion::kNT, 6, 1}, nt4{sm::OsVersion::kNT, 4, 0}, nt351{sm::OsVersion::kNT, 3, 51},
      win95{sm::OsVersion::kWin9x, 4, 0}, win98{sm::OsVersion::kWin9x, 4, 10};
  auto ansi = sm::EncodeJobRecord(kJob);
  std::string wide = sm::EncodeWideJobRecord(kJob);
  ASSERT_EQ(wide.size(), 1522u);
  EXPECT_EQ(wide[254], 's');  // second text at byte 254, UTF-16
  EXPECT_EQ(wide[1272], 'Q');
  struct {
    const char* name;
    const void* data;
    size_t size;
    sm::OsVersion os;
    sm::JobCopyData result;
  } cases[] = {
      {"98 ansi", ansi.data(), ansi.size(), win98, sm::JobCopyData::kCopied},
      {"98 short", ansi.data(), ansi.size() - 1, win98, sm::JobCopyData::kTooShort},
      {"7 wide", wide.data(), wide.size(), win7, sm::JobCopyData::kCopied},
      {"nt4 wide", wide.data(), wide.size(), nt4, sm::JobCopyData::kCopied},
      {"7 ansi-sized", ansi.data(), ansi.size(), win7, sm::JobCopyData::kTooShort},
      {"7 wide short", wide.data(), wide.size() - 1, win7, sm::JobCopyData::kTooShort},
      {"95", ansi.data(), ansi.size(), win95, sm::JobCopyData::kNotThisSystem},
      {"nt 3.51", wide.data(), wide.size(), nt351, sm::JobCopyData::kNotThisSystem},
      {"empty", ansi.data(), 0, win7, sm::JobCopyData::kEmpty},
  };
  for (const auto& c : cases) {
    JobInfo job;
    EXPECT_EQ(sm::DecodeJobCopyData(c.data, c.size, c.os, &job), c.result) << c.name;
    if (c.result == sm::JobCopyData::kCopied) {
      EXPECT_EQ(job.printerName, kJob.printerName) << c.name;
      EXPECT_EQ(job.profileKey, kJob.profileKey) << c.name;
    } else {
      EXPECT_EQ(job.printerName, "") << c.name;  // nothing copied
    }
  }
}

TEST(JobRecord, CopyBuffer) {
  auto buffer = sm::EncodeCopyBuffer("\\\\.\\pipe\\p", "QXL2020");
  std::string pipe, program;
  ASSERT_TRUE(sm::DecodeCopyBuffer(buffer.data(), buffer.size(), &pipe, &program));
  EXPECT_EQ(pipe, "\\\\.\\pipe\\p");
  EXPECT_EQ(program, "QXL2020");
  EXPECT_FALSE(sm::DecodeCopyBuffer(buffer.data(), 304, &pipe, &program));
}

// A monitor application with its frame in this process.
class FrameTest : public ::testing::Test {
 protected:
  void SetUp() override {
    cls_ = "QX Intake Test " + std::to_string(GetCurrentProcessId()) + "." + std::to_string(GetTickCount());
    dir_.Write("QXTEST.dat", "[Model]\nClass=" + cls_ + "\n[Support]\nisSupportDevMon=0\n");
    dir_.Write("smcode.dat", "SM_READY 0x0001000000000000 0x00FF000000000000 Ready\n");
  }
  void TearDown() override { sm::SetOsVersionForTesting(nullptr); }
  void Start(const std::string& commandLine) {
    app_.programName = "QXTEST";
    app_.SetDirectoryForTesting(dir_.Path());
    app_.SetCommandLineForTesting(commandLine);
    ASSERT_TRUE(app_.InitInstance());
    frame_ = app_.MainFrame();
    ASSERT_NE(frame_, nullptr);
    frame_->SetEndProcessForTesting([this] { ++ended_; });
  }
  LRESULT SendCopyData(ULONG_PTR kind, const void* data, DWORD size) {
    COPYDATASTRUCT cds{kind, size, const_cast<void*>(data)};
    return SendMessageA(frame_->Handle(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds));
  }
  void Pump(DWORD ms) {
    smtest::WaitFor([] { return false; }, ms);
  }

  TempDir dir_;
  std::string cls_;
  TraceCapture trace_;
  CMFPSMApp app_;
  CMainFrame* frame_ = nullptr;
  int ended_ = 0;
};

TEST_F(FrameTest, CopyData1000TakesTheJobAndPostsTheStart) {
  Start("\"statmon.exe\" /JOB");
  EXPECT_EQ(FindWindowA(cls_.c_str(), cls_.c_str()), frame_->Handle());
  EXPECT_FALSE(frame_->PipeTimerRunning());
  std::string wide = sm::EncodeWideJobRecord(kJob);  // Wine reports Windows 7
  SendCopyData(sm::kCopyDataJob, wide.data(), static_cast<DWORD>(wide.size()));
  EXPECT_TRUE(trace_.Contains("##**&& QX Laser L2020, second, C:\\docs\\report.doc, QXL2020_KEY"));
  EXPECT_TRUE(smtest::WaitFor([&] { return trace_.Contains("Enter OnJobStarted"); }));
  EXPECT_EQ(app_.jobInfo.profileKey, "QXL2020_KEY");
}

TEST_F(FrameTest, CopyData1000OnWindows98IsSingleByte) {
  sm::OsVersion win98{sm::OsVersion::kWin9x, 4, 10};
  sm::SetOsVersionForTesting(&win98);
  Start("\"statmon.exe\" /JOB");
  auto record = sm::EncodeJobRecord(kJob);
  SendCopyData(sm::kCopyDataJob, record.data(), static_cast<DWORD>(record.size()));
  EXPECT_EQ(app_.jobInfo.printerName, "QX Laser L2020");
}

TEST_F(FrameTest, ShortCopyDataIsRefused) {
  Start("\"statmon.exe\" /JOB");
  std::string wide = sm::EncodeWideJobRecord(kJob);
  SendCopyData(sm::kCopyDataJob, wide.data(), 763);
  EXPECT_TRUE(trace_.Contains("WM_COPYDATA 1000 of 763 bytes refused"));
  auto names = sm::EncodeCopyBuffer("\\\\.\\pipe\\x", "P");
  SendCopyData(sm::kCopyDataNames, names.data(), 304);
  EXPECT_TRUE(trace_.Contains("WM_COPYDATA 500 of 304 bytes refused"));
  SendCopyData(7, names.data(), 305);  // other kinds: nothing
  Pump(300);
  EXPECT_FALSE(trace_.Contains("Enter OnJobStarted"));
  EXPECT_FALSE(frame_->PipeTimerRunning());
  EXPECT_EQ(app_.jobInfo.printerName, "");
  EXPECT_EQ(app_.pipeName, "");
}

// Serves one connection on a pipe; writes the record unless told to stall.
// A stalling server stays connected without writing until it is let go (or
// for 10 s at most), so a read that blocks would block that long.
class PipeServer {
 public:
  PipeServer(const std::string& name, bool write) : name_(name), release_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    pipe_ = CreateNamedPipeA(name.c_str(), PIPE_ACCESS_DUPLEX, PIPE_TYPE_BYTE | PIPE_WAIT, 1, 4096, 4096, 0, nullptr);
    thread_ = std::thread([this, write] {
      if (!ConnectNamedPipe(pipe_, nullptr) && GetLastError() != ERROR_PIPE_CONNECTED) return;
      if (write) {
        auto record = sm::EncodeJobRecord(kJob);
        DWORD written = 0;
        WriteFile(pipe_, record.data(), record.size(), &written, nullptr);
        FlushFileBuffers(pipe_);
      } else {
        WaitForSingleObject(release_, 10000);  // connected, never writes
      }
      DisconnectNamedPipe(pipe_);
    });
  }
  ~PipeServer() {
    SetEvent(release_);
    thread_.join();
    CloseHandle(pipe_);
    CloseHandle(release_);
  }

 private:
  std::string name_;
  HANDLE release_;
  HANDLE pipe_;
  std::thread thread_;
};

TEST_F(FrameTest, CopyData500StartsThePipeTimerThatReadsTheJob) {
  Start("\"statmon.exe\" /JOB");
  std::string pipe = "\\\\.\\pipe\\QXSmIntake." + std::to_string(GetCurrentProcessId());
  SendCopyData(sm::kCopyDataNames, sm::EncodeCopyBuffer(pipe, "QXTEST").data(), 305);
  EXPECT_TRUE(frame_->PipeTimerRunning());
  EXPECT_EQ(app_.pipeName, pipe);
  // No server yet: the timer keeps trying.
  EXPECT_TRUE(smtest::WaitFor([&] { return trace_.Contains("ReadFile fail"); }));
  EXPECT_TRUE(frame_->PipeTimerRunning());
  PipeServer server(pipe, true);
  EXPECT_TRUE(smtest::WaitFor([&] { return trace_.Contains("Enter OnJobStarted"); }));
  EXPECT_TRUE(trace_.Contains("##**&& QX Laser L2020, second, C:\\docs\\report.doc, QXL2020_KEY"));
  EXPECT_FALSE(frame_->PipeTimerRunning());
}

TEST_F(FrameTest, APipeThatNeverDeliversDoesNotFreezeTheMonitor) {
  std::string pipe = "\\\\.\\pipe\\QXSmStall." + std::to_string(GetCurrentProcessId());
  PipeServer server(pipe, false);
  Start("/QXTEST x" + pipe);
  EXPECT_TRUE(frame_->PipeTimerRunning());  // started at creation: the command line named a pipe
  // The read gives up after its second; a read that blocked would hold this
  // thread (the frame's) until the server lets go, 10 s from now.
  // (The wait pumps this thread, so a blocked read would still end in the
  // trace: the time it took is what tells them apart.)
  DWORD start = GetTickCount();
  EXPECT_TRUE(smtest::WaitFor([&] { return trace_.Contains("ReadFile fail"); }, 5000));
  EXPECT_LT(GetTickCount() - start, 2000u) << "the read of a stalled pipe must give up after about a second";
  EXPECT_TRUE(frame_->PipeTimerRunning());
}

TEST_F(FrameTest, KillMessageEndsTheMonitor) {
  Start("\"statmon.exe\" /JOB");
  HWND hwnd = frame_->Handle();
  SendMessageA(hwnd, sm::WM_SM_KILL, 0, 0);
  EXPECT_EQ(ended_, 1);
  EXPECT_FALSE(IsWindow(hwnd));
  EXPECT_TRUE(trace_.Contains("Enter OnSMExit()"));
  EXPECT_TRUE(trace_.Contains("Enter CleanupGlobalTable"));
}

}  // namespace
