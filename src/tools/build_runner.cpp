#include <algorithm>
#include <string>
#include <vector>

#include "base/app_state.h"
#include "base/change_notice.h"
#include "base/editor.h"
#include "workflow/tab_actions.h"
#include "document/document.h"
#include "document/tabs.h"
#include "base/encoding.h"
#include "base/file_access.h"
#include "project/sidebar.h"
#include "syntax/languages.h"
#include "tools/build_command.h"
#include "tools/build_runner.h"
#include "base/strings.h"

namespace {

// The running build: the command interpreter's process, and the job that holds it and everything
// it starts, so that cancelling or quitting ends the whole tree and leaves no process behind that
// still writes the output file.
HANDLE buildProcess = nullptr;
HANDLE buildJob = nullptr;
bool buildCancelRequested = false;

// What the user sees of the last build: while it runs, the time it has taken in its output tab's
// name and text and in the status bar; once it has ended, its exit code in the status bar while its
// output tab is the active one.
struct BuildView {
    bool running = false;
    bool finished = false;
    uint64_t startMs = 0;
    uint64_t shownSeconds = 0;
    DWORD exitCode = 0;
    HWND outputEditor = nullptr;  // the output tab's editor (tabs move, windows stay)
};
BuildView view;

void Notify(const std::wstring& text) {
    MessageBoxW(app.mainWindow, text.c_str(), L"Tessary", MB_OK | MB_ICONINFORMATION);
}

bool IsExistingFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Lets go of the build. Cancelling and quitting end the whole tree; a build that ended by itself
// leaves alone whatever it started on purpose to outlive it (a server, a window).
void EndBuildProcess(bool endTree) {
    if (buildJob) {
        if (endTree) {
            TerminateJobObject(buildJob, 1);
        } else {
            JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
            SetInformationJobObject(buildJob, JobObjectExtendedLimitInformation, &limits, sizeof limits);
        }
        CloseHandle(buildJob);
    }
    if (buildProcess) CloseHandle(buildProcess);
    buildJob = buildProcess = nullptr;
}

std::wstring EnvironmentVariable(const wchar_t* name) {
    std::wstring value(256, L'\0');
    DWORD n = GetEnvironmentVariableW(name, value.data(), static_cast<DWORD>(value.size()));
    if (n > value.size()) {
        value.resize(n);
        n = GetEnvironmentVariableW(name, value.data(), n);
    }
    value.resize(n < value.size() ? n : 0);
    return value;
}

// The system's own command interpreter, never one found beside the program or in the current folder.
std::wstring CommandInterpreterPath() {
    wchar_t folder[MAX_PATH];
    const UINT n = GetSystemDirectoryW(folder, MAX_PATH);
    if (n == 0 || n >= MAX_PATH) return {};
    return std::wstring(folder, n) + L"\\cmd.exe";
}

std::wstring ChildEnvironment() {
    wchar_t* current = GetEnvironmentStringsW();
    std::wstring block = BuildEnvironment(current);
    if (current) FreeEnvironmentStringsW(current);
    return block;
}

// Starts `commandLine` with the system's command interpreter, in `folder`, inside a new job that ends
// everything in it when its handle closes. Returns 0, or the system's error code.
DWORD StartBuildProcess(std::wstring commandLine, const std::wstring& folder, HANDLE output) {
    const std::wstring interpreter = CommandInterpreterPath();
    if (interpreter.empty()) return GetLastError() ? GetLastError() : ERROR_FILE_NOT_FOUND;
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (!job) return GetLastError();
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = output;
    std::wstring environment = ChildEnvironment();
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(interpreter.c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                        CREATE_NO_WINDOW | CREATE_SUSPENDED | CREATE_UNICODE_ENVIRONMENT, environment.data(),
                        folder.empty() ? nullptr : folder.c_str(), &startup, &process)) {
        const DWORD error = GetLastError();
        CloseHandle(job);
        return error ? error : ERROR_GEN_FAILURE;
    }
    if (!AssignProcessToJobObject(job, process.hProcess)) {
        const DWORD error = GetLastError();
        TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        CloseHandle(job);
        return error ? error : ERROR_GEN_FAILURE;
    }
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    buildProcess = process.hProcess;
    buildJob = job;
    return 0;
}

