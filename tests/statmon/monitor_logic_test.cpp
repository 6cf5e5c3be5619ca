// The main frame's decisions with a fake clock: timers fire when the test
// moves the clock, the printer's status and queue change at set times, and the
// windows are flags and placements.
#include "statmon/monitor_logic.h"

#include <gtest/gtest.h>

#include <cstring>
#include <map>
#include <vector>

#include "statmon/messages.h"
#include "statmon/status_code_table.h"
#include "statmon/string_table.h"
#include "tests/support/temp_dir.h"

namespace {

using sm::StatusWindow;

struct Bytes {
  unsigned char b[8];
};
// Byte 0 state bits (1 normal, 4 error), byte 1 main status, byte 2 detail, byte 5 toner level.
Bytes Ready(int level = 50) { return {{0x01, 0x01, 0, 0, 0, static_cast<unsigned char>(level), 0x0A, 0}}; }
Bytes Printing(int level = 50) { return {{0x01, 0x02, 0, 0, 0, static_cast<unsigned char>(level), 0x0A, 0}}; }
Bytes Jam() { return {{0x04, 0x06, 0, 0, 0, 50, 0x0A, 0}}; }
Bytes DoorOpen() { return {{0x04, 0x08, 0, 0, 0, 50, 0x0A, 0}}; }
Bytes MemoryOverflow() { return {{0x04, 0x09, 0, 0, 0, 50, 0x0A, 0}}; }
Bytes NoAnswer() { return {{0, 0, 0, 0, 0, 0, 0, 0}}; }

struct FakeWindow {
  bool exists = false;
  bool visible = false;
  sm::Placement place;
  int shows = 0, repaints = 0;
};

class FakeShell : public sm::MonitorShell {
 public:
  // The clock and the timers.
  unsigned now = 0;
  struct Timer {
    unsigned period, due;
  };
  std::map<unsigned, Timer> timers;
  sm::MonitorLogic* logic = nullptr;

  // The printer and the registry.
  Bytes status = Ready();
  int jobs = 1;
  uint32_t checked = 0;
  std::vector<uint32_t> checkedWrites;
  bool needsPort = true, portRefused = false, portAcquired = false;
  int ended = 0;
  bool orderTonerPrepared = false;
  bool offer = false;
  FakeWindow windows[4];

  FakeWindow& W(StatusWindow w) { return windows[static_cast<int>(w)]; }
  const FakeWindow& W(StatusWindow w) const { return windows[static_cast<int>(w)]; }

  bool Exists(StatusWindow w) const override { return W(w).exists; }
  void Create(StatusWindow w) override { W(w).exists = true; }
  bool IsVisible(StatusWindow w) const override { return W(w).visible; }
  void Show(StatusWindow w, const sm::Placement* p) override {
    if (!W(w).exists) return;
    if (p) W(w).place = *p;
    W(w).visible = true;
    ++W(w).shows;
  }
  void Hide(StatusWindow w) override { W(w).visible = false; }
  void Repaint(StatusWindow w) override { ++W(w).repaints; }
  void SetOfferOrderToner(bool o) override { offer = o; }
  void PrepareOrderToner() override { orderTonerPrepared = true; }
  void SetTimer(unsigned id, unsigned ms) override { timers[id] = {ms, now + ms}; }
  void KillTimer(unsigned id) override { timers.erase(id); }
  bool NeedsPort() const override { return needsPort && !portAcquired; }
  bool AcquirePort() override { return portAcquired = !portRefused; }
  void ReadStatus(unsigned char out[8]) override { std::memcpy(out, status.b, 8); }
  int JobCount() override { return jobs; }
  uint32_t ReadOrderTonerChecked() override { return checked; }
  void WriteOrderTonerChecked(uint32_t v) override {
    checked = v;
    checkedWrites.push_back(v);
  }
  sm::WorkArea GetWorkArea() override { return {0, 0, 1024, 738}; }
  void EndMonitor() override { ++ended; }

