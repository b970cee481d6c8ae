#include "app/load_text.h"

#include "platform/platform.h"

namespace {
char loadedText[LOAD_TEXT_CAPACITY];
}

const char* loadText(unsigned id) {
    if (platform::loadString(id, loadedText, LOAD_TEXT_CAPACITY) <= 0) loadedText[0] = '\0';
    return loadedText;
}
