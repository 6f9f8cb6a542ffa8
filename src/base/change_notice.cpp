// Passes change notes from the lower layers to the handler the shell installed.
#include "base/change_notice.h"

namespace {
ChangeHandler handler = nullptr;
}

void NoteChange(unsigned what, HWND editor) {
    if (handler && what != 0) handler(what, editor);
}

void SetChangeHandler(ChangeHandler h) { handler = h; }
