#pragma once

// What the main window does with a key when it holds the keyboard focus itself
// (rather than the editor or a panel).

enum class MainKeyAction {
    PassToEditor,
    CtrlHandler,
    Documentation,
    FindNext,
    FindPrevious,
    FullScreen,
    FocusMode,
    Escape,
    Drop
};

// Windows virtual-key codes, spelled out so this file needs no platform header.
constexpr unsigned kVkEscape = 0x1B;
constexpr unsigned kVkF1 = 0x70;
constexpr unsigned kVkF3 = 0x72;
constexpr unsigned kVkF11 = 0x7A;

MainKeyAction ClassifyMainKeyDown(unsigned vk, bool ctrl, bool shift);

// A control character produced by a Ctrl chord (Ctrl+letter) must not reach the text.
bool DropControlChar(unsigned ch, bool ctrl);
