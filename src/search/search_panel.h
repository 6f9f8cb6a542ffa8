#pragma once
// The search panel (window class "TesResult") with its find and replace boxes and option toggles,
// and the live search that fills the results list (see result_list.h).
#include <windows.h>

#include <vector>

#include "search/regex_search.h"
#include "search/search_model.h"

// Child control ids of the panel.
enum PanelControl {
    kPanelFind = 20,
    kPanelReplace = 21,
    kPanelReplaceOne = 23,
    kPanelReplaceAll = 24,
    kPanelCase = 25,
    kPanelWord = 26,
    kPanelRegex = 27,
    kPanelClose = 28,
    kPanelResults = 31,
    kPanelAllFiles = 33
};

// The hits of the last live search and the results list's view of them.
struct SearchResults {
    std::vector<SearchHit> hits;
    std::vector<HitGroup> groups;
    std::vector<ResultRow> rows;
    bool stopped = false;  // the search ran out of its budget; the hits are those found before
    bool searched = false;  // a query was searched for: the summary row shows even without hits
    RegexError patternError;  // the engine's complaint about the expression searched for
    int selAnchor = -1, selEnd = -1;
    int scrollY = 0, scrollX = 0;
    int hoverRow = -1;
    int maxTextWidth = 0;
    bool selecting = false;
    bool vThumbHover = false, vThumbDrag = false;
    bool hThumbHover = false, hThumbDrag = false;
    bool copyHover = false, copyConfirm = false;
};
extern SearchResults results;

LRESULT CALLBACK SearchPanelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
LRESULT CALLBACK FindFieldProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Subclasses one of the panel's edit fields with FindFieldProc.
void SubclassFindField(HWND field);
// Shows the panel, searches, and focuses the find box (or the replace box).
void OpenSearchPanel(bool focusReplace);
// Hides the panel, forgets the query and the results, and lays the window out again.
void CloseSearchPanel();
// The live search of the open panel.
void RunSearch();
// The text of a tab changed (typing, undo, redo, a replacement): when the open panel's results come
// from that tab, they are searched again once the edits pause. A keystroke only restarts a timer.
void NoteSearchedTextChanged(HWND editor);
// Commands 162, 163 and 164.
void FindAllCommand();
void FindNextCommand(bool forward);

// Colours the panel adds to the palette: the boxes' fill and the match highlight, dark as drawn in
// the dark themes, light when the theme's text is dark (so that text stays readable).
COLORREF SearchFieldFill();
COLORREF SearchMatchFill();
