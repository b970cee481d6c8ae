// Ending a Windows program under Wine the hard way: SIGKILL to the Linux
// process that runs it, as a power cut or the task manager would end it.
// (Killing the launcher ends the program too, but only once wineserver has
// noticed the launcher's end, while the program goes on writing.)
#pragma once

#include <string>

namespace e2e {

// Kills every process of this user that Wine runs `windowsProgram` in (found
// by the command line Wine gives it: the program's Windows path first,
// compared without case) and waits until they have gone. The number of
// processes killed; throws std::runtime_error when one is still there after
// timeoutMs.
int killProgramAbruptly(const std::string& windowsProgram, int timeoutMs);

}  // namespace e2e
