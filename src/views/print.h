#pragma once
// Prints the active tab through the printer dialog: text lines, or the hex rows of a tab in hex mode.
void PrintActiveTab();
