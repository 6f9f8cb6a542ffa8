#include "shell/application.h"

#include <commctrl.h>
#include <shellapi.h>
#include <shlwapi.h>

#include <string>

#include "base/app_state.h"
#include "shell/command_line.h"
#include "base/gdi_util.h"
#include "workflow/tab_actions.h"
#include "base/file_access.h"
#include "base/editor.h"
#include "base/gdi_util.h"
#include "base/gdiplus_inc.h"
#include "shell/main_window.h"
#include "shell/window_frame.h"
#include "workflow/recovery_restore.h"
#include "shell/single_instance.h"
#include "document/tab_rules.h"
#include "document/document.h"
#include "persist/persist.h"
#include "persist/recovery.h"
#include "project/sidebar.h"
#include "search/quick_open.h"
#include "search/result_list.h"
#include "search/search_panel.h"
#include "syntax/palette.h"
#include "shell/chrome.h"
#include "shell/menu_bar.h"
#include "base/strings.h"

AppState app;

namespace {

HICON LoadAppIcon(HINSTANCE instance, int size) {
    auto icon = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, 0));
    if (!icon) {
        const std::wstring file = ProgramDirectory() + L"appicon.ico";
        icon = static_cast<HICON>(LoadImageW(nullptr, file.c_str(), IMAGE_ICON, size, size, LR_LOADFROMFILE));
    }
    return icon;
}

void RegisterWindowClasses(HINSTANCE instance) {
    HBRUSH chrome = CreateSolidBrush(palette.chromeColor);
    HBRUSH panel = CreateSolidBrush(palette.panelColor);
    HBRUSH editorBrush = CreateSolidBrush(palette.editorColor);
    struct ClassSpec {
        const wchar_t* name;
        WNDPROC proc;
        bool redraw;
        HBRUSH background;
    };
    const ClassSpec classes[] = {
        {L"TessaryClass", MainWindowProc, true, chrome},       {L"TesSide", SidebarProc, true, panel},
        {L"TessaryPopup", QuickOpenProc, true, chrome},        {L"TesResult", SearchPanelProc, true, panel},
        {L"TesResultList", ResultListProc, true, editorBrush}, {L"TesMenuPop", MenuPopupProc, false, nullptr},
        {L"TesSubPop", DefWindowProcW, false, nullptr},
    };
    for (const ClassSpec& c : classes) {
        WNDCLASSEXW wc{};
        wc.cbSize = sizeof wc;
        wc.style = c.redraw ? (CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS) : 0;
        wc.lpfnWndProc = c.proc;
        wc.hInstance = instance;
        wc.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        wc.hbrBackground = c.background;
        wc.lpszClassName = c.name;
        RegisterClassExW(&wc);
    }
}

void CreatePopups(HINSTANCE instance) {
    app.quickOpenPopup = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, L"TessaryPopup", L"", WS_POPUP | WS_BORDER,
                                         100, 40, 560, 320, app.mainWindow, nullptr, instance, nullptr);
    const DWORD menuEx = WS_EX_NOACTIVATE | WS_EX_LAYERED | WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    app.menuPopupWindow =
        CreateWindowExW(menuEx, L"TesMenuPop", L"", WS_POPUP, 0, 0, 10, 10, app.mainWindow, nullptr, instance, nullptr);
    app.subMenuPopupWindow =
        CreateWindowExW(menuEx, L"TesSubPop", L"", WS_POPUP, 0, 0, 10, 10, app.mainWindow, nullptr, instance, nullptr);
}

// The common controls the window uses, and menus and scroll bars that may follow a dark theme.
void PrepareCommonControls() {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_TREEVIEW_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&icc);
    if (HMODULE uxtheme = LoadLibraryExW(L"uxtheme.dll", nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32)) {
        using SetPreferredAppModeFn = int(WINAPI*)(int);
        if (auto setMode = reinterpret_cast<SetPreferredAppModeFn>(
                reinterpret_cast<void*>(GetProcAddress(uxtheme, "SetPreferredAppMode")))) {
            setMode(1);
        }
    }
}

