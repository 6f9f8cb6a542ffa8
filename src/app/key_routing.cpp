#include "app/key_routing.h"

#include <algorithm>
#include <iterator>

namespace {

// Ctrl chords that have a command of their own; Shift variants go to the same handler.
constexpr unsigned kCtrlKeys[] = {
    kVkCancel, kVkSpace, 'A', 'B', 'D', 'F', 'G', 'H',   'K',         'L',     'N',
    'O',       'P',      'Q', 'R', 'S', 'U', 'W', kVkF1, kVkOemComma, kVkOem2,
};

}  // namespace

MainKeyAction ClassifyMainKeyDown(unsigned vk, bool ctrl, bool shift) {
    if (ctrl && std::find(std::begin(kCtrlKeys), std::end(kCtrlKeys), vk) != std::end(kCtrlKeys))
        return MainKeyAction::CtrlHandler;
    if (vk == kVkEscape) return MainKeyAction::Escape;
    if (!ctrl) {
        if (vk == kVkF1) return MainKeyAction::Documentation;
        if (vk == kVkF3) return shift ? MainKeyAction::FindPrevious : MainKeyAction::FindNext;
        if (vk == kVkF11) return shift ? MainKeyAction::FocusMode : MainKeyAction::FullScreen;
    }
    return MainKeyAction::PassToEditor;
}

bool DropControlChar(unsigned ch, bool ctrl) { return ctrl && ch < 32; }