  bool Running(unsigned id) const { return timers.count(id) != 0; }
  unsigned Period(unsigned id) const { return timers.count(id) ? timers.at(id).period : 0; }
  // Moves the clock on, firing every timer that falls due in order.
  void Advance(unsigned ms) {
    unsigned until = now + ms;
    for (;;) {
      unsigned id = 0, due = until + 1;
      for (const auto& [tid, t] : timers)
        if (t.due < due) id = tid, due = t.due;
      if (due > until || ended) break;
      now = due;
      timers[id].due = due + timers[id].period;
      logic->OnTimer(id);
    }
    now = until;
  }
  std::vector<StatusWindow> Visible() const {
    std::vector<StatusWindow> v;
    for (int i = 0; i < 4; ++i)
      if (windows[i].visible) v.push_back(static_cast<StatusWindow>(i));
    return v;
  }
};

class MonitorLogicTest : public ::testing::Test {
 protected:
  void SetUp() override {
    table_.SetPath(dir_.Write("smcode.dat",
                              "SM_READY 0x0001000000000000 0x00FF000000000000 r\n"
                              "SM_PRINTING 0x0002000000000000 0x00FF000000000000 p\n"
                              "SM_PAPER_JAM 0x0006000000000000 0x00FF000000000000 j\n"
                              "SM_DOOR_OPEN 0x0008000000000000 0x00FF000000000000 d\n"
                              "SM_MEMORY_OVERFLOW 0x0009000000000000 0x00FF000000000000 m\n"));
    ASSERT_TRUE(table_.ReadFile());
    strings_.Initialize(dir_.Write("SMen.trs", "SM_READY=Ready\nSM_PRINTING=Printing\nSM_PAPER_JAM=Jam\n"
                                               "SM_DOOR_OPEN=Door\nSM_MEMORY_OVERFLOW=Memory\n")
                            .c_str());
    shell_.logic = &logic_;
  }
  std::vector<StatusWindow> Visible() const { return shell_.Visible(); }

