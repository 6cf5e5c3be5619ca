// The device link: the device-monitor library (our smdevmon.dll on a simulated
// world file) and the direct USB way (through a simulated bus; Wine has no USB
// printers), with status decoding against the shipped table.
#include "statmon/device_link.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>

#include "companions/devmon/world.h"
#include "statmon/printer_queue.h"
#include "statmon/status.h"
#include "statmon/status_code_table.h"
#include "tests/statmon/sm_test_support.h"
#include "tests/support/temp_dir.h"
#include "tests/support/trace_capture.h"

namespace {

using qx::test::TempDir;
using qx::test::TraceCapture;

std::string Hex(const unsigned char* b, int n) {
  std::string s;
  char part[4];
  for (int i = 0; i < n; ++i) {
    std::snprintf(part, sizeof(part), i ? " %02X" : "%02X", b[i]);
    s += part;
  }
  return s;
}

// The library way, on a world file that the test rewrites.
class LibraryLink : public ::testing::Test {
 protected:
  void SetUp() override {
    world_ = dir_.File("world.ini");
    SetEnvironmentVariableA("QX_WORLD_FILE", world_.c_str());
    table_.SetPath(dir_.Write("smcode.dat", smtest::ReadMedia("smcode.dat")));
    ASSERT_TRUE(table_.ReadFile());
    link_.Configure({true, 6956, 513, "QX-L2020"});
    ASSERT_TRUE(link_.LoadDeviceMonitor(smtest::BuildFile("companions\\devmon\\smdevmon.dll").c_str()));
  }
  void TearDown() override { SetEnvironmentVariableA("QX_WORLD_FILE", nullptr); }
  void World(const std::string& status, const std::string& extra = "") {
    dir_.Write("world.ini", "[PRINTER.USB001]\nMDL=MFG:QX;MDL:QX-L2020;\nStatus=" + status +
                                "\nServiceTag=QX7F3K2\n" + extra);
  }

