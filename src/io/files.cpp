#include "io/files.h"

// Files are not read yet: nothing on disk can have changed under a tab.
void CheckExternalChange(int) {}

void OpenDroppedFiles(HDROP drop) { DragFinish(drop); }
