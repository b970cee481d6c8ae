// The temporary file beside a destination. A copy is written under this name
// first and replaces the destination in one step only once it is whole, so
// that a copy that fails, or a run that is killed, never leaves the
// destination half-written.
#pragma once

#include "settings/patch_context.h"

// The folder part of `destinationPath` (up to and including its last
// separator) followed by the temporary name; false when that does not fit a
// path, or when it would be the destination itself.
bool temporaryPathBeside(const char* destinationPath, char (&temporaryPath)[PATH_FIELD]);

// Removes a file even when it is read-only: a killed run may leave a
// temporary file that had already taken on a read-only source's attributes.
void removeFile(const char* path);