  TempDir dir_;
  std::string world_;
  CParser table_;
  CDeviceLink link_;
};

TEST_F(LibraryLink, ReadsAndDecodesTheSimulatedStatus) {
  struct {
    const char* bytes;
    int kind;
    const char* id;
  } cases[] = {
      {"01 00 00 00 00 32 00 00", 4, "SM_USB_CABLE_OFF"},  // byte 1 = 0 makes it an error
      {"06 06 02 00 00 32 00 00", 2, "SM_PAPER_JAM_INSIDE"},
      {"01 01 00 00 00 64 0A 00", 1, "SM_READY"},
      {"04 09 00 00 00 14 0A 00", 4, "SM_MEMORY_OVERFLOW"},
      {"04 05 01 00 00 00 0A 00", 4, "SM_TONER_EMPTY"},
      {"04 7F 00 00 00 00 00 00", 4, "SM_NONDEFINED_ERROR_SHORT"},  // the catch-all line
  };
  for (const auto& c : cases) {
    World(c.bytes);  // changed while the library stays loaded
    unsigned char bytes[8];
    ASSERT_TRUE(link_.GetStatusData(bytes)) << c.bytes;
    EXPECT_EQ(Hex(bytes, 8), c.bytes);
    CStatus status;
    status.Initialize(bytes, 8);
    EXPECT_EQ(status.Kind(), c.kind) << c.bytes;
    EXPECT_EQ(status.GetStatusStringIDFromStatus(table_), c.id) << c.bytes;
  }
}

TEST_F(LibraryLink, ServiceTagTakesThePortOnlyWhenNobodyHoldsIt) {
  World("01 01 00 00 00 32 00 00");
  TraceCapture trace;
  unsigned char tag[8];
  ASSERT_TRUE(link_.GetServiceTagData(tag));
  EXPECT_STREQ(reinterpret_cast<char*>(tag), "QX7F3K2");
  EXPECT_TRUE(trace.Contains("devmon: PortAcquire(1)"));
  EXPECT_TRUE(trace.Contains("devmon: PortRelease(1)"));

  ASSERT_TRUE(link_.AcquirePort());  // as the job start does
  trace.Clear();
  ASSERT_TRUE(link_.GetServiceTagData(tag));
  EXPECT_FALSE(trace.Contains("PortRelease")) << trace.Text();  // the job start's hold stays
  EXPECT_FALSE(trace.Contains("PortAcquire"));
  EXPECT_TRUE(link_.PortAcquired());
  link_.ReleasePort();
  EXPECT_TRUE(trace.Contains("Port Release"));
  EXPECT_TRUE(trace.Contains("devmon: PortRelease(1)"));
  EXPECT_FALSE(link_.PortAcquired());
}

TEST_F(LibraryLink, FailuresOfTheLibraryAndTheWorld) {
  TraceCapture trace;
  unsigned char bytes[8];
  struct {
    const char* name;
    std::string world;
    bool status, tag, port;
    const char* trace;
  } cases[] = {
      {"no world file", "", false, false, true, "DeviceOpen fail"},
      {"unplugged", "[PRINTER.USB001]\nMDL=QX-L2020\nAttached=0\nStatus=01 01 00 00 00 00 00 00\n", false, false, true,
       "DeviceOpen fail"},
      {"other model", "[PRINTER.USB001]\nMDL=QX-M9\nStatus=01 01 00 00 00 00 00 00\n", false, false, true, nullptr},
      {"bad status", "[PRINTER.USB001]\nMDL=QX-L2020\nStatus=01 01 00\nServiceTag=T\n", false, true, true,
       "GetDeviceIoControl fail"},
      {"port refused", "[PRINTER.U]\nMDL=QX-L2020\nStatus=01 01 00 00 00 00 00 00\n[DEVMON]\nFail=PortAcquire\n", true,
       false, false, nullptr},
      {"open refused", "[PRINTER.U]\nMDL=QX-L2020\nStatus=01 01 00 00 00 00 00 00\n[DEVMON]\nFail=DeviceOpen\n", false,
       false, true, nullptr},
      {"io refused", "[PRINTER.U]\nMDL=QX-L2020\nStatus=01 01 00 00 00 00 00 00\n[DEVMON]\nFail=GetDeviceIoControl\n",
       false, false, true, nullptr},
  };
  for (const auto& c : cases) {
    trace.Clear();
    DeleteFileA(world_.c_str());
    if (!c.world.empty()) dir_.Write("world.ini", c.world);
    std::memset(bytes, 0xEE, sizeof(bytes));
    EXPECT_EQ(link_.GetStatusData(bytes), c.status) << c.name;
    if (!c.status) {
      EXPECT_EQ(Hex(bytes, 8), "00 00 00 00 00 00 00 00") << c.name;  // a failed read is the all-zero status
      CStatus status;
      status.Initialize(bytes, 8);
      EXPECT_EQ(status.Kind(), 4) << c.name;
    }
    EXPECT_EQ(link_.GetServiceTagData(bytes), c.tag) << c.name;
    if (!c.tag) {
      EXPECT_STREQ(reinterpret_cast<char*>(bytes), "") << c.name;
    }
    link_.ReleasePort();
    EXPECT_EQ(link_.AcquirePort(), c.port) << c.name;
    link_.ReleasePort();
    if (c.trace) {
      EXPECT_TRUE(trace.Contains(c.trace)) << c.name << "\n" << trace.Text();
    }
  }
}

TEST(DeviceMonitorLoad, MissingOrIncompleteLibrariesAreRefused) {
  TraceCapture trace;
  CDeviceLink link;
  EXPECT_FALSE(link.LoadDeviceMonitor(smtest::BuildFile("companions\\devmon\\nosuch.dll").c_str()));
  EXPECT_TRUE(trace.Contains("Load DevMon Library fail"));
  EXPECT_FALSE(link.LoadDeviceMonitor(""));
  EXPECT_FALSE(link.LoadDeviceMonitor(smtest::BuildFile("tests\\statmon\\smdevmon_partial.dll").c_str()));
  EXPECT_TRUE(trace.Contains("DevMon GetProcAddress fail"));
  EXPECT_FALSE(link.IsLoaded());
  ASSERT_TRUE(link.LoadDeviceMonitor(smtest::BuildFile("companions\\devmon\\smdevmon.dll").c_str()));
  EXPECT_TRUE(link.LoadDeviceMonitor("nosuch.dll"));  // already loaded: nothing to do
  link.UnloadDeviceMonitor();
  EXPECT_FALSE(link.IsLoaded());
}

// A USB bus of simulated printers; interfaces can be unplugged and replugged.
class FakeBus : public sm::UsbPrinterBus {
 public:
  struct Device {
    std::string path, deviceId;
    unsigned char status[8];
    std::string tag;
    bool present = true;
  };
  std::vector<Device>* devices;
  bool setFails = false;
  int searches = 0;
  std::vector<unsigned char> requests;

