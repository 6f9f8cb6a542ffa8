#pragma once
// Files and folders named on the command line ("Open with", file associations, Send To, a drop on
// the program's icon, a console). There are no options: every argument is a path.
#include <windows.h>

#include <string>
#include <vector>

// The arguments after the program name, split by the platform's rules (double quotes group blanks,
// backslashes escape a quote only right before one). Empty arguments are dropped.
std::vector<std::wstring> CommandLineArguments(const wchar_t* commandLine);

// `argument` as a full path, resolved against the current folder; "" when it cannot be resolved.
std::wstring FullPathOfArgument(const std::wstring& argument);

// The process's command-line arguments as full paths (those that cannot be resolved are left out).
std::vector<std::wstring> CommandLineFullPaths();

// Opens each full path as the open dialog would: an open file is activated, a missing one opens
// as an empty tab bound to its path, a folder becomes the sidebar's folder. The last file opened
// stays active.
void OpenPaths(const std::vector<std::wstring>& fullPaths);

// Paths handed over by a later start of the program (single_instance.h).
// Start-up is over (recovery and session questions answered): handed paths may open now.
void CommandLineReady();
// WM_COPYDATA to the main window: queues the paths of a later start and brings the window to the
// front. Nonzero when taken; zero while the window is closing (the sender then waits for it to end).
LRESULT ReceiveHandedPaths(const COPYDATASTRUCT* data);
// The main window's timer for handed paths: opens them once nothing modal is showing.
void OpenHandedPaths();
constexpr UINT_PTR kHandedPathsTimerId = 0x7E6;
