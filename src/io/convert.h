#pragma once
// The save-encoding commands (150-156) and the line-ending commands (131-133) for the active tab.

// The encoding a save-encoding command sets, or -1 for other ids.
int EncodingForCommand(int command);
// The component's end-of-line mode and the LineEnding a line-ending command sets; false for other ids.
bool LineEndingForCommand(int command, int& eolMode, int& lineEnding);

void SetSaveEncoding(int encoding);
void ConvertLineEndings(int eolMode, int lineEnding);
