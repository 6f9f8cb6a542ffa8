#pragma once
// Where Help > Documentation (F1) sends the browser: the manual's address, with the section that
// fits what the user was working in, and the browser's command line for it. Window-free.
#include <string>

// A "file:" address for a full path: "C:\a b\m.html" -> "file:///C:/a%20b/m.html", a network path
// "\\srv\share\m.html" -> "file://srv/share/m.html". Characters other than ASCII letters, digits and
// "-._~/:" are written as "%XX" bytes of their UTF-8 form. A `fragment` that is not empty follows
// after "#".
std::wstring FileAddress(const std::wstring& path, const std::wstring& fragment = std::wstring());

// The command line that opens `address` by a program's registered open command: every "%1" and
// "%L" (or "%l") becomes the address; a command without either gets the address appended in
// quotation marks.
std::wstring CommandLineFor(const std::wstring& openCommand, const std::wstring& address);
