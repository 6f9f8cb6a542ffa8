#include "ui/strings.h"

#include <cstddef>

namespace {

// English (language 4). Other languages fall back to these until their tables exist.
const wchar_t* const kGeneral[] = {L"File",    L"Edit",        L"Find",     L"View",  L"Goto",         L"Tools",
                                   L"Project", L"Preferences", L"Language", L"Help",  L"Color Scheme", L"Theme",
                                   L"Ln",      L"Col",         L"selected", L"Spaces"};
const wchar_t* const kMenuLabels[] = {L"New File",
                                      L"Open File",
                                      L"Open Folder",
                                      L"Save",
                                      L"Save As",
                                      L"Save All",
                                      L"Close File",
                                      L"Close All",
                                      L"Exit",
                                      L"Undo",
                                      L"Redo",
                                      L"Cut",
                                      L"Copy",
                                      L"Paste",
                                      L"Delete",
                                      L"Select All",
                                      L"Toggle Comment",
                                      L"Find",
                                      L"Replace",
                                      L"Find all",
                                      L"Find Next",
                                      L"Find Previous",
                                      L"Sidebar",
                                      L"Status Bar",
                                      L"Full Screen",
                                      L"Distraction Free",
                                      L"Open Project",
                                      L"Save Project",
                                      L"Add Folder to Project",
                                      L"Settings",
                                      L"Key Bindings",
                                      L"Color Scheme",
                                      L"Theme",
                                      L"Documentation",
                                      L"Check for Updates",
                                      L"About",
                                      L"Zoom In",
                                      L"Zoom Out"};
const wchar_t* const kHexModeLabel[] = {L"Hex Mode"};
const wchar_t* const kUntitledName[] = {L"New File"};
const wchar_t* const kExternalChange[] = {L"File has been modified externally:\n", L"Reload?",
                                          L"The buffer is large. Reload anyway?"};

template <std::size_t N>
const wchar_t* Pick(const wchar_t* const (&table)[N], int entry) {
    return entry >= 0 && static_cast<std::size_t>(entry) < N ? table[entry] : L"";
}

}  // namespace

const wchar_t* LocalizedText(StringTable table, int entry) {
    switch (table) {
        case StringTable::General: return Pick(kGeneral, entry);
        case StringTable::MenuLabels: return Pick(kMenuLabels, entry);
        case StringTable::HexModeLabel: return Pick(kHexModeLabel, entry);
        case StringTable::UntitledName: return Pick(kUntitledName, entry);
    case StringTable::ExternalChange: return Pick(kExternalChange, entry);
    }
    return L"";
}
