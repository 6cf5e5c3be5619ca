#pragma once
// The four status windows and their common base. Each is a modeless dialog
// from an in-memory template with its layout set in pixels at
// initialisation; each paints through one routine taking a device context
// (paint.h), from WM_PAINT and WM_PRINTCLIENT alike. Shown without taking the
// keyboard focus: an alert must not get in the way of what the user types.
#include <cstdint>
#include <string>

#include "framework/dialog.h"
#include "framework/handles.h"
#include "statmon/monitor_logic.h"
#include "statmon/paint.h"

class CMFPSMApp;
class CDeviceLink;

namespace sm {

// What the windows ask of the main frame.
class DialogHost {
 public:
  virtual ~DialogHost() = default;
  virtual void ShowOrderTonerWindow() = 0;
  virtual void OnLowTonerNotAgain() = 0;
  // kIdMemPrint, kIdMemCancel, or IDCANCEL (Escape): the user dismissed it.
  virtual void OnMemOverAnswered(int command) = 0;
  virtual void OnOrderTonerClosed() = 0;
  virtual CDeviceLink& Device() = 0;
};

inline constexpr int kIdOrderToner = 1000;
inline constexpr int kIdOrderOnline = 1002;
inline constexpr int kIdNotAgain = 1005;
inline constexpr int kIdCountry = 1006;
inline constexpr int kIdPicturePhone = 1013;
inline constexpr int kIdPictureWeb = 1014;
inline constexpr int kIdMemPrint = 1022;
inline constexpr int kIdMemCancel = 1023;

}  // namespace sm

class CSmDialog : public fw::Dialog {
 public:
  CSmDialog(CMFPSMApp& app, sm::DialogHost& host) : app_(app), host_(host) {}
  // Creates the window hidden.
  bool Open();
  bool Created() const { return created_; }
  bool Visible() const { return visible_; }
  // Shows without activation, at `place` when given.
  void ShowNoActivate(const sm::Placement* place);
  void Hide();
  void Repaint() const;
  // The painting routine; public so that tests can render into a memory bitmap.
  virtual void Paint(HDC dc, const RECT& client) = 0;
  sm::PaintInputs Inputs() const;

 protected:
  virtual fw::DialogTemplate Template() const = 0;
  virtual void OnShown(bool /*show*/) {}
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void OnDestroy() override;
  DWORD RtlStyle() const;
  DWORD ComboStyle() const;
  void PlaceItem(int id, int x, int y, int cx, int cy) const;
  void SetItemText(int id, const char* stringId) const;
  void SetTitle(const std::string& text) const;
  void FillCountries(int id) const;
  void TakeCountry(int id) const;

  CMFPSMApp& app_;
  sm::DialogHost& host_;
  bool created_ = false;
  bool visible_ = false;
};

// The small status window.
class CMFPSMDlg : public CSmDialog {
 public:
  using CSmDialog::CSmDialog;
  void SetOffer(bool offer) { offer_ = offer; }
  bool Offer() const { return offer_; }
  void Paint(HDC dc, const RECT& client) override;

 protected:
  fw::DialogTemplate Template() const override;
  bool OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  void OnShown(bool show) override;

 private:
  bool offer_ = true;
};

// The large status window (toner nearly out).
class CSMBigDlg : public CSmDialog {
 public:
  using CSmDialog::CSmDialog;
  void Paint(HDC dc, const RECT& client) override;

 protected:
  fw::DialogTemplate Template() const override;
  bool OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  void OnDestroy() override;

 private:
  fw::UniqueGdiObject bitmap_;
};

// The low-toner window with its own coloured caption bar.
class CLowTonerDlg : public CSmDialog {
 public:
  using CSmDialog::CSmDialog;
  void Paint(HDC dc, const RECT& client) override;

 protected:
  fw::DialogTemplate Template() const override;
  bool OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
  bool OnMessage(UINT message, WPARAM wParam, LPARAM lParam, LRESULT* result) override;
  void OnDestroy() override;

 private:
  void DrawCaption();
  fw::UniqueGdiObject bitmap_;
};

// The memory-overflow window: print what arrived, or cancel the job.
class CMemOverDlg : public CSmDialog {
 public:
  using CSmDialog::CSmDialog;
  void Paint(HDC dc, const RECT& client) override;

 protected:
  fw::DialogTemplate Template() const override;
  bool OnInitDialog() override;
  bool OnCommand(WORD id, WORD code, HWND control) override;
};
