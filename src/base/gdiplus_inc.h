#pragma once
// GDI+ headers expect min/max to exist; the program builds with NOMINMAX.
#include <windows.h>
#include <objidl.h>
#include <algorithm>
namespace Gdiplus {
using std::max;
using std::min;
}  // namespace Gdiplus
#include <gdiplus.h>