void ShowBuildProgress();

enum class WaitEnd { Finished, Quit };

// Keeps the interface running while the build runs. Whatever the dispatched messages do (close
// tabs, start another command) must not need anything this function holds but the handles.
WaitEnd WaitForBuild(HWND mainWindow) {
    while (true) {
        MsgWaitForMultipleObjects(1, &buildProcess, FALSE, 100, QS_ALLINPUT);
        if (WaitForSingleObject(buildProcess, 0) == WAIT_OBJECT_0) return WaitEnd::Finished;
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) return WaitEnd::Quit;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        if (!IsWindow(mainWindow)) return WaitEnd::Quit;
        if (buildCancelRequested) return WaitEnd::Finished;
        ShowBuildProgress();
    }
}

// The output as the build left it, read through the handle it was written through: another
// instance cannot have truncated or replaced it in between.
std::wstring ReadOutput(HANDLE file, bool& cut) {
    cut = false;
    LARGE_INTEGER size{};
    LARGE_INTEGER start{};
    if (!GetFileSizeEx(file, &size) || !SetFilePointerEx(file, start, nullptr, FILE_BEGIN)) return {};
    cut = static_cast<uint64_t>(size.QuadPart) > kMaxBuildOutputBytes;
    std::vector<uint8_t> bytes(static_cast<size_t>(cut ? kMaxBuildOutputBytes : size.QuadPart));
    DWORD got = 0;
    if (!bytes.empty() && !ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) got = 0;
    bytes.resize(got);
    if (cut) bytes.resize(OutputCutPoint(bytes.data(), bytes.size()));
    return DecodeBytes(bytes.data(), bytes.size(), nullptr, nullptr);
}

// The output file, open for the build's child processes to inherit, shared for reading only. When
// another instance's build holds build_output.txt, this instance writes beside it under a name
// of its own (`own` set: removed after reading).
HANDLE CreateOutputFile(std::wstring& path, bool& own) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    path = ProgramDirectory() + L"build_output.txt";
    own = false;
    HANDLE output = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output != INVALID_HANDLE_VALUE || GetLastError() != ERROR_SHARING_VIOLATION) return output;
    path = ProgramDirectory() + L"build_output-" + std::to_wstring(GetCurrentProcessId()) + L".txt";
    own = true;
    return CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, &inherit, CREATE_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

// The output tab of this build, or null when the user closed it.
Document* OutputTab() {
    if (!view.outputEditor) return nullptr;
    for (Document& doc : documents)
        if (doc.editor == view.outputEditor) return &doc;
    return nullptr;
}

// Puts `text` into the build's output tab, titled `title`, making the tab (active) when it is not
// there.
void ShowBuildOutput(std::wstring text, const std::wstring& title = L"Build Output") {
    Document* doc = OutputTab();
    if (!doc) {
        CreateTab(L"", app.mainWindow);
        doc = ActiveDocument();
        if (!doc) return;
        view.outputEditor = doc->editor;
    }
    doc->title = title;  // "Build Output" is the same in every language
    doc->path.clear();
    doc->readOnlyView = 1;
    doc->language = 0;
    HWND ed = doc->editor;
    editor::SetReadOnly(ed, false);
    {
        SettingText setting;
        editor::SetText(ed, WideToUtf8(text));
        editor::Send(ed, editor::kEmptyUndoBuffer);
        editor::SetSavePoint(ed);
    }
    editor::SetReadOnly(ed, true);
    ApplyLanguageStyles(ed, 0);
    editor::Send(ed, editor::kSetSel, 0, 0);
    NoteChange(kChangeTitle | kChangeTabBar | kChangeStatusBar);
}

