#pragma once

// 1 when the command line is "/Silent": no message box in the whole run.
// Set once by start-up; 0 until then, so an early refusal is always shown.
extern int silent;
