#pragma once
// Private window messages of the status monitor and the ids of its timers.
#include <windows.h>

namespace sm {

inline constexpr UINT WM_SM_JOB_STARTED = WM_USER + 101;
inline constexpr UINT WM_SM_WINDOW_CLOSED = WM_USER + 201;
inline constexpr UINT WM_SM_ORDER_TONER_CLOSED = WM_USER + 202;
inline constexpr UINT WM_SM_SHOW_ORDER_TONER = WM_USER + 301;
inline constexpr UINT WM_SM_KILL = WM_USER + 305;

inline constexpr UINT_PTR POLLING_TIMER_ID = 1000;
inline constexpr UINT_PTR TERMINATE_TIMER_ID = 1001;
inline constexpr UINT_PTR PIPE_TIMER_ID = 1002;
inline constexpr UINT_PTR SM_POPUPED_TIMER = 1003;
inline constexpr UINT kPipeTimerPeriod = 100;

// Resources of statmon.exe.
inline constexpr int kIconMain = 128;
inline constexpr int kBitmapBackground = 129;
inline constexpr int kBitmapBackgroundRtl = 159;
inline constexpr int kTonerGaugeBitmaps[7] = {153, 135, 136, 137, 138, 139, 152};
inline constexpr int kBitmapLowToner = 134;       // low-toner window, at (0, 0)
inline constexpr int kBitmapCartridgeRule = 142;  // large window, above the cartridge information
inline constexpr int kBitmapPhone = 143;          // order toner window, control 1013
inline constexpr int kBitmapWeb = 144;            // order toner window, control 1014
inline constexpr int kCursorLink = 145;           // over the order link

}  // namespace sm
