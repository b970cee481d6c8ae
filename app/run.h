#pragma once

// The whole run behind WinMain: start-up, the apply sequence and the report.
// `commandLine` is the text after the program's name, leading blanks skipped.
// Returns the process exit code.
int runApplier(const char* commandLine);
