#pragma once
// The save-encoding commands (150-156) and the line-ending commands (131-133) for the active tab.

// The encoding a save-encoding command sets, or -1 for other ids.
int EncodingForCommand(int command);
// The component's end-of-line mode and the LineEnding a line-ending command sets; false for other ids.
bool LineEndingForCommand(int command, int& eolMode, int& lineEnding);
// The other way round, for the check marks: the command that sets a TextEncoding or LineEnding
// value, 0 when none does (Mixed line endings).
int CommandForEncoding(int encoding);
int CommandForLineEnding(int lineEnding);

void SetSaveEncoding(int encoding);
void ConvertLineEndings(int eolMode, int lineEnding);
