#include <string>
#include <vector>

#include "app/app_state.h"
#include "app/editor.h"
#include "app/main_window.h"
#include "document/document.h"
#include "document/tabs.h"
#include "io/encoding.h"
#include "project/sidebar.h"
#include "syntax/languages.h"
#include "tools/build_command.h"
#include "tools/tools.h"
#include "ui/strings.h"

namespace {

// The running build: the command interpreter's process, and the job that holds it and everything
// it starts, so that cancelling or quitting ends the whole tree and leaves no process behind that
// still writes the output file.
HANDLE buildProcess = nullptr;
HANDLE buildJob = nullptr;
bool buildCancelRequested = false;

void Notify(const std::wstring& text) {
    MessageBoxW(app.mainWindow, text.c_str(), L"Tessary", MB_OK | MB_ICONINFORMATION);
}

bool IsExistingFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

void EndBuildProcess() {
    if (buildJob) {
        TerminateJobObject(buildJob, 1);
        CloseHandle(buildJob);
    }
    if (buildProcess) CloseHandle(buildProcess);
    buildJob = buildProcess = nullptr;
}

// Starts `commandLine` inside a new job that ends everything in it when its handle closes.
bool StartBuildProcess(std::wstring commandLine, HANDLE output) {
    HANDLE job = CreateJobObjectW(nullptr, nullptr);
    if (!job) return false;
    JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
    limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
    SetInformationJobObject(job, JobObjectExtendedLimitInformation, &limits, sizeof limits);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW | CREATE_SUSPENDED,
                        nullptr, nullptr, &startup, &process)) {
        CloseHandle(job);
        return false;
    }
    if (!AssignProcessToJobObject(job, process.hProcess)) {
        TerminateProcess(process.hProcess, 1);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        CloseHandle(job);
        return false;
    }
    ResumeThread(process.hThread);
    CloseHandle(process.hThread);
    buildProcess = process.hProcess;
    buildJob = job;
    return true;
}

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
    }
}

std::wstring ReadOutput(const std::wstring& path, bool& cut) {
    cut = false;
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                              nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return {};
    LARGE_INTEGER size{};
    GetFileSizeEx(file, &size);
    cut = static_cast<uint64_t>(size.QuadPart) > kMaxBuildOutputBytes;
    std::vector<uint8_t> bytes(static_cast<size_t>(cut ? kMaxBuildOutputBytes : size.QuadPart));
    DWORD got = 0;
    if (!bytes.empty() && !ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &got, nullptr)) got = 0;
    CloseHandle(file);
    bytes.resize(got);
    if (cut) bytes.resize(OutputCutPoint(bytes.data(), bytes.size()));
    return DecodeBytes(bytes.data(), bytes.size(), nullptr, nullptr);
}

void ShowBuildOutput(std::wstring text) {
    CreateTab(L"", app.mainWindow);
    Document* doc = ActiveDocument();
    if (!doc) return;
    doc->title = L"Build Output";  // the same in every language
    doc->path.clear();
    doc->readOnlyView = 1;
    doc->language = 0;
    HWND ed = doc->editor;
    app.settingText = 1;
    editor::SetText(ed, WideToUtf8(text));
    editor::Send(ed, editor::kEmptyUndoBuffer);
    editor::SetSavePoint(ed);
    app.settingText = 0;
    editor::SetReadOnly(ed, true);
    ApplyLanguageStyles(ed, 0);
    editor::Send(ed, editor::kSetSel, 0, 0);
    UpdateWindowTitle();
    RepaintArea(app.rects.tabBar);
    ClampSidebarScroll();
    if (app.sidebarWindow) InvalidateRect(app.sidebarWindow, nullptr, TRUE);
}

}  // namespace

void RequestBuild() {
    if (app.mainWindow) PostMessageW(app.mainWindow, kRunBuildMessage, 0, 0);
}

void RunBuild() {
    const Document* doc = ActiveDocument();
    if (!doc || buildProcess) return;
    // Copies: the Document may be gone once the wait below has dispatched messages.
    const std::wstring source = doc->path;
    const int language = doc->language;
    doc = nullptr;
    if (source.empty() || !IsExistingFile(source)) return Notify(MessageFor(MessageText::BuildSaveFirst));
    const std::optional<std::wstring> commandLine = BuildCommandLine(language, source);
    if (!commandLine) return Notify(BuildTextFor(app.uiLanguage, BuildText::UnsafePath));

    const std::wstring outputPath = ProgramDirectory() + L"build_output.txt";
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    HANDLE output =
        CreateFileW(outputPath.c_str(), GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE) return Notify(BuildTextFor(app.uiLanguage, BuildText::NoOutputFile));

    buildCancelRequested = false;
    HWND mainWindow = app.mainWindow;
    if (StartBuildProcess(*commandLine, output)) {
        const WaitEnd end = WaitForBuild(mainWindow);
        EndBuildProcess();
        if (end == WaitEnd::Quit) {
            CloseHandle(output);
            PostQuitMessage(0);
            return;
        }
    }
    CloseHandle(output);

    bool cut = false;
    std::wstring text = ReadOutput(outputPath, cut);
    if (text.empty()) text = MessageFor(MessageText::BuildNoOutput);
    if (cut) text = std::wstring(BuildTextFor(app.uiLanguage, BuildText::OutputCut)) + L"\n" + text;
    if (buildCancelRequested) text = MessageFor(MessageText::BuildCancelled) + L"\n" + text;
    ShowBuildOutput(std::move(text));
    buildCancelRequested = false;
}

void CancelBuild() {
    buildCancelRequested = true;
    if (buildJob) TerminateJobObject(buildJob, 1);
}
