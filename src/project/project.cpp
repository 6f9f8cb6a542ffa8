#include "project/project.h"

#include <windows.h>

#include "base/app_state.h"
#include "workflow/tab_actions.h"
#include "document/document.h"
#include "base/encoding.h"
#include "base/file_access.h"
#include "document/tabs.h"
#include "io/open.h"
#include "io/path_identity.h"
#include "io/save.h"
#include "persist/persist.h"
#include "project/file_actions.h"
#include "project/project_file.h"
#include "project/sidebar.h"
#include "base/strings.h"

void OpenProjectPath(const std::wstring& path) {
    if (IsProjectPath(path)) {
        LoadProject(path);
        return;
    }
    const std::wstring folder = FolderOf(path);
    if (!folder.empty()) ShowFolderCollapsed(folder);
}

void LoadProject(const std::wstring& path) {
    const ProjectContents project = ReadProject(ReadProjectFile(path));
    if (!project.hasFolder) return;
    // Paths written relative to the project file (by hand, say) are taken from the project file's
    // folder, never from wherever the process happens to stand.
    const std::wstring base = FolderOf(TabPathOf(path));
    // Only the root is expanded: nothing below it is read until the user opens it.
    ShowFolderExpanded(project.folder.empty() ? project.folder : FullPathAgainst(project.folder, base));
    const RecentFilesBatch oneWrite;
    const TabBatch together;
    for (const std::wstring& file : project.files) OpenPath(FullPathAgainst(file, base));
}

void SaveProjectCommand() {
    const std::wstring path = SaveFileDialog(L"project.tessary");
    if (!path.empty()) SaveProject(path);
}

void SaveProject(const std::wstring& path) {
    std::vector<std::wstring> files;
    for (const Document& doc : documents)
        if (!doc.path.empty()) files.push_back(doc.path);
    // A tab showing this very file is not touched: the external-change check offers the new text
    // when the tab is next activated.
    if (!WriteTextFileAtomic(path, FormatProject(app.folderRoot, files), kEncUtf8Bom)) return;
    MessageBoxW(app.mainWindow, MessageFor(MessageText::ProjectSaved).c_str(), L"Tessary", MB_OK | MB_ICONINFORMATION);
}