// Once a second while the build runs: the time it has taken, in its tab and the status bar.
void ShowBuildProgress() {
    const uint64_t elapsed = GetTickCount64() - view.startMs;
    if (elapsed / 1000 == view.shownSeconds) return;
    view.shownSeconds = elapsed / 1000;
    const std::wstring running = BuildTextWith(app.uiLanguage, BuildText::Building, ElapsedText(elapsed));
    if (Document* doc = OutputTab()) {
        doc->title = running;
        editor::SetReadOnly(doc->editor, false);
        {
            SettingText setting;
            editor::SetText(doc->editor, WideToUtf8(running));
            editor::Send(doc->editor, editor::kEmptyUndoBuffer);
            editor::SetSavePoint(doc->editor);
        }
        editor::SetReadOnly(doc->editor, true);
        NoteChange(kChangeTitle | kChangeTabBar);
    }
    NoteChange(kChangeStatusBarNow);
}

// The question before building a tab with unsaved changes, its buttons named for what they do.
HHOOK questionHook = nullptr;

void LabelButton(HWND box, int id, const std::wstring& label, bool growLeft) {
    HWND button = GetDlgItem(box, id);
    if (!button) return;
    SetWindowTextW(button, label.c_str());
    if (!growLeft) return;
    HDC dc = GetDC(button);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(button, WM_GETFONT, 0, 0)));
    SIZE size{};
    GetTextExtentPoint32W(dc, label.c_str(), static_cast<int>(label.size()), &size);
    SelectObject(dc, old);
    ReleaseDC(button, dc);
    RECT r{};
    GetWindowRect(button, &r);
    MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&r), 2);
    const int wanted = size.cx + Px(24);
    if (wanted > r.right - r.left) {
        const int left = std::max<LONG>(Px(8), r.right - wanted);
        MoveWindow(button, left, r.top, r.right - left, r.bottom - r.top, TRUE);
    }
}

LRESULT CALLBACK LabelQuestionButtons(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND box = reinterpret_cast<HWND>(wParam);
        LabelButton(box, IDOK, BuildTextFor(app.uiLanguage, BuildText::SaveAndBuildButton), true);
        LabelButton(box, IDCANCEL, LocalizedText(StringTable::SettingsDialog, 4), false);
        UnhookWindowsHookEx(questionHook);
        questionHook = nullptr;
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// "Save and build?" for the tab titled `title`: true for "Save and build".
bool AskSaveAndBuild(const std::wstring& title) {
    const std::wstring text = title + L"\n\n" + BuildTextFor(app.uiLanguage, BuildText::SaveAndBuildQuestion);
    questionHook = SetWindowsHookExW(WH_CBT, LabelQuestionButtons, nullptr, GetCurrentThreadId());
    const int answer = MessageBoxW(app.mainWindow, text.c_str(), L"Tessary", MB_OKCANCEL | MB_ICONQUESTION);
    if (questionHook) {
        UnhookWindowsHookEx(questionHook);
        questionHook = nullptr;
    }
    return answer == IDOK;
}

}  // namespace

void RequestBuild() {
    if (app.mainWindow) PostMessageW(app.mainWindow, kRunBuildMessage, 0, 0);
}

