// The module instance handle that WinMain receives, kept for the resource
// loader. Windows-only: the core never sees it.
#pragma once

#include <windows.h>

namespace platform::win32 {

// Stored once, before anything else of the run.
void setInstanceHandle(HINSTANCE instance);
HINSTANCE instanceHandle();

}  // namespace platform::win32
