#include "syntax/themes.h"

#include "base/app_state.h"
#include "document/document.h"
#include "document/tabs.h"
#include "syntax/languages.h"
#include "syntax/palette.h"

void ApplyThemeAndScheme() {
    palette = PaletteFor(app.theme, app.colorScheme);
    if (app.inputBrush) {
        DeleteObject(app.inputBrush);
        app.inputBrush = CreateSolidBrush(palette.inputColor);
    }
    // The panel with its buttons, boxes and results list.
    if (app.searchPanelWindow)
        RedrawWindow(app.searchPanelWindow, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    // Hex-mode tabs too: their hidden editors must be right when the tab returns to text.
    for (Document& doc : documents) {
        ConfigureEditor(doc.editor);
        ApplyLanguageStyles(doc.editor, doc.language);
    }
    if (app.mainWindow) InvalidateRect(app.mainWindow, nullptr, FALSE);
    if (app.sidebarWindow) InvalidateRect(app.sidebarWindow, nullptr, FALSE);
}
