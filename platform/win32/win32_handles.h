#pragma once
// Owners for the system's handles: each closes its handle, with the call
// that belongs to it, when it goes out of scope, and can be moved but not
// copied. `release()` hands the handle on to whoever takes it over (the
// clipboard, the process's lifetime).
#include <windows.h>
#include <objbase.h>

#include <utility>

namespace platform::win32 {

template <typename Traits>
class UniqueResource {
 public:
  using Type = typename Traits::Type;

  UniqueResource() = default;
  explicit UniqueResource(Type handle) : handle_(handle) {}
  ~UniqueResource() { reset(); }
  UniqueResource(UniqueResource&& other) noexcept : handle_(other.release()) {}
  UniqueResource& operator=(UniqueResource&& other) noexcept {
    if (this != &other) reset(other.release());
    return *this;
  }
  UniqueResource(const UniqueResource&) = delete;
  UniqueResource& operator=(const UniqueResource&) = delete;

  Type get() const { return handle_; }
  explicit operator bool() const { return Traits::Valid(handle_); }
  Type release() { return std::exchange(handle_, Traits::Empty()); }
  void reset(Type handle = Traits::Empty()) {
    if (Traits::Valid(handle_)) Traits::Close(handle_);
    handle_ = handle;
  }
  // For calls that write the handle through a pointer.
  Type* put() {
    reset();
    return &handle_;
  }

 private:
  Type handle_ = Traits::Empty();
};

struct KernelHandleTraits {
  using Type = HANDLE;
  static Type Empty() { return nullptr; }
  // Some calls fail with INVALID_HANDLE_VALUE, others with NULL.
  static bool Valid(Type h) { return h != nullptr && h != INVALID_HANDLE_VALUE; }
  static void Close(Type h) { CloseHandle(h); }
};
struct RegistryKeyTraits {
  using Type = HKEY;
  static Type Empty() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Close(Type h) { RegCloseKey(h); }
};
struct MenuTraits {
  using Type = HMENU;
  static Type Empty() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Close(Type h) { DestroyMenu(h); }
};
template <typename Object>
struct GdiObjectTraits {
  using Type = Object;
  static Type Empty() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Close(Type h) { DeleteObject(h); }
};
struct MemoryDcTraits {
  using Type = HDC;
  static Type Empty() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Close(Type h) { DeleteDC(h); }
};
struct WindowTraits {
  using Type = HWND;
  static Type Empty() { return nullptr; }
  // A window the system already destroyed (its owner thread ended) is not destroyed again.
  static bool Valid(Type h) { return h != nullptr && IsWindow(h); }
  static void Close(Type h) { DestroyWindow(h); }
};
struct HookTraits {
  using Type = HHOOK;
  static Type Empty() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Close(Type h) { UnhookWindowsHookEx(h); }
};
struct GlobalMemoryTraits {
  using Type = HGLOBAL;
  static Type Empty() { return nullptr; }
  static bool Valid(Type h) { return h != nullptr; }
  static void Close(Type h) { GlobalFree(h); }
};

using UniqueHandle = UniqueResource<KernelHandleTraits>;
using UniqueRegistryKey = UniqueResource<RegistryKeyTraits>;
using UniqueMenu = UniqueResource<MenuTraits>;
using UniqueBitmap = UniqueResource<GdiObjectTraits<HBITMAP>>;
using UniqueMemoryDc = UniqueResource<MemoryDcTraits>;
using UniqueWindow = UniqueResource<WindowTraits>;
using UniqueHook = UniqueResource<HookTraits>;
using UniqueGlobal = UniqueResource<GlobalMemoryTraits>;

// A window's (or the screen's) device context, taken with GetDC.
class WindowDc {
 public:
  explicit WindowDc(HWND window) : window_(window), dc_(GetDC(window)) {}
  ~WindowDc() {
    if (dc_ != nullptr) ReleaseDC(window_, dc_);
  }
  WindowDc(const WindowDc&) = delete;
  WindowDc& operator=(const WindowDc&) = delete;
  HDC get() const { return dc_; }
  explicit operator bool() const { return dc_ != nullptr; }

 private:
  HWND window_;
  HDC dc_;
};

// A registered window class, unregistered with its owner. A class that is
// already registered (a second owner in the same module) counts as registered
// but is left to its first owner.
class WindowClass {
 public:
  explicit WindowClass(const WNDCLASSA& window_class)
      : name_(window_class.lpszClassName), instance_(window_class.hInstance) {
    owned_ = RegisterClassA(&window_class) != 0;
    registered_ = owned_ || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }
  ~WindowClass() {
    if (owned_) UnregisterClassA(name_, instance_);
  }
  WindowClass(const WindowClass&) = delete;
  WindowClass& operator=(const WindowClass&) = delete;
  bool Registered() const { return registered_; }

 private:
  const char* name_;
  HINSTANCE instance_;
  bool owned_ = false;
  bool registered_ = false;
};

// A COM interface pointer, released with its owner.
template <typename Interface>
class ComPtr {
 public:
  ComPtr() = default;
  ~ComPtr() { reset(); }
  ComPtr(ComPtr&& other) noexcept : pointer_(std::exchange(other.pointer_, nullptr)) {}
  ComPtr& operator=(ComPtr&& other) noexcept {
    if (this != &other) {
      reset();
      pointer_ = std::exchange(other.pointer_, nullptr);
    }
    return *this;
  }
  ComPtr(const ComPtr&) = delete;
  ComPtr& operator=(const ComPtr&) = delete;

  Interface* get() const { return pointer_; }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  void reset() {
    if (pointer_ != nullptr) std::exchange(pointer_, nullptr)->Release();
  }
  // For CoCreateInstance and QueryInterface.
  void** put_void() {
    reset();
    return reinterpret_cast<void**>(&pointer_);
  }

 private:
  Interface* pointer_ = nullptr;
};

// COM on this thread for the owner's lifetime, when it could be started.
class ComInitialization {
 public:
  ComInitialization() : started_(SUCCEEDED(CoInitialize(nullptr))) {}
  ~ComInitialization() {
    if (started_) CoUninitialize();
  }
  ComInitialization(const ComInitialization&) = delete;
  ComInitialization& operator=(const ComInitialization&) = delete;
  bool Started() const { return started_; }

 private:
  bool started_;
};

}  // namespace platform::win32