  qx::test::TempDir dir_;
  CParser table_;
  CStrTableList strings_;
  CStatus current_;
  FakeShell shell_;
  sm::MonitorLogic logic_{shell_, current_, table_, strings_};
};

using V = std::vector<StatusWindow>;
constexpr StatusWindow kSmall = StatusWindow::kSmall, kLow = StatusWindow::kLowToner, kBig = StatusWindow::kBig,
                       kMem = StatusWindow::kMemOver;

TEST_F(MonitorLogicTest, JobStartChoosesWindowsByTonerLevel) {
  struct {
    const char* name;
    Bytes status;
    uint32_t checked;
    V visible;
    bool offer;
    std::vector<uint32_t> writes;  // to SMOrderTonerAlreadyChecked
    int smallTop;                  // 0: not placed
  } cases[] = {
      {"level 4", Ready(4), 0, {kBig}, false, {}, 0},
      {"level 5", Ready(5), 0, {kSmall, kLow}, false, {}, 738 - 530},
      {"level 10", Ready(10), 0, {kSmall, kLow}, false, {}, 738 - 530},
      {"level 20", Ready(20), 0, {kSmall, kLow}, false, {}, 738 - 530},
      {"level 20, not again", Ready(20), 1, {kSmall}, true, {}, 738 - 260},
      {"level 21, not again", Ready(21), 1, {kSmall}, true, {0}, 738 - 260},
      {"level 21", Ready(21), 0, {kSmall}, true, {}, 738 - 260},
      {"level 6", Ready(6), 0, {kSmall}, true, {}, 738 - 260},
      {"no answer, level 4 in the bytes", {{0, 0, 0, 0, 0, 4, 0, 0}}, 0, {kSmall}, true, {}, 738 - 260},
  };
  for (const auto& c : cases) {
    FakeShell shell;
    CStatus current;
    sm::MonitorLogic logic(shell, current, table_, strings_);
    shell.logic = &logic;
    shell.status = c.status;
    shell.checked = c.checked;
    logic.OnJobStarted();
    EXPECT_EQ(shell.Visible(), c.visible) << c.name;
    EXPECT_EQ(shell.checkedWrites, c.writes) << c.name;
    EXPECT_EQ(logic.WindowsCreated(), 4) << c.name;
    EXPECT_TRUE(shell.orderTonerPrepared) << c.name;
    if (c.smallTop) {
      EXPECT_EQ(shell.offer, c.offer) << c.name;
      EXPECT_EQ(shell.W(kSmall).place.y, c.smallTop) << c.name;
      EXPECT_EQ(shell.W(kSmall).place.x, 1024 - 480) << c.name;
      EXPECT_EQ(shell.W(kSmall).place.cy, 260) << c.name;
    }
    if (c.visible == V{kSmall, kLow}) {
      EXPECT_EQ(shell.W(kLow).place.y, 738 - 270) << c.name;
      EXPECT_EQ(shell.W(kLow).place.cy, 270) << c.name;
    }
    if (c.visible == V{kBig}) {
      EXPECT_EQ(shell.W(kBig).place.y, 738 - 385) << c.name;
      EXPECT_EQ(shell.W(kBig).place.cy, 385) << c.name;
    }
    EXPECT_TRUE(logic.Polling()) << c.name;
    EXPECT_EQ(shell.Period(sm::POLLING_TIMER_ID), 3000u) << c.name;
  }
}

TEST_F(MonitorLogicTest, PopupPeriodFollowsTheKindAndKeepsFiring) {
  struct {
    Bytes status;
    unsigned period;
  } cases[] = {{Ready(), 10000}, {Jam(), 30000}, {NoAnswer(), 30000}};
  for (const auto& c : cases) {
    FakeShell shell;
    CStatus current;
    sm::MonitorLogic logic(shell, current, table_, strings_);
    shell.logic = &logic;
    shell.status = c.status;
    logic.OnJobStarted();
    EXPECT_EQ(shell.Period(sm::SM_POPUPED_TIMER), c.period);
    shell.Advance(c.period - 1);
    EXPECT_FALSE(shell.Visible().empty());
    shell.Advance(1);
    EXPECT_TRUE(shell.Visible().empty());
    EXPECT_TRUE(shell.Running(sm::SM_POPUPED_TIMER));  // not stopped by firing
  }
}

TEST_F(MonitorLogicTest, NoQueuedJobsAtTheFirstPollArmsTheTerminateTimer) {
  struct {
    Bytes status;
    unsigned period;
  } cases[] = {{Ready(), 10000}, {Jam(), 30000}};
  for (const auto& c : cases) {
    FakeShell shell;
    CStatus current;
    sm::MonitorLogic logic(shell, current, table_, strings_);
    shell.logic = &logic;
    shell.status = c.status;
    shell.jobs = 0;
    logic.OnJobStarted();
    EXPECT_FALSE(logic.TerminateSet());
    shell.Advance(3000);
    EXPECT_TRUE(logic.TerminateSet());
    EXPECT_EQ(shell.Period(sm::TERMINATE_TIMER_ID), c.period);
    shell.Advance(c.period - 1);
    EXPECT_EQ(shell.ended, 0);
    shell.Advance(1);
    EXPECT_EQ(shell.ended, 1);
    EXPECT_TRUE(logic.Ended());
    EXPECT_FALSE(logic.Polling());
    EXPECT_TRUE(shell.timers.empty());
  }
}

TEST_F(MonitorLogicTest, ASecondJobDuringTheTerminateTimerKeepsPolling) {
  shell_.jobs = 1;
  logic_.OnJobStarted();
  shell_.Advance(3000);
  EXPECT_FALSE(logic_.TerminateSet());  // a job is queued
  shell_.jobs = 0;
  shell_.Advance(3000);
  ASSERT_TRUE(logic_.TerminateSet());
  shell_.Advance(8000);
  shell_.jobs = 1;
  logic_.OnJobStarted();  // windows hidden by now: a window shows again
  EXPECT_FALSE(logic_.TerminateSet());
  EXPECT_FALSE(shell_.Running(sm::TERMINATE_TIMER_ID));
  shell_.Advance(60000);
  EXPECT_EQ(shell_.ended, 0);
  EXPECT_TRUE(logic_.Polling());
  EXPECT_EQ(logic_.WindowsCreated(), 4);  // windows are made once
}

TEST_F(MonitorLogicTest, NormalChangesOnlyRepaint) {
  logic_.OnJobStarted();
  shell_.status = Printing();
  shell_.Advance(3000);
  EXPECT_EQ(shell_.W(kSmall).repaints, 1);
  EXPECT_EQ(shell_.W(kSmall).shows, 1);
  shell_.Advance(3000);  // unchanged: nothing
  EXPECT_EQ(shell_.W(kSmall).repaints, 1);
  shell_.Advance(4000);  // the popup timer hid it
  EXPECT_TRUE(Visible().empty());
  shell_.status = Ready();
  shell_.Advance(3000);
  EXPECT_TRUE(Visible().empty());  // a normal change never re-pops
  EXPECT_EQ(shell_.W(kSmall).shows, 1);
}

TEST_F(MonitorLogicTest, AnErrorAfterTheHideRepopsAndRestartsThePopupTimerWith30s) {
  logic_.OnJobStarted();
  shell_.Advance(10000);
  ASSERT_TRUE(Visible().empty());
  sm::Placement before = shell_.W(kSmall).place;
  shell_.status = Jam();
  shell_.Advance(2000);  // the poll at 12 s
  EXPECT_EQ(Visible(), V{kSmall});
  EXPECT_EQ(shell_.W(kSmall).place.y, before.y);  // where it was
  EXPECT_EQ(shell_.Period(sm::SM_POPUPED_TIMER), 30000u);
  shell_.Advance(29999);
  EXPECT_EQ(Visible(), V{kSmall});
  shell_.Advance(1);
  EXPECT_TRUE(Visible().empty());
  // Another error while hidden pops again; the same error does not.
  shell_.Advance(3000);
  EXPECT_TRUE(Visible().empty());
  shell_.status = DoorOpen();
  shell_.Advance(3000);
  EXPECT_EQ(Visible(), V{kSmall});
}

TEST_F(MonitorLogicTest, ANewErrorRestartsTheTerminateTimerWith30s) {
  shell_.jobs = 0;
  logic_.OnJobStarted();
  shell_.Advance(3000);
  ASSERT_EQ(shell_.Period(sm::TERMINATE_TIMER_ID), 10000u);
  shell_.Advance(6000);
  shell_.status = Jam();
  shell_.Advance(3000);  // 3 s before the end: the error gives it 30 s again
  EXPECT_EQ(shell_.Period(sm::TERMINATE_TIMER_ID), 30000u);
  shell_.Advance(29000);
  EXPECT_EQ(shell_.ended, 0);
  shell_.Advance(1000);
  EXPECT_EQ(shell_.ended, 1);
}

TEST_F(MonitorLogicTest, RepopShowsTheWindowsOfTheTonerLevel) {
  struct {
    Bytes error;
    uint32_t checked;
    V visible;
  } cases[] = {
      {{{0x04, 0x06, 0, 0, 0, 4, 0, 0}}, 0, {kBig}},
      {{{0x04, 0x06, 0, 0, 0, 10, 0, 0}}, 0, {kSmall, kLow}},
      {{{0x04, 0x06, 0, 0, 0, 10, 0, 0}}, 1, {kSmall}},
      {{{0x04, 0x06, 0, 0, 0, 60, 0, 0}}, 0, {kSmall}},
  };
  for (const auto& c : cases) {
    FakeShell shell;
    CStatus current;
    sm::MonitorLogic logic(shell, current, table_, strings_);
    shell.logic = &logic;
    logic.OnJobStarted();
    shell.Advance(10000);
    ASSERT_TRUE(shell.Visible().empty());
    shell.status = c.error;
    shell.checked = c.checked;
    shell.Advance(3000);
    EXPECT_EQ(shell.Visible(), c.visible) << c.error.b[5] << " " << c.checked;
  }
}

TEST_F(MonitorLogicTest, MemoryOverflowWindowFollowsTheStatusUntilDismissed) {
  shell_.status = MemoryOverflow();
  logic_.OnJobStarted();
  EXPECT_EQ(Visible(), (V{kSmall, kMem}));
  shell_.status = Jam();
  shell_.Advance(3000);
  EXPECT_EQ(Visible(), V{kSmall});  // another status hides it
  shell_.status = MemoryOverflow();
  shell_.Advance(3000);
  EXPECT_EQ(Visible(), (V{kSmall, kMem}));
  shell_.Hide(kMem);
  logic_.OnMemOverDismissed();  // the user answered it
  shell_.Advance(3000);
  EXPECT_EQ(Visible(), V{kSmall});
  shell_.Advance(30000);  // all hidden; the next job clears the dismissal
  logic_.OnJobStarted();
  EXPECT_EQ(Visible(), (V{kSmall, kMem}));
}

TEST_F(MonitorLogicTest, AJobWhileAWindowIsVisibleChangesNothing) {
  logic_.OnJobStarted();
  shell_.Advance(2000);
  shell_.status = Ready(5);
  logic_.OnJobStarted();
  EXPECT_EQ(Visible(), V{kSmall});  // no low-toner window: the small one was up
  EXPECT_EQ(shell_.Period(sm::SM_POPUPED_TIMER), 10000u);
  shell_.Advance(8000);  // the first job's popup period still runs
  EXPECT_TRUE(Visible().empty());
}

TEST_F(MonitorLogicTest, EndsAndPowerEvents) {
  struct {
    const char* name;
    bool job;  // a job started first (polling)
    void (*event)(sm::MonitorLogic&, FakeShell&);
    int ended;
  } cases[] = {
      {"suspend while polling", true, [](sm::MonitorLogic& l, FakeShell&) { l.OnPowerBroadcast(4); }, 1},
      {"suspend in toner mode", false, [](sm::MonitorLogic& l, FakeShell&) { l.OnPowerBroadcast(4); }, 0},
      {"order toner closed while polling", true, [](sm::MonitorLogic& l, FakeShell&) { l.OnOrderTonerClosed(); }, 0},
      {"order toner closed in toner mode", false, [](sm::MonitorLogic& l, FakeShell&) { l.OnOrderTonerClosed(); }, 1},
      {"port refused", false,
       [](sm::MonitorLogic& l, FakeShell& s) {
         s.portRefused = true;
         l.OnJobStarted();
       },
       1},
      {"window closed, others visible", true, [](sm::MonitorLogic& l, FakeShell&) { l.OnWindowClosed(); }, 0},
      {"window closed, none visible", true,
       [](sm::MonitorLogic& l, FakeShell& s) {
         s.Hide(StatusWindow::kSmall);
         l.OnWindowClosed();
       },
       1},
      {"window closed before any job", false, [](sm::MonitorLogic& l, FakeShell&) { l.OnWindowClosed(); }, 1},
      {"exit twice", true,
       [](sm::MonitorLogic& l, FakeShell&) {
         l.OnSMExit();
         l.OnSMExit();
       },
       1},
  };
  for (const auto& c : cases) {
    FakeShell shell;
    CStatus current;
    sm::MonitorLogic logic(shell, current, table_, strings_);
    shell.logic = &logic;
    if (c.job) logic.OnJobStarted();
    c.event(logic, shell);
    EXPECT_EQ(shell.ended, c.ended) << c.name;
    if (c.ended) EXPECT_TRUE(shell.timers.empty()) << c.name;
  }
}

TEST_F(MonitorLogicTest, ResumeRestartsPolling) {
  logic_.OnJobStarted();
  shell_.KillTimer(sm::POLLING_TIMER_ID);  // as the system does across a suspend
  logic_.OnPowerBroadcast(7);
  EXPECT_EQ(shell_.Period(sm::POLLING_TIMER_ID), 3000u);
  FakeShell idle;
  CStatus current;
  sm::MonitorLogic tonerMode(idle, current, table_, strings_);
  tonerMode.OnPowerBroadcast(7);
  EXPECT_FALSE(idle.Running(sm::POLLING_TIMER_ID));
}

TEST(MonitorLogicText, DisplayNameIsThePartAfterTheLastBackslash) {
  EXPECT_EQ(sm::DisplayName("C:\\docs\\report.doc"), "report.doc");
  EXPECT_EQ(sm::DisplayName("report.doc"), "report.doc");
  EXPECT_EQ(sm::DisplayName("C:\\docs\\"), "");
}

}  // namespace
