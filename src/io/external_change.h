#pragma once
// Files changed on disk by another program, noticed when a tab or the window is activated.
#include <string>

struct Document;

// Asks to reload the tab at `index` when its file's time or size differ from those recorded.
void CheckExternalChange(int index);
// The reload command: guards unsaved changes first.
void ReloadDocument(int index);
// Maps (or, for a small file that cannot be mapped, reads) a hex tab's file again with fresh
// history, the caret kept within the new bytes and the encoding and line ending detected anew. On
// failure the tab keeps its bytes and `error` says why.
bool ReloadHexBytes(Document& doc, std::wstring& error);
