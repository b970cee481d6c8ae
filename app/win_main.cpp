// The program's entry. The ANSI WinMain gets the command line after the
// program's own name with the blanks in front of it already skipped, which
// is the text the start-up compares.
#include <windows.h>

#include "app/run.h"
#include "platform/win32/instance.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE /*previousInstance*/, LPSTR commandLine, int /*showState*/) {
    platform::win32::setInstanceHandle(instance);
    return runApplier(commandLine);
}