void ReleaseImages() {
    if (app.smallIcon) DestroyIcon(app.smallIcon);
    if (app.bigIcon) DestroyIcon(app.bigIcon);
    ReleaseToolbarImages();
}

// Ends what RunInstance started first: GDI+ and COM.
void StopServices(ULONG_PTR gdiplusToken, HRESULT com) {
    Gdiplus::GdiplusShutdown(gdiplusToken);
    if (SUCCEEDED(com)) CoUninitialize();
}

// The manifest declares per-monitor awareness; a system that does not read that declaration still
// gets the whole-screen kind, so that it never stretches the window's pixels.
void DeclareDpiAwareness() {
    if (!IsProcessDPIAware()) SetProcessDPIAware();
}

// The first size of the window: 1100 x 720 design pixels on the primary display, within its work
// area.
SIZE DefaultWindowSize() {
    const int dpi = WindowDpi(nullptr);
    RECT work{0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    return SIZE{std::min<LONG>(Scale(1100, dpi), std::max<LONG>(work.right - work.left, 1)),
                std::min<LONG>(Scale(720, dpi), std::max<LONG>(work.bottom - work.top, 1))};
}

int RunInstance(HINSTANCE instance, const std::vector<std::wstring>& startPaths) {
    DeclareDpiAwareness();
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);

    const std::wstring dir = ProgramDirectory();
    if (dir.empty() || !editor::LoadComponent(dir + L"SciLexer.dll")) {
        // Shown before the settings are read: in the system's interface language.
        MessageBoxW(nullptr,
                    MessageIn(InterfaceLanguageOfLangId(GetUserDefaultUILanguage()), MessageText::MissingComponent)
                        .c_str(),
                    L"Tessary", MB_OK | MB_ICONERROR);
        StopServices(gdiplusToken, com);
        return 1;
    }

    PrepareCommonControls();

    LoadSettings();
    LoadUiState();
    RegisterWindowClasses(instance);

    const SIZE size = DefaultWindowSize();
    CreateWindowExW(0, L"TessaryClass", L"Tessary", WS_POPUP | WS_VISIBLE | WS_CLIPCHILDREN, CW_USEDEFAULT,
                    CW_USEDEFAULT, size.cx, size.cy, nullptr, nullptr, instance, nullptr);
    if (!app.mainWindow) {
        StopServices(gdiplusToken, com);
        return 1;
    }
    ReloadToolbarImages();
    SetDarkFrame(app.mainWindow);
    DragAcceptFiles(app.mainWindow, TRUE);
    PublishInstanceWindow(app.mainWindow, ProgramDirectory());

    app.smallIcon = LoadAppIcon(instance, Px(16));
    app.bigIcon = LoadAppIcon(instance, Px(32));
    if (app.smallIcon) SendMessageW(app.mainWindow, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(app.smallIcon));
    if (app.bigIcon) SendMessageW(app.mainWindow, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(app.bigIcon));

    CreatePopups(instance);
    Layout();
    if (app.startMaximized) EnterMaximized();
    ShowWindow(app.mainWindow, SW_SHOW);
    UpdateWindow(app.mainWindow);
    StartRecovery();
    OfferRecovery();
    RestoreSession();
    NoteRecoveryChange();  // restored untitled text counts as unsaved from here on
    OpenPaths(startPaths);
    CommandLineReady();

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    // Every tab closed means the close sequence ran to its end: nothing is left to recover.
    EndRecovery(documents.empty());

    ReleaseImages();
    StopServices(gdiplusToken, com);
    return 0;
}

}  // namespace

int RunApplication(HINSTANCE instance) {
    // Libraries come from the program's folder and the system's, never from the current folder or
    // PATH, where a file the user downloaded could lie.
    SetDefaultDllDirectories(LOAD_LIBRARY_SEARCH_DEFAULT_DIRS);
    SetDllDirectoryW(L"");
    app.instance = instance;
    // Resolved against this process's current folder, before the running instance gets them.
    const std::vector<std::wstring> startPaths = CommandLineFullPaths();
    if (HandOffToRunningInstance(ProgramDirectory(), startPaths)) return 0;
    const int result = RunInstance(instance, startPaths);
    EndInstance();
    return result;
}
