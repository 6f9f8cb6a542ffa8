#pragma once
// One running Tessary per user session and program folder: a later start hands the paths on its
// command line to the running window and ends. Instances of different program folders (a
// portable copy beside an installed one) keep their own settings and snapshots, so each runs on
// its own.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

// What identifies the instances that share the files of one program folder (case does not count).
uint64_t InstanceKey(const std::wstring& programDirectory);

// The paths as a WM_COPYDATA block (each one's UTF-16 units and a terminating zero), and back.
// Reading refuses a block that is not whole.
std::vector<wchar_t> PackPaths(const std::vector<std::wstring>& paths);
bool UnpackPaths(const void* data, size_t bytes, std::vector<std::wstring>& paths);

// What the running window answers to a hand-off it took.
constexpr LRESULT kHandOffTaken = 0x7E55;
// Marks a WM_COPYDATA block as a list of paths handed over.
constexpr ULONG_PTR kHandOffTag = 0x54534131;

// At start-up, before any window: true when another instance of this program folder runs and took
// this start's paths, so that this process ends. Otherwise this process is the running instance
// (or, when the running one never answers, a second one rather than a start that does nothing).
bool HandOffToRunningInstance(const std::wstring& programDirectory, const std::vector<std::wstring>& fullPaths);
// After the main window exists: the window a later start hands its paths to.
void PublishInstanceWindow(HWND mainWindow, const std::wstring& programDirectory);
// The process is ending: the next start runs on its own.
void EndInstance();
