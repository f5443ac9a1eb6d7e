#pragma once
// Owning wrappers for Windows handles: one move-only template, and a traits
// type per kind of handle that says what "empty" is and how to close it.

#include <windows.h>

#include <utility>

namespace vetra {

template <typename Traits>
class unique_handle {
public:
    using pointer = typename Traits::pointer;

    unique_handle() noexcept = default;
    explicit unique_handle(pointer handle) noexcept : handle_(handle) {}
    ~unique_handle() { reset(); }

    unique_handle(unique_handle&& other) noexcept : handle_(other.release()) {}
    unique_handle& operator=(unique_handle&& other) noexcept
    {
        if (this != &other)
            reset(other.release());
        return *this;
    }
    unique_handle(const unique_handle&) = delete;
    unique_handle& operator=(const unique_handle&) = delete;

    pointer get() const noexcept { return handle_; }
    bool valid() const noexcept { return handle_ != Traits::empty(); }
    explicit operator bool() const noexcept { return valid(); }

    // Gives up ownership without closing.
    pointer release() noexcept { return std::exchange(handle_, Traits::empty()); }

    // Closes the held handle (if any) and takes the new one. The caller's
    // last-error value survives the close.
    void reset(pointer handle = Traits::empty()) noexcept
    {
        if (handle_ != Traits::empty()) {
            const DWORD lastError = ::GetLastError();
            Traits::close(handle_);
            ::SetLastError(lastError);
        }
        handle_ = handle;
    }

    // For APIs that write a handle through a pointer: closes what is held and
    // returns the empty slot.
    pointer* put() noexcept
    {
        reset();
        return &handle_;
    }

private:
    pointer handle_ = Traits::empty();
};

struct file_handle_traits {  // CreateFile: INVALID_HANDLE_VALUE when empty
    using pointer = HANDLE;
    static pointer empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(pointer h) noexcept { ::CloseHandle(h); }
};

struct kernel_handle_traits {  // mappings, processes, threads: null when empty
    using pointer = HANDLE;
    static pointer empty() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::CloseHandle(h); }
};

struct find_handle_traits {
    using pointer = HANDLE;
    static pointer empty() noexcept { return INVALID_HANDLE_VALUE; }
    static void close(pointer h) noexcept { ::FindClose(h); }
};

struct view_traits {
    using pointer = void*;
    static pointer empty() noexcept { return nullptr; }
    static void close(pointer view) noexcept { ::UnmapViewOfFile(view); }
};

struct registry_key_traits {
    using pointer = HKEY;
    static pointer empty() noexcept { return nullptr; }
    static void close(pointer key) noexcept { ::RegCloseKey(key); }
};

struct service_handle_traits {
    using pointer = SC_HANDLE;
    static pointer empty() noexcept { return nullptr; }
    static void close(pointer h) noexcept { ::CloseServiceHandle(h); }
};

struct module_traits {  // LoadLibrary
    using pointer = HMODULE;
    static pointer empty() noexcept { return nullptr; }
    static void close(pointer module) noexcept { ::FreeLibrary(module); }
};

struct local_memory_traits {  // LocalAlloc, and buffers the system allocates for its caller
    using pointer = HLOCAL;
    static pointer empty() noexcept { return nullptr; }
    static void close(pointer memory) noexcept { ::LocalFree(memory); }
};

using unique_file = unique_handle<file_handle_traits>;
using unique_mapping = unique_handle<kernel_handle_traits>;
using unique_process = unique_handle<kernel_handle_traits>;
using unique_kernel_handle = unique_handle<kernel_handle_traits>;
using unique_find = unique_handle<find_handle_traits>;
using unique_view = unique_handle<view_traits>;
using unique_reg_key = unique_handle<registry_key_traits>;
using unique_service = unique_handle<service_handle_traits>;
using unique_module = unique_handle<module_traits>;
using unique_local_memory = unique_handle<local_memory_traits>;

}  // namespace vetra
