// The program's entry point: start-up and the message loop live in application.cpp.
#include <windows.h>

#include "shell/application.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) { return RunApplication(instance); }
