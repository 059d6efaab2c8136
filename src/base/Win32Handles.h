// The kinds of Win32 handle that more than one part of the program owns,
// each as a UniqueHandle. Only Win32 code includes this; the portable code
// never sees windows.h.
#pragma once

#include "base/UniqueHandle.h"

#include <windows.h>

namespace flipset {

// A kernel file handle, as CreateFileA returns it (INVALID_HANDLE_VALUE when
// none).
struct FileHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return INVALID_HANDLE_VALUE; }
    static bool Close(Handle handle) { return CloseHandle(handle) != FALSE; }
};
using FileHandle = UniqueHandle<FileHandleTraits>;

// A kernel object handle that is null when none: a process, a thread, an
// access token.
struct KernelHandleTraits {
    using Handle = HANDLE;
    static Handle Invalid() { return nullptr; }
    static bool Close(Handle handle) { return CloseHandle(handle) != FALSE; }
};
using KernelHandle = UniqueHandle<KernelHandleTraits>;

// An SC_HANDLE, of the service control manager or of a service.
struct ServiceHandleTraits {
    using Handle = SC_HANDLE;
    static Handle Invalid() { return nullptr; }
    static bool Close(Handle handle) { return CloseServiceHandle(handle) != FALSE; }
};
using ScHandle = UniqueHandle<ServiceHandleTraits>;

// A GDI object: a region, a brush, ...
template <typename Object>
struct GdiObjectTraits {
    using Handle = Object;
    static Handle Invalid() { return nullptr; }
    static bool Close(Handle object) { return DeleteObject(object) != FALSE; }
};
using RegionHandle = UniqueHandle<GdiObjectTraits<HRGN>>;
using BrushHandle = UniqueHandle<GdiObjectTraits<HBRUSH>>;

}  // namespace flipset
