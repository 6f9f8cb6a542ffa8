#pragma once
// The tool commands on the active tab: comment toggling and the selection commands.

// Ctrl+/: line or block comments by the tab's language, as one undo step. Nothing for plain text,
// read-only tabs and hex mode.
void ToggleComment();
void ExpandSelectionCommand();
void ShrinkSelectionCommand();
void SingleSelectionCommand();
void SplitSelectionIntoLines();
