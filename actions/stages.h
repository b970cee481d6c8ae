// The apply stages that test and change the machine. Each returns a
// ResultCode and lets nothing else out.
#pragma once

#include "settings/patch_context.h"
#include "settings/result_code.h"

ResultCode checkPreconditions(const PatchContext& context);

ResultCode closeProduct(const PatchContext& context);
ResultCode closeProductWindow(const char* windowName);

ResultCode replaceFiles(const PatchContext& context);
// Byte-shift copy: '+' raises every byte by one, any other direction lowers it.
int shiftCopyFile(char direction, const char* sourcePath, const char* destinationPath);
// Plain copy over the destination, in one step once complete: 0, or -1.
int plainCopyFile(const char* sourcePath, const char* destinationPath);

ResultCode quoteRegistryValues(const PatchContext& context);
