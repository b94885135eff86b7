// The owner of a file or device handle opened with CreateFileA, whose "no handle" is
// INVALID_HANDLE_VALUE (the program's own ports have PortHandle, which closes through the seam).
#pragma once

#include <windows.h>

#include "toolkit/Handle.h"

inline HANDLE InvalidHandleValue() { return INVALID_HANDLE_VALUE; }

using FileHandle = UniqueHandle<InvalidHandleValue>;
