#include "base/command_ids.h"
#include "shell/key_table.h"

namespace {

constexpr unsigned kVkBreak = 0x03, kVkSpace = 0x20, kVkF1 = 0x70, kVkComma = 0xBC, kVkSlash = 0xBF;
// "+" and "-": the main keyboard's keys (with or without Shift, "=" shares the key with "+") and
// the keypad's.
constexpr unsigned kVkPlus = 0xBB, kVkMinus = 0xBD, kVkPadPlus = 0x6B, kVkPadMinus = 0x6D;

KeyResult Run(int command) { return KeyResult{KeyAction::Command, command, 0}; }
KeyResult Do(KeyAction action) { return KeyResult{action, 0, 0}; }

KeyResult CtrlAlt(unsigned vk, bool shift) {
    switch (vk) {
        case 'B': return Run(kCmdStatusBar);
        case 'F': return Run(kCmdAddFolder);
        case 'H': return Run(kCmdHexMode);
        case 'I': return Run(kCmdAbout);
        case 'K': return Run(kCmdKeyBindings);
        case 'O': return Run(kCmdOpenFolder);
        case 'P': return Run(shift ? 241 : 240);
        case 'S': return Run(shift ? 241 : 105);
        case 'U': return Run(kCmdCheckForUpdates);
        case 'W': return shift ? Run(kCmdCloseAll) : KeyResult{};
        default: return {};
    }
}

KeyResult Ctrl(unsigned vk, bool shift) {
    switch (vk) {
        case kVkBreak: return Run(kCmdCancelBuild);
        case kVkSpace: return shift ? Run(kCmdExpandSelection) : KeyResult{};
        case 'A': return Do(KeyAction::SelectAll);
        case 'B': return Run(kCmdBuild);
        case 'D': return Do(KeyAction::SelectNextOccurrence);
        case 'F': return Run(shift ? 162 : 160);
        case 'G': return Run(kCmdGotoLine);
        case 'H': return Run(kCmdReplace);
        case 'K': return KeyResult{KeyAction::StartChord, 0, 'K'};
        case 'L': return shift ? Run(kCmdSplitIntoLines) : KeyResult{};
        case 'N': return Run(kCmdNewFile);
        case 'O': return Run(kCmdOpenFile);
        case 'P': return Run(shift ? 220 : 200);
        case 'Q': return Run(shift ? 224 : 223);
        case 'R': return Run(kCmdGotoSymbol);
        case 'S': return Run(shift ? 104 : 103);
        case 'U': return shift ? Run(kCmdShrinkSelection) : KeyResult{};
        case 'W': return Run(shift ? 108 : 107);
        case kVkF1: return Run(kCmdDocumentation);
        case kVkComma: return Run(kCmdSettings);
        case kVkSlash: return Run(kCmdToggleComment);
        case kVkPlus:
        case kVkPadPlus: return Run(kCmdZoomIn);
        case kVkMinus:
        case kVkPadMinus: return Run(kCmdZoomOut);
        default: return {};
    }
}

}  // namespace

KeyResult LookupCtrlKey(unsigned vk, bool shift, bool alt, char pendingChord) {
    // The key after Ctrl+K completes the chord, whatever it is, and does nothing else.
    if (pendingChord) return pendingChord == 'K' && vk == 'B' ? Do(KeyAction::ToggleSidebar) : KeyResult{};
    return alt ? CtrlAlt(vk, shift) : Ctrl(vk, shift);
}

bool IsAltGrTyping(bool ctrl, bool alt, bool rightAlt, unsigned typedChar) {
    const bool printable = typedChar >= 32 && typedChar != 127;  // 127: Ctrl+Backspace
    return ctrl && alt && (rightAlt || printable);
}

RectangleMouse RectangleMouseStep(MouseEvent event, bool dragging, bool columnMode, bool ctrl, bool chordPending) {
    switch (event) {
        case MouseEvent::Press:
            return columnMode || (ctrl && !chordPending) ? RectangleMouse::Start : RectangleMouse::None;
        case MouseEvent::Move: return dragging ? RectangleMouse::Extend : RectangleMouse::None;
        case MouseEvent::Release: return dragging ? RectangleMouse::End : RectangleMouse::None;
    }
    return RectangleMouse::None;
}

MacroStep MacroStepFor(int entry) {
    constexpr unsigned kChar = 0x0102;  // WM_CHAR
    // The component's own commands for the recorded keys (and for Backspace, Tab and Return,
    // which it takes as keys, not characters).
    switch (entry) {
        case 8: return {2326, 0};      // delete back
        case 9: return {2327, 0};      // tab
        case 13: return {2329, 0};     // new line
        case -0x21: return {2320, 0};  // Page Up
        case -0x22: return {2322, 0};  // Page Down
        case -0x23: return {2314, 0};  // End: line end
        case -0x24: return {2331, 0};  // Home: first non-blank, then column 0
        case -0x25: return {2304, 0};  // Left
        case -0x26: return {2302, 0};  // Up
        case -0x27: return {2306, 0};  // Right
        case -0x28: return {2300, 0};  // Down
        case -0x2E: return {2180, 0};  // Delete
        default: break;
    }
    if (entry >= 0) return {kChar, static_cast<uintptr_t>(entry)};
    return {};
}

bool EditorRoutesCtrlKey(unsigned vk, bool alt) {
    switch (vk) {
        case kVkBreak:
        case kVkSpace:
        case 'A':
        case 'B':
        case 'F':
        case 'G':
        case 'H':
        case 'K':
        case 'L':
        case 'N':
        case 'O':
        case 'P':
        case 'Q':
        case 'R':
        case 'S':
        case 'U':
        case 'W':
        case kVkF1:
        case kVkComma:
        case kVkSlash:
        case kVkPlus:
        case kVkMinus:
        case kVkPadPlus:
        case kVkPadMinus: return true;
        case 'I': return alt;
        default: return false;
    }
}
