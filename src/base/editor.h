#pragma once
// The one typed layer over the editing component's message interface. Every message the program
// sends to a "Scintilla" window goes through here; positions are byte offsets into UTF-8 text.
#include <windows.h>
#include <string>

namespace editor {

// Message numbers of the component.
enum Msg : UINT {
    kAddText = 2001,
    kInsertText = 2003,
    kClearAll = 2004,
    kGetLength = 2006,
    kGetCurrentPos = 2008,
    kRedo = 2011,
    kSelectAll = 2013,
    kSetSavePoint = 2014,
    kSetUndoCollection = 2012,
    kSetViewWs = 2021,
    kPositionFromPoint = 2022,
    kPositionFromPointClose = 2023,
    kGotoLine = 2024,
    kConvertEols = 2029,
    kSetEolMode = 2031,
    kSetTabWidth = 2036,
    kSetCodePage = 2037,
    kGetCodePage = 2137,
    kStyleClearAll = 2050,
    kStyleSetFore = 2051,
    kStyleSetBack = 2052,
    kStyleSetSize = 2055,
    kStyleSetFont = 2056,
    kSetSelFore = 2067,
    kSetSelBack = 2068,
    kSetCaretFore = 2069,
    kClearCmdKey = 2071,
    kBeginUndoAction = 2078,
    kEndUndoAction = 2079,
    kGetColumn = 2129,
    kSetHScrollBar = 2130,
    kGetLineEndPosition = 2136,
    kGetSelectionStart = 2143,
    kGetSelectionEnd = 2145,
    kGetFirstVisibleLine = 2152,
    kGetLine = 2153,
    kGetLineCount = 2154,
    kSetSel = 2160,
    kGetSelText = 2161,
    kGetTextRange = 2162,
    kGetTextRangeFull = 2039,
    kPositionAfter = 2418,
    kPointXFromPosition = 2164,
    kLineFromPosition = 2166,
    kPositionFromLine = 2167,
    kScrollCaret = 2169,
    kSetReadOnly = 2171,
    kEmptyUndoBuffer = 2175,
    kUndo = 2176,
    kCut = 2177,
    kCopy = 2178,
    kPaste = 2179,
    kClear = 2180,
    kSetText = 2181,
    kAppendText = 2282,
    kGetText = 2182,
    kSetCaretWidth = 2188,
    kGetTargetEnd = 2193,
    kReplaceTarget = 2194,
    kReplaceTargetRe = 2195,
    kSearchInTarget = 2197,
    kSetSearchFlags = 2198,
    kMarginSetType = 2240,
    kSetMarginWidth = 2242,
    kGetMarginWidth = 2243,
    kWordStartPosition = 2266,
    kWordEndPosition = 2267,
    kSetWrapMode = 2268,
    kSetScrollWidth = 2274,
    kTextWidth = 2276,
    kSetVScrollBar = 2280,
    kTab = 2327,
    kBackTab = 2328,
    kLineLength = 2350,
    kSetModEventMask = 2359,
    kLinesOnScreen = 2370,
    kVisibleFromDocLine = 2220,
    kWrapCount = 2235,
    kSetZoom = 2373,
    kGetZoom = 2374,
    kSetStatus = 2382,
    kGetStatus = 2383,
    kSetXOffset = 2397,
    kGetXOffset = 2398,
    kSetPositionCache = 2514,
    kSetScrollWidthTracking = 2516,
    kSetSelectionMode = 2422,
    kGetSelections = 2570,
    kSetSelection = 2572,
    kAddSelection = 2573,
    kSetMainSelection = 2574,
    kSetRectangularSelectionCaret = 2588,
    kSetRectangularSelectionAnchor = 2590,
    kSetRectangularSelectionCaretVirtualSpace = 2592,
    kSetRectangularSelectionAnchorVirtualSpace = 2594,
    kSetVirtualSpaceOptions = 2596,
    kSetRectangularSelectionModifier = 2598,
    kSetFirstVisibleLine = 2613,
    kCountCharacters = 2633,
    kGetRangePointer = 2643,
    kDeleteRange = 2645,
    kSetTargetRange = 2686,
    kAllocate = 2446,
    kCreateDocument = 2375,
    kGetDocPointer = 2357,
    kSetDocPointer = 2358,
    kReleaseDocument = 2377,
    kAllocateLines = 2089,
    kCreateLoader = 2632,
    kSetILexer = 4033,
    kSetKeywords = 4005,
    kGetStyleAt = 2010,
    kStyleGetFore = 2481,
    kStyleGetBack = 2482,
    kColourise = 4003,
    kGetLexerLanguage = 4012,
    kGetDirectFunction = 2184,
    kGetDirectPointer = 2185,
};

// Notification codes the main window reads.
enum Notification : UINT {
    kNotifyStyleNeeded = 2000,
    kNotifySavePointReached = 2002,
    kNotifySavePointLeft = 2003,
    kNotifyModifyAttemptRO = 2004,
    kNotifyUpdateUI = 2007,
    kNotifyModified = 2008,
};

// Bits of the modified notification and of update UI.
enum : int {
    kModInsertText = 0x1,
    kModDeleteText = 0x2,
    kModBeforeInsert = 0x400,
    kModBeforeDelete = 0x800,
    kPerformedUndo = 0x20,
    kPerformedRedo = 0x40,
    kUpdateContent = 0x1,
    kUpdateSelection = 0x2,
    kUpdateVScroll = 0x4,
    kUpdateHScroll = 0x8,
};

constexpr int kLineNumberStyle = 33;
constexpr int kDefaultStyle = 32;

// The component's notification header (its layout is part of the component's interface).
struct NotifyHeader {
    NMHDR nmhdr;
    LONG_PTR position;
    int ch;
    int modifiers;
    int modificationType;
    const char* text;
    LONG_PTR length;
    LONG_PTR linesAdded;
    int message;
    WPARAM wParam;
    LPARAM lParam;
    LONG_PTR line;
    int foldLevelNow;
    int foldLevelPrev;
    int margin;
    int listType;
    int x;
    int y;
    int token;
    LONG_PTR annotationLinesAdded;
    int updated;
    int listCompletionMethod;
    int characterSource;
};

// One message to the component. For a window made by Create, the component's messages go
// straight to its direct function (no trip through the window manager); other windows and
// window messages go through SendMessageW. Only the thread that owns the window may call this.
LRESULT Send(HWND editor, UINT msg, WPARAM w = 0, LPARAM l = 0);

// Creates a component window and remembers its direct function; Destroy forgets it and destroys
// the window. Forget is for a window destroyed some other way (a parent taking its children).
HWND Create(HWND parent, DWORD style, int id, HINSTANCE instance);
void Destroy(HWND editor);
void Forget(HWND editor);

// Text in and out, as the component's UTF-8. SetText replaces the whole text with all of `utf8`,
// zero bytes included, as one undo step, and leaves the caret at 0.
void SetText(HWND editor, const std::string& utf8);
std::string GetText(HWND editor);
// The component's own bytes of [position, position + length), without a copy; valid until the text
// changes. The component may move its internal gap to make the range contiguous.
const char* RangePointer(HWND editor, long long position, long long length);
// Inserts at the caret, which then moves past the new text.
void AddText(HWND editor, const char* data, size_t length);
long long Length(HWND editor);
long long LineCount(HWND editor);
long long FirstVisibleLine(HWND editor);
void SetFirstVisibleLine(HWND editor, long long line);
long long LinesOnScreen(HWND editor);
// Lines as shown: a wrapped line counts once for every row it takes.
long long DisplayLineCount(HWND editor);
long long XOffset(HWND editor);
void SetXOffset(HWND editor, long long offset);
long long PositionFromPoint(HWND editor, int x, int y);  // closest position, -1 when none
void SetSavePoint(HWND editor);
void SetReadOnly(HWND editor, bool readOnly);
void StyleSetColours(HWND editor, int style, COLORREF fore, COLORREF back);

// The lexer numbers the program uses, mapped to the lexers of the lexer library:
// 1 null, 2 python, 3 cpp, 4 hypertext, 5 xml, 38 css, 98 markdown, 120 json.
const char* LexerName(int lexerId);  // nullptr for an unknown number
// Selects a lexer by number (the effect of the component's old SCI_SETLEXER). Returns false when
// the number is unknown or the lexer library cannot make it.
bool SetLexer(HWND editor, int lexerId);

// Loads the component library from `dllPath`, a full path (nothing else is searched); it registers
// the "Scintilla" window class. nullptr on failure.
HMODULE LoadComponent(const std::wstring& dllPath);

}  // namespace editor
