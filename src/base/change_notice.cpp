// Passes change notes from the lower layers to the handler the shell installed.
#include "base/change_notice.h"

namespace {
ChangeHandler handler = nullptr;
int batches = 0;
unsigned held = 0;
constexpr unsigned kAtOnce = kChangeEditorCreated | kChangeStatusBarNow;
}  // namespace

void NoteChange(unsigned what, HWND editor) {
    if (!handler || what == 0) return;
    if (batches > 0) {
        held |= what & ~kAtOnce;
        what &= kAtOnce;
        if (what == 0) return;
    }
    handler(what, editor);
}

ChangeBatch::ChangeBatch() { ++batches; }

ChangeBatch::~ChangeBatch() {
    if (--batches > 0) return;
    const unsigned what = held;
    held = 0;
    NoteChange(what);
}

void SetChangeHandler(ChangeHandler h) { handler = h; }