  explicit FakeBus(std::vector<Device>* d) : devices(d) {}
  bool BeginSearch() override {
    ++searches;
    return !setFails;
  }
  Enumerated InterfacePath(unsigned index, std::string* path) override {
    std::vector<const Device*> present;
    for (const Device& d : *devices)
      if (d.present) present.push_back(&d);
    if (index >= present.size()) return Enumerated::kNoMore;
    *path = present[index]->path;
    return Enumerated::kOk;
  }
  void EndSearch() override {}
  Transferred Transfer(const std::string& path, unsigned long code, const void* in, unsigned long, void* out,
                       unsigned long outLength, unsigned long* returned, unsigned long* error) override {
    *returned = 0;
    *error = 0;
    for (const Device& d : *devices) {
      if (!d.present || d.path != path) continue;
      if (code == sm::kIoctlQueryDeviceId) {
        std::memcpy(out, d.deviceId.data(), d.deviceId.size());
        *returned = d.deviceId.size();
        return Transferred::kOk;
      }
      unsigned char what = static_cast<const unsigned char*>(in)[0];
      requests.push_back(what);
      if (what == sm::kRequestStatus) std::memcpy(out, d.status, 8);
      if (what == sm::kRequestServiceTag) std::memcpy(out, d.tag.data(), std::min<size_t>(d.tag.size(), outLength));
      if (what == 99) {
        *error = ERROR_GEN_FAILURE;
        return Transferred::kIoFailed;
      }
      return Transferred::kOk;
    }
    return Transferred::kOpenFailed;
  }
};

TEST(DirectLink, FirstMatchingModelWinsAndAStalePathIsFoundAgain) {
  std::vector<FakeBus::Device> devices = {
      {"\\\\?\\usb#a", "MFG:QX;MDL:QX-M900;", {1, 1, 0, 0, 0, 50, 0, 0}, "", true},
      {"\\\\?\\usb#b", "MFG:QX;MDL:QX-L2020;", {1, 2, 0, 0, 0, 40, 0, 0}, "ABCDEFGH", true},
      {"\\\\?\\usb#c", "MFG:QX;MDL:QX-L2020;", {1, 3, 0, 0, 0, 30, 0, 0}, "", true},
  };
  auto owned = std::make_unique<FakeBus>(&devices);
  FakeBus* bus = owned.get();
  CDeviceLink link(std::move(owned));
  link.Configure({false, 0, 0, "QX-L2020"});
  unsigned char bytes[8];
  ASSERT_TRUE(link.GetStatusData(bytes));
  EXPECT_EQ(link.DevicePath(), "\\\\?\\usb#b");
  EXPECT_EQ(bytes[1], 2);
  ASSERT_TRUE(link.GetStatusData(bytes));
  EXPECT_EQ(bus->searches, 1);  // the remembered path opens

  devices[1].present = false;  // re-plugged under another path
  devices.push_back({"\\\\?\\usb#d", "MFG:QX;MDL:QX-L2020;", {1, 4, 0, 0, 0, 20, 0, 0}, "", true});
  ASSERT_TRUE(link.GetStatusData(bytes));
  EXPECT_EQ(bus->searches, 2);
  EXPECT_EQ(link.DevicePath(), "\\\\?\\usb#c");
  EXPECT_EQ(bytes[1], 3);

  // An 8-byte service tag still leaves a terminated text.
  devices[2].tag = "12345678";
  ASSERT_TRUE(link.GetServiceTagData(bytes));
  EXPECT_STREQ(reinterpret_cast<char*>(bytes), "1234567");

  EXPECT_TRUE(link.SendPrintCommandToPrinter());
  EXPECT_TRUE(link.SendCancelCommandToPrinter());
  EXPECT_EQ(bus->requests.back(), sm::kRequestCancel);
  EXPECT_EQ(bus->requests[bus->requests.size() - 2], sm::kRequestPrint);

  for (auto& d : devices) d.present = false;
  EXPECT_FALSE(link.GetStatusData(bytes));
  EXPECT_EQ(Hex(bytes, 8), "00 00 00 00 00 00 00 00");
  bus->setFails = true;
  EXPECT_FALSE(link.SendPrintCommandToPrinter());
}

TEST(DirectLink, PrintAndCancelGoDirectEvenWithTheLibrary) {
  std::vector<FakeBus::Device> devices = {{"p", "MDL:QX-L2020;", {}, "", true}};
  auto owned = std::make_unique<FakeBus>(&devices);
  FakeBus* bus = owned.get();
  CDeviceLink link(std::move(owned));
  link.Configure({true, 6956, 513, "QX-L2020"});
  ASSERT_TRUE(link.LoadDeviceMonitor(smtest::BuildFile("companions\\devmon\\smdevmon.dll").c_str()));
  EXPECT_TRUE(link.SendPrintCommandToPrinter());
  ASSERT_EQ(bus->requests.size(), 1u);
  EXPECT_EQ(bus->requests[0], sm::kRequestPrint);
}

TEST(DirectLink, ModelMatching) {
  EXPECT_TRUE(sm::DeviceIdContainsModel("MFG:QX;MDL:QX-L2020;", "QX-L2020"));
  EXPECT_TRUE(sm::DeviceIdContainsModel("QX-L2020", "QX-L2020"));
  EXPECT_FALSE(sm::DeviceIdContainsModel("MDL:QX-L202", "QX-L2020"));
  EXPECT_FALSE(sm::DeviceIdContainsModel("MDL:qx-l2020", "QX-L2020"));
  EXPECT_FALSE(sm::DeviceIdContainsModel("anything", ""));
}

TEST(DirectLink, TheSystemBusUnderWineFindsNothingAndFailsCleanly) {
  CDeviceLink link;
  link.Configure({false, 0, 0, "QX-L2020"});
  unsigned char bytes[8];
  EXPECT_FALSE(link.GetStatusData(bytes));
  EXPECT_FALSE(link.GetServiceTagData(bytes));
  EXPECT_EQ(link.DevicePath(), "");
}

TEST(DevmonWorld, ParsingIsTolerant) {
  unsigned char b[8];
  EXPECT_TRUE(devmon::ParseStatusBytes("01 00 00 00 00 32 00 00", b));
  EXPECT_EQ(b[5], 0x32);
  for (const char* bad : {"", "01", "01 02 03 04 05 06 07 08 09", "0x 00 00 00 00 00 00 00", "1 2 3 4 5 6 7 8",
                          "010 00 00 00 00 00 00 0", "GG 00 00 00 00 00 00 00"})
    EXPECT_FALSE(devmon::ParseStatusBytes(bad, b)) << bad;

  std::string every;
  for (int i = 0; i < 256; ++i) every += static_cast<char>(i);
  devmon::World w = devmon::ParseWorld(every + "\n[PRINTER.\n[PRINTER.A]\nVID=99999\nPID=0x201\nMDL=X\n"
                                       "Status=01 01 00 00 00 00 00 00\n[printer.B]\nAttached=0\nMDL=X\n"
                                       "[PRINTER.C]\nVID=0x1B2C\nPID=513\n" +
                                       std::string(100000, '[') + "\n");
  ASSERT_EQ(w.printers.size(), 3u);
  EXPECT_EQ(w.printers[0].vendorId, 0);  // out of range
  EXPECT_EQ(w.printers[0].productId, 0x201);
  EXPECT_TRUE(w.printers[0].statusValid);
  EXPECT_FALSE(w.printers[1].attached);
  EXPECT_EQ(devmon::SelectPrinter(w, "X", 0, 0), &w.printers[0]);
  EXPECT_EQ(devmon::SelectPrinter(w, "", 0, 0x201), nullptr);  // vendor 0 names no printer
  EXPECT_EQ(devmon::SelectPrinter(w, "", 0x1B2C, 0x201), &w.printers[2]);
  EXPECT_EQ(devmon::SelectPrinter(w, "Y", 0, 0x201), nullptr);
}

TEST(DevmonWorld, TheDocumentedSampleParsesAsWritten) {
  // The sample of companions/devmon/README.md, comments and all.
  std::string readme = qx::test::TempDir::Read(smtest::MediaDir() + "\\..\\..\\companions\\devmon\\README.md");
  size_t start = readme.find("    [PRINTER.USB001]");
  ASSERT_NE(start, std::string::npos);
  size_t end = readme.find("\n\n", readme.find("[QUEUE.", start));
  devmon::World w = devmon::ParseWorld(readme.substr(start, end - start));
  ASSERT_EQ(w.printers.size(), 1u);
  const devmon::SimPrinter& p = w.printers[0];
  EXPECT_EQ(p.model, "QX-L2020");
  EXPECT_EQ(p.vendorId, 0x1B2C);
  EXPECT_EQ(p.productId, 0x0201);
  EXPECT_TRUE(p.attached);
  EXPECT_TRUE(p.statusValid);
  EXPECT_EQ(p.status[5], 0x32);
  EXPECT_EQ(p.serviceTag, "QX12345");
  EXPECT_TRUE(w.Fails("DeviceOpen"));
  EXPECT_TRUE(w.Fails("GetDeviceIoControl"));
  ASSERT_EQ(w.queues.size(), 1u);
  EXPECT_EQ(w.JobCount("qx laser l2020"), 2);
  EXPECT_EQ(w.JobCount("another printer"), -1);

  // A ";" inside a value stays; only one after a blank starts a comment.
  devmon::World m = devmon::ParseWorld("[PRINTER.A]\nMDL=MFG:QX;MDL:X; ; note\n// comment\n");
  ASSERT_EQ(m.printers.size(), 1u);
  EXPECT_EQ(m.printers[0].model, "MFG:QX;MDL:X;");
}

TEST_F(LibraryLink, JobCountComesFromTheSimulatedQueueElseTheSpooler) {
  World("01 01 00 00 00 32 0A 00", "[QUEUE.QX Laser L2020]\nJobs=3\n[QUEUE.Idle]\nJobs=0\n");
  struct {
    const char* printer;
    int jobs;
  } cases[] = {
      {"QX Laser L2020", 3},
      {"Idle", 0},
      {"", -1},                        // no printer name
      {"No Such Printer Anywhere", 0},  // not simulated: the spooler cannot open it
  };
  for (const auto& c : cases) EXPECT_EQ(sm::PrinterJobCount(c.printer, &link_), c.jobs) << c.printer;
  World("01 01 00 00 00 32 0A 00", "[QUEUE.QX Laser L2020]\nJobs=1\n");  // read again on every call
  EXPECT_EQ(sm::PrinterJobCount("QX Laser L2020", &link_), 1);
  EXPECT_EQ(sm::PrinterJobCount("QX Laser L2020", nullptr), 0);  // the spooler has no such printer
}

}  // namespace
