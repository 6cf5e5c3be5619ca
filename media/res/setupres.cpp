// setupres.dll holds resources only (setupres.rc); the installer loads it for
// its bitmaps and never calls into it.
