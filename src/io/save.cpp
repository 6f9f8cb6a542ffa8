#include "io/save.h"

#include <windows.h>
#include <commdlg.h>

#include "app/app_state.h"
#include "app/editor.h"
#include "document/document.h"
#include "document/tabs.h"
#include "document/tab_rules.h"

bool AtomicWriteBytes(const std::wstring& path, const void* data, size_t size) {
    const std::wstring temp = path + L".tessary-tmp";
    HANDLE file = CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    const auto* bytes = static_cast<const char*>(data);
    bool ok = true;
    while (ok && size > 0) {
        const DWORD chunk = size > (1u << 30) ? (1u << 30) : static_cast<DWORD>(size);
        DWORD written = 0;
        ok = WriteFile(file, bytes, chunk, &written, nullptr) && written == chunk;
        bytes += chunk;
        size -= chunk;
    }
    ok = ok && FlushFileBuffers(file);
    CloseHandle(file);
    if (ok) ok = MoveFileExW(temp.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH);
    if (!ok) DeleteFileW(temp.c_str());
    return ok;
}

namespace {

bool AskSavePath(std::wstring& path) {
    std::wstring buffer(32768, L'\0');
    OPENFILENAMEW ofn{};
    ofn.lStructSize = sizeof ofn;
    ofn.hwndOwner = app.mainWindow;
    ofn.lpstrFilter = L"All Files (*.*)\0*.*\0";
    ofn.lpstrFile = buffer.data();
    ofn.nMaxFile = static_cast<DWORD>(buffer.size());
    ofn.Flags = OFN_OVERWRITEPROMPT | OFN_PATHMUSTEXIST | OFN_EXPLORER;
    if (!GetSaveFileNameW(&ofn)) return false;
    path.assign(buffer.c_str());
    return !path.empty();
}

}  // namespace

// Saves the editor text as UTF-8; encodings other than UTF-8 arrive with the file layer.
void SaveDocument(int index, int saveAs) {
    if (index < 0 || index >= static_cast<int>(documents.size())) return;
    Document& doc = documents[static_cast<size_t>(index)];
    std::wstring target = doc.path;
    if (saveAs || target.empty()) {
        if (!AskSavePath(target)) return;
    }
    const std::string text = editor::GetText(doc.editor);
    if (!AtomicWriteBytes(target, text.data(), text.size())) {
        const std::wstring message = L"Cannot save " + target;
        MessageBoxW(app.mainWindow, message.c_str(), L"Tessary", MB_OK | MB_ICONERROR);
        return;
    }
    doc.path = target;
    doc.title = FileNameOf(target);
    editor::SetSavePoint(doc.editor);
    doc.modified = 0;
    UpdateWindowTitle();
    InvalidateRect(app.mainWindow, nullptr, FALSE);
}
