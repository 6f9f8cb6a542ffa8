#include "shell/key_routing.h"

#include "shell/key_table.h"

MainKeyAction ClassifyMainKeyDown(unsigned vk, bool ctrl, bool shift) {
    // The keys an editor hands to the key table, and Ctrl+D (which an editor handles itself);
    // Shift variants go to the same handler. Ctrl+Alt+I goes on to the editor, which routes it.
    if (ctrl && (EditorRoutesCtrlKey(vk, false) || vk == 'D')) return MainKeyAction::CtrlHandler;
    if (vk == kVkEscape) return MainKeyAction::Escape;
    if (!ctrl) {
        if (vk == kVkF1) return MainKeyAction::Documentation;
        if (vk == kVkF3) return shift ? MainKeyAction::FindPrevious : MainKeyAction::FindNext;
        if (vk == kVkF11) return shift ? MainKeyAction::FocusMode : MainKeyAction::FullScreen;
    }
    return MainKeyAction::PassToEditor;
}

bool DropControlChar(unsigned ch, bool ctrl) { return ctrl && ch < 32; }
