#include "io/convert.h"

#include "app/app_state.h"
#include "app/editor.h"
#include "app/main_window.h"
#include "document/document.h"
#include "document/tabs.h"
#include "io/encoding.h"

int EncodingForCommand(int command) {
    switch (command) {
        case 150: return kEncUtf8;
        case 151: return kEncUtf8Bom;
        case 152: return kEncUtf16Le;
        case 153: return kEncUtf16Be;
        case 154: return kEncGbk;
        case 155: return kEncGb2312;
        case 156: return kEncAnsi;
        default: return -1;
    }
}

bool LineEndingForCommand(int command, int& eolMode, int& lineEnding) {
    switch (command) {
        case 131:
            eolMode = 0;
            lineEnding = kEolCrlf;
            return true;
        case 132:
            eolMode = 2;
            lineEnding = kEolLf;
            return true;
        case 133:
            eolMode = 1;
            lineEnding = kEolCr;
            return true;
        default: return false;
    }
}

int CommandForEncoding(int encoding) {
    for (int command = 150; command <= 156; ++command)
        if (EncodingForCommand(command) == encoding) return command;
    return 0;
}

int CommandForLineEnding(int lineEnding) {
    for (int command = 131; command <= 133; ++command) {
        int eolMode = 0, value = 0;
        if (LineEndingForCommand(command, eolMode, value) && value == lineEnding) return command;
    }
    return 0;
}

// The text is not converted: the new encoding applies at the next save.
void SetSaveEncoding(int encoding) {
    Document* doc = ActiveDocument();
    if (!doc || doc->hexMode || doc->encoding == encoding) return;
    doc->encoding = encoding;
    doc->modified = 1;
    RepaintArea(app.rects.statusBar);
    RepaintArea(app.rects.tabBar);
    UpdateWindowTitle();
}

void ConvertLineEndings(int eolMode, int lineEnding) {
    Document* doc = ActiveDocument();
    if (!doc || doc->hexMode) return;
    editor::Send(doc->editor, editor::kSetEolMode, static_cast<WPARAM>(eolMode));
    editor::Send(doc->editor, editor::kConvertEols, static_cast<WPARAM>(eolMode));
    doc->lineEnding = lineEnding;
    RepaintArea(app.rects.statusBar);
    UpdateWindowTitle();
}
