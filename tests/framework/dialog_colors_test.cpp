#include <gtest/gtest.h>

#include "framework/dialog.h"
#include "framework/handles.h"

namespace {

class PlainDialog : public fw::Dialog {};

COLORREF BrushColour(HBRUSH brush) {
  LOGBRUSH info{};
  GetObjectA(brush, sizeof(info), &info);
  return info.lbColor;
}

TEST(DialogColors, ApplyToEveryDialogUntilReset) {
  fw::DialogTemplate tpl("colours", WS_POPUP, 0, 0, 100, 50);
  tpl.Add(0x0082, "text", 100, WS_CHILD | WS_VISIBLE, 5, 5, 50, 10);
  PlainDialog dialog;
  ASSERT_TRUE(dialog.CreateModeless(tpl, nullptr));
  fw::WindowDC dc(dialog.Handle());
  HWND label = dialog.Item(100);

  auto dialogBrush = [&] {
    return reinterpret_cast<HBRUSH>(
        dialog.Send(WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc.Get()), reinterpret_cast<LPARAM>(dialog.Handle())));
  };
  const HBRUSH systemBrush = dialogBrush();  // the system's colours by default

  fw::SetDialogColors(RGB(10, 20, 30), RGB(0, 0, 0));
  LRESULT brush = dialog.Send(WM_CTLCOLORDLG, reinterpret_cast<WPARAM>(dc.Get()),
                              reinterpret_cast<LPARAM>(dialog.Handle()));
  ASSERT_NE(brush, 0);
  EXPECT_NE(reinterpret_cast<HBRUSH>(brush), systemBrush);
  EXPECT_EQ(BrushColour(reinterpret_cast<HBRUSH>(brush)), RGB(10, 20, 30));
  SetTextColor(dc.Get(), RGB(255, 255, 255));
  EXPECT_EQ(dialog.Send(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc.Get()), reinterpret_cast<LPARAM>(label)), brush);
  EXPECT_EQ(GetTextColor(dc.Get()), RGB(0, 0, 0));  // black dialog text

  fw::ResetDialogColors();
  EXPECT_EQ(dialogBrush(), systemBrush);
  dialog.End(0);
}

}  // namespace
