// Resource ids of setup.exe that code refers to by number (setup.rc).
// The bitmaps are named resources and need no ids here.
#pragma once

#define IDI_SETUP_ICON 128
#define IDC_HAND_CURSOR 145
