#pragma once
// Drawing of the status windows and the order toner window. Each window paints
// through one routine that takes a device context (WM_PAINT and
// WM_PRINTCLIENT alike), so tests render into memory bitmaps. The layout
// decisions are pure functions beside them.
#include <windows.h>

#include <string>

#include "statmon/status.h"

class CStrTableList;

namespace sm {

inline constexpr COLORREF kBandColour = RGB(0, 99, 206);
inline constexpr COLORREF kGuideColour = RGB(255, 0, 0);
inline constexpr COLORREF kLinkColour = RGB(0, 0, 255);
inline constexpr int kBandWidth = 48;
inline constexpr int kGaugeX = 392, kGaugeY = 55;
// A status text wider than this wraps onto a second line.
inline constexpr int kStatusTextOneLine = 277;
// A display text this wide or wider is cut at 377 and followed by "...".
inline constexpr int kDisplayTextCut = 298;

// Resource of the toner gauge for a status (153, 135 ... 139, or 152 without answer).
int GaugeBitmapFor(const CStatus& status);
// Y below the status text: 50 on one line, 75 when it wraps.
inline int DisplayTextTop(int statusTextWidth) { return statusTextWidth > kStatusTextOneLine ? 75 : 50; }
inline bool DisplayTextNeedsEllipsis(int width) { return width >= kDisplayTextCut; }

// What the windows paint from.
struct PaintInputs {
  const CStrTableList* strings = nullptr;
  CStatus status;
  std::string statusText;   // text of the current status ID
  std::string displayText;  // the job's document
  bool offerOrderToner = true;
  HBITMAP background = nullptr;  // 129 or 159
  HBITMAP gauge = nullptr;       // the bitmap GaugeBitmapFor chose
  HBITMAP own = nullptr;         // 134 (low toner), 142 (large window)
};

void DrawSmallWindow(HDC dc, const RECT& client, const PaintInputs& in);
void DrawBigWindow(HDC dc, const RECT& client, const PaintInputs& in);
void DrawLowTonerWindow(HDC dc, const RECT& client, const PaintInputs& in);
void DrawMemOverWindow(HDC dc, const RECT& client, const PaintInputs& in);
// Returns the link rectangle in `link`.
void DrawOrderTonerWindow(HDC dc, const RECT& client, const PaintInputs& in, RECT* link);
// The link rectangle alone, measured as the painting does.
RECT MeasureOrderTonerLink(HDC dc, const CStrTableList& strings);

// The low-toner window's caption bar, red at toner level 5, else yellow.
COLORREF LowTonerCaptionColour(int tonerLevel);
void DrawLowTonerCaption(HWND window, HDC windowDc, const std::string& caption, int tonerLevel);

// Copies a bitmap at (x, y) in its own size; nothing for a null bitmap.
void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y);

}  // namespace sm
