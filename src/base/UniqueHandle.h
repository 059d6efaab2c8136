// The one owner of platform handles: it holds a handle, closes it when
// destroyed, and can be moved but not copied. What a handle is, which value
// means "none" and how it is closed come from the traits, so every kind of
// handle (files, service handles, GDI objects, the mixer, ...) shares this
// one owner while the platform headers stay with the code that uses them:
//
//   struct ServiceHandleTraits {
//       using Handle = SC_HANDLE;
//       static Handle Invalid() { return nullptr; }
//       static bool Close(Handle handle) { return CloseServiceHandle(handle) != FALSE; }
//   };
//   using ScHandle = UniqueHandle<ServiceHandleTraits>;
#pragma once

#include <utility>

namespace flipset {

template <typename Traits>
class UniqueHandle {
public:
    using Handle = typename Traits::Handle;

    UniqueHandle() noexcept = default;
    // Takes the handle at once, so that nothing between opening and owning
    // can leak it.
    explicit UniqueHandle(Handle handle) noexcept : handle_(handle) {}
    UniqueHandle(UniqueHandle&& other) noexcept : handle_(other.Release()) {}
    UniqueHandle& operator=(UniqueHandle&& other) noexcept
    {
        if (this != &other) {
            Close();
            handle_ = other.Release();
        }
        return *this;
    }
    UniqueHandle(const UniqueHandle&) = delete;
    UniqueHandle& operator=(const UniqueHandle&) = delete;
    ~UniqueHandle() { Close(); }

    bool IsValid() const { return handle_ != Traits::Invalid(); }
    explicit operator bool() const { return IsValid(); }
    Handle Get() const { return handle_; }

    // Closes the handle now. False only when closing reported a failure (for
    // a file, that what was written may not have reached it); true when no
    // handle was held.
    bool Close()
    {
        if (!IsValid())
            return true;
        return Traits::Close(std::exchange(handle_, Traits::Invalid()));
    }

    // Gives the handle up without closing it.
    Handle Release() { return std::exchange(handle_, Traits::Invalid()); }

    // For calls that return the handle through a pointer: closes what is
    // held and lets the call write the new handle in its place.
    Handle* Receive()
    {
        Close();
        return &handle_;
    }

private:
    Handle handle_ = Traits::Invalid();
};

}  // namespace flipset
