#pragma once
// Process-wide state of the running program: windows, flags, layout, fonts and settings.
// Only the user-interface thread touches it.
#include <windows.h>
#include <string>
#include <vector>

#include "base/layout.h"
#include "base/settings.h"

struct AppState {
    HINSTANCE instance = nullptr;

    // Windows
    HWND mainWindow = nullptr;
    HWND sidebarWindow = nullptr;
    HWND searchPanelWindow = nullptr;
    HWND resultListWindow = nullptr;
    HWND quickOpenPopup = nullptr;
    HWND menuPopupWindow = nullptr;
    HWND subMenuPopupWindow = nullptr;
    HWND toolbarTooltip = nullptr;

    int activeTab = -1;

    // User-interface flags
    bool sidebarVisible = true;
    bool statusBarVisible = true;
    bool searchPanelOpen = false;
    int searchPanelWidth = 300;
    bool findCase = false, findWord = false, findRegex = false, findAllFiles = false;  // search options
    bool focusMode = false;
    bool fullScreen = false;
    bool maximized = false;
    bool columnMode = false;
    bool macroRecording = false;
    std::vector<int> macroBuffer;  // c >= 0 a typed character, -v the virtual key v
    bool sessionSaved = false;
    bool settingText = false;  // the program, not the user, is replacing an editor's text: see SettingText
    int progressPercent = -1;  // how far a long load or save has got, shown in the status bar; -1 none
    bool scrollWidthDirty = true;
    long long maxLineWidth = 0;
    bool startMaximized = false;
    WINDOWPLACEMENT savedPlacement{};  // the placement before the window was maximized
    bool hasSavedPlacement = false;
    WINDOWPLACEMENT screenPlacement{};  // the placement before full screen or distraction free
    bool hasScreenPlacement = false;

    // Interaction state
    int hoveredCaptionButton = 0;
    bool closePressed = false;
    int hoveredToolbarButton = -1;
    int hoveredTab = -1;      // tab under the mouse, -1 none
    bool hoveredTabClose = false;  // while the mouse is on that tab's close mark
    bool hoveredTabList = false;   // while the mouse is on the tab list's button
    int hoveredMenuItem = -1;
    int openMenu = -1;
    bool vScrollHover = false;
    bool hScrollHover = false;
    bool vScrollDragging = false;
    bool hScrollDragging = false;
    bool rectangleDragging = false;
    int contextTab = -1;
    DWORD lastBeepTick = 0;
    bool lastBeepValid = false;

    // Layout rectangles (client coordinates)
    LayoutRects rects;
    int dpi = kDesignDpi;  // the main window's display scale; fonts and measures follow it

    // Fonts
    HFONT monoFont = nullptr;
    HFONT tabFont = nullptr;
    HFONT uiFont = nullptr;
    HFONT panelTitleFont = nullptr;
    HFONT captionFont = nullptr;
    HFONT listBoldFont = nullptr;
    HFONT menuFont = nullptr;
    HBRUSH inputBrush = nullptr;
    int monoCharWidth = 0;  // width of "M" in monoFont, measured once

    // Back buffer
    HBITMAP backBuffer = nullptr;
    int backBufferWidth = 0;
    int backBufferHeight = 0;

    // Toolbar images (premultiplied 32-bit ARGB, 18 x 18), one slot per button
    HBITMAP toolbarImages[17] = {};
    HICON smallIcon = nullptr;
    HICON bigIcon = nullptr;

    // Persisted preferences
    Settings settings;
    int uiLanguage = 4;  // English
    int theme = 0;
    int colorScheme = 0;

    std::wstring folderRoot;  // open folder of the sidebar; empty when none
};

extern AppState app;

// A design measure (pixels at 96 dpi) in pixels of the main window's display.
inline int Px(int designPixels) { return Scale(designPixels, app.dpi); }
inline Rect Px(const Rect& design) { return Scale(design, app.dpi); }

// Rectangle conversions between the window-free geometry and GDI.
inline RECT ToRECT(const Rect& r) { return RECT{r.left, r.top, r.right, r.bottom}; }
inline Rect FromRECT(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

// While one lives, edit notifications come from the program replacing an editor's text (a load, a
// restore, a view switch), not from the user: no modified mark, snapshot or line tally follows them.
class SettingText {
public:
    SettingText() : before_(app.settingText) { app.settingText = true; }
    ~SettingText() { app.settingText = before_; }
    SettingText(const SettingText&) = delete;
    SettingText& operator=(const SettingText&) = delete;

private:
    bool before_;
};