void RunBuild() {
    const Document* doc = ActiveDocument();
    if (!doc || buildProcess) return;
    // The file is built as it is on disk: unsaved changes are saved first, when the user agrees.
    if (doc->modified && !doc->path.empty() && !doc->readOnlyView) {
        if (!AskSaveAndBuild(doc->title)) return;
        SaveDocument(app.activeTab, false);
        doc = ActiveDocument();
        if (!doc || doc->modified || buildProcess) return;  // not saved: nothing is built
    }
    view = BuildView{};  // this build's output goes to a tab of its own
    // Copies: the Document may be gone once the wait below has dispatched messages.
    const std::wstring source = doc->path;
    const int language = doc->language;
    doc = nullptr;
    if (source.empty() || !IsExistingFile(source)) return Notify(MessageFor(MessageText::BuildSaveFirst));
    if (!IsBuildablePath(source)) return Notify(BuildTextFor(app.uiLanguage, BuildText::UnsafePath));
    // The compiler or interpreter is looked up here, in PATH's own folders, and handed over by its
    // full path: the command interpreter would look in the current folder first.
    std::wstring tool;
    if (const std::optional<std::wstring> name = BuildToolName(language)) {
        const std::optional<std::wstring> found =
            FindOnPath(*name, EnvironmentVariable(L"PATH"), EnvironmentVariable(L"PATHEXT"), IsExistingFile);
        if (!found) return ShowBuildOutput(BuildTextWith(app.uiLanguage, BuildText::ToolNotFound, *name));
        tool = *found;
    }
    const std::optional<std::wstring> commandLine = BuildCommandLine(language, source, tool);
    if (!commandLine) return Notify(BuildTextFor(app.uiLanguage, BuildText::UnsafePath));

    std::wstring outputPath;
    bool ownOutput = false;
    HANDLE output = CreateOutputFile(outputPath, ownOutput);
    if (output == INVALID_HANDLE_VALUE) return Notify(BuildTextFor(app.uiLanguage, BuildText::NoOutputFile));

    buildCancelRequested = false;
    HWND mainWindow = app.mainWindow;
    if (const DWORD error = StartBuildProcess(*commandLine, SourceFolder(source), output)) {
        CloseHandle(output);
        if (ownOutput) DeleteFileW(outputPath.c_str());
        const std::wstring text =
            std::wstring(BuildTextFor(app.uiLanguage, BuildText::NotStarted)) + L" " + SystemErrorText(error);
        MessageBoxW(app.mainWindow, text.c_str(), L"Tessary", MB_OK | MB_ICONERROR);
        ShowBuildOutput(text);
        return;
    }
    view.running = true;
    view.startMs = GetTickCount64();
    const std::wstring starting = BuildTextWith(app.uiLanguage, BuildText::Building, ElapsedText(0));
    ShowBuildOutput(starting, starting);
    const WaitEnd end = WaitForBuild(mainWindow);
    DWORD exitCode = 0;
    if (!buildCancelRequested && !GetExitCodeProcess(buildProcess, &exitCode)) exitCode = 0;
    EndBuildProcess(end == WaitEnd::Quit || buildCancelRequested);
    view.running = false;
    view.finished = true;
    view.exitCode = buildCancelRequested ? 1 : exitCode;
    if (end == WaitEnd::Quit) {
        CloseHandle(output);
        if (ownOutput) DeleteFileW(outputPath.c_str());
        PostQuitMessage(0);
        return;
    }
    bool cut = false;
    std::wstring text = ReadOutput(output, cut);
    CloseHandle(output);
    if (ownOutput) DeleteFileW(outputPath.c_str());
    if (text.empty()) text = MessageFor(MessageText::BuildNoOutput);
    if (cut) text = std::wstring(BuildTextFor(app.uiLanguage, BuildText::OutputCut)) + L"\n" + text;
    if (buildCancelRequested) text = MessageFor(MessageText::BuildCancelled) + L"\n" + text;
    if (exitCode != 0) {
        if (text.back() != L'\n') text += L"\r\n";
        text += BuildTextWith(app.uiLanguage, BuildText::ExitCode, ExitCodeText(exitCode));
    }
    ShowBuildOutput(std::move(text));
    buildCancelRequested = false;
}

std::wstring BuildStatusText(HWND activeEditor) {
    if (view.running)
        return BuildTextWith(app.uiLanguage, BuildText::Building, ElapsedText(GetTickCount64() - view.startMs));
    if (view.finished && activeEditor && activeEditor == view.outputEditor)
        return BuildTextWith(app.uiLanguage, BuildText::Finished, ExitCodeText(view.exitCode));
    return L"";
}

void CancelBuild() {
    buildCancelRequested = true;
    if (buildJob) TerminateJobObject(buildJob, 1);
}
