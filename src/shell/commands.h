#pragma once
// Every menu item, toolbar button, palette entry and key combination ends here. Unknown ids and
// ids whose precondition fails do nothing.
void ExecuteCommand(int id);
// Zoom by `delta` steps, clamped to -20..40, for every editor; the new zoom is saved.
void ChangeZoom(int delta);
// Opens the user manual that ships beside the executable in the default browser: at the section
// about the search panel while it holds the focus, about the hex view in a hex tab, else at its top.
void OpenDocumentation();
