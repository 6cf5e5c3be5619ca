// Shows one dialog built from an in-memory template with every wrapped
// control filled in, for a person (or a screenshot) to look at. It closes
// itself after the number of seconds given on the command line (default 20).
#include <windows.h>

#include <cstdlib>

#include "framework/app.h"
#include "framework/controls.h"
#include "framework/dialog.h"

namespace {

enum : WORD { kCheck = 101, kEdit, kList, kCombo, kListView, kProgress, kLabel };

class Showcase : public fw::Dialog {
 protected:
  bool OnInitDialog() override {
    fw::Button(Handle(), kCheck).SetChecked(true);
    fw::ListBox list(Handle(), kList);
    for (const char* text : {"Printer driver", "Status monitor", "User manual"}) list.Add(text);
    list.Select(1);
    fw::ComboBox combo(Handle(), kCombo);
    for (const char* text : {"Deutschland", "Espa\xF1" "a", "France"}) combo.Add(text);
    combo.Select(1);
    fw::ListView view(Handle(), kListView);
    view.SetReportMode();
    view.EnableCheckBoxes(true);
    view.InsertColumn(0, "Component", 160);
    view.InsertColumn(1, "Size", 70, LVCFMT_RIGHT);
    const char* rows[][2] = {{"Printer driver", "12 MB"}, {"Status monitor", "3 MB"}, {"Caf\xE9 manual", "8 MB"}};
    for (int i = 0; i < 3; ++i) {
      view.AddItem(rows[i][0]);
      view.SetItemText(i, 1, rows[i][1]);
    }
    view.SetChecked(0, true);
    view.SetChecked(2, true);
    view.Select(1);
    fw::ProgressBar bar(Handle(), kProgress);
    bar.SetRange(0, 100);
    bar.SetPosition(60);
    SetTimer(Handle(), 1, static_cast<UINT>(seconds * 1000), nullptr);
    return true;
  }
  void OnTimer(UINT_PTR) override { End(IDOK); }

 public:
  int seconds = 20;
};

}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
  fw::App app;
  fw::InitCommonControlsOnce();
  fw::DialogTemplate t("Framework showcase", WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_CENTER, 0, 0,
                       260, 200);
  t.Add(0x82, "Everything the framework wraps, from one in-memory template:", kLabel, WS_CHILD | WS_VISIBLE, 7, 7,
        246, 10)
      .Add(0x80, "Check box (checked)", kCheck, WS_CHILD | WS_VISIBLE | BS_AUTOCHECKBOX | WS_TABSTOP, 7, 20, 110, 10)
      .Add(0x81, "Edit text \xE9\xE8", kEdit, WS_CHILD | WS_VISIBLE | WS_BORDER | ES_AUTOHSCROLL | WS_TABSTOP, 130,
           19, 123, 12)
      .Add(0x83, "", kList, WS_CHILD | WS_VISIBLE | WS_BORDER | WS_VSCROLL | WS_TABSTOP, 7, 36, 110, 40)
      .Add(0x85, "", kCombo, WS_CHILD | WS_VISIBLE | CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP, 130, 36, 123, 60)
      .Add(WC_LISTVIEWA, "", kListView, WS_CHILD | WS_VISIBLE | WS_BORDER | LVS_SHOWSELALWAYS | WS_TABSTOP, 7, 82,
           246, 70)
      .Add(PROGRESS_CLASSA, "", kProgress, WS_CHILD | WS_VISIBLE | WS_BORDER, 7, 158, 246, 10)
      .Add(0x80, "OK", IDOK, WS_CHILD | WS_VISIBLE | BS_DEFPUSHBUTTON | WS_TABSTOP, 147, 178, 50, 14)
      .Add(0x80, "Cancel", IDCANCEL, WS_CHILD | WS_VISIBLE | BS_PUSHBUTTON | WS_TABSTOP, 203, 178, 50, 14);
  Showcase dialog;
  if (commandLine && std::atoi(commandLine) > 0) dialog.seconds = std::atoi(commandLine);
  return static_cast<int>(dialog.DoModal(t, nullptr));
}
