#pragma once
// Owners of what the platform interfaces hand out: each releases what it
// holds when it goes, so that no path (an early return, an error) can leak a
// socket, a key, the clipboard, the instance lock or the socket library.
#include <cstdint>
#include <functional>
#include <string>
#include <utility>

#include "platform/clipboard.h"
#include "platform/processes.h"
#include "platform/registry.h"
#include "platform/sockets.h"

namespace platform {

// A handle of `Service` that `Release` gives back; `kNone` means none held.
template <class Service, class Handle, void (Service::*Release)(Handle), Handle kNone>
class TUniqueHandle {
 public:
  TUniqueHandle() = default;
  TUniqueHandle(Service& service, Handle handle) : service_(&service), handle_(handle) {}
  ~TUniqueHandle() { Reset(); }
  TUniqueHandle(TUniqueHandle&& other) noexcept
      : service_(other.service_), handle_(std::exchange(other.handle_, kNone)) {}
  TUniqueHandle& operator=(TUniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset();
      service_ = other.service_;
      handle_ = std::exchange(other.handle_, kNone);
    }
    return *this;
  }
  TUniqueHandle(const TUniqueHandle&) = delete;
  TUniqueHandle& operator=(const TUniqueHandle&) = delete;

  Handle Get() const { return handle_; }
  explicit operator bool() const { return handle_ != kNone; }
  void Reset() {
    if (handle_ != kNone) (service_->*Release)(std::exchange(handle_, kNone));
  }

 private:
  Service* service_ = nullptr;
  Handle handle_ = kNone;
};

using TSocket = TUniqueHandle<ISockets, SocketHandle, &ISockets::Close, kNoSocket>;
using TStreamSocket = TUniqueHandle<IStreamServer, SocketHandle, &IStreamServer::Close, kNoSocket>;
using TRegistryKey = TUniqueHandle<IRegistry, RegistryKey, &IRegistry::CloseKey, RegistryKey{0}>;

// The socket library, started for as long as this lives.
class TSocketLibrary {
 public:
  explicit TSocketLibrary(ISockets& sockets) : sockets_(sockets), error_(sockets.Startup()) {}
  ~TSocketLibrary() {
    if (error_ == 0) sockets_.Cleanup();
  }
  TSocketLibrary(const TSocketLibrary&) = delete;
  TSocketLibrary& operator=(const TSocketLibrary&) = delete;
  // 0, or the system's error when the library could not be started.
  int Error() const { return error_; }

 private:
  ISockets& sockets_;
  int error_;
};

// The clipboard, open for as long as this lives (when it could be opened).
class TOpenClipboard {
 public:
  explicit TOpenClipboard(IClipboard& clipboard) : clipboard_(clipboard), open_(clipboard.Open()) {}
  ~TOpenClipboard() {
    if (open_) clipboard_.Close();
  }
  TOpenClipboard(const TOpenClipboard&) = delete;
  TOpenClipboard& operator=(const TOpenClipboard&) = delete;
  bool IsOpen() const { return open_; }

 private:
  IClipboard& clipboard_;
  bool open_;
};

// A named mutex, held until this goes.
class TNamedMutex {
 public:
  TNamedMutex(IProcesses& processes, const std::string& name, bool initial_owner)
      : processes_(processes), mutex_(processes.CreateNamedMutex(name, initial_owner)) {}
  ~TNamedMutex() {
    if (mutex_.handle != 0) processes_.ReleaseNamedMutex(mutex_.handle);
  }
  TNamedMutex(const TNamedMutex&) = delete;
  TNamedMutex& operator=(const TNamedMutex&) = delete;
  // The name was taken before: another holder exists.
  bool AlreadyExists() const { return mutex_.already_exists; }
  // Leaves the mutex held until the process ends, when the system releases
  // it: a marker that must outlive everything else of the program.
  void KeepUntilExit() { mutex_.handle = 0; }

 private:
  IProcesses& processes_;
  NamedMutex mutex_;
};

// A watch of the adapters' addresses: while it lives, `changed` runs (on a
// thread of the system's) after each change the system reports. Its
// destruction ends the watch and waits for a call that is running, so that
// whatever `changed` uses may be destroyed right after it.
class TAddressWatch {
 public:
  TAddressWatch() = default;
  TAddressWatch(ISockets& sockets, std::function<void()> changed)
      : sockets_(&sockets), token_(sockets.WatchAddressChanges(std::move(changed))) {}
  ~TAddressWatch() { Reset(); }
  TAddressWatch(TAddressWatch&& other) noexcept
      : sockets_(other.sockets_), token_(std::exchange(other.token_, kNoWatch)) {}
  TAddressWatch& operator=(TAddressWatch&& other) noexcept {
    if (this != &other) {
      Reset();
      sockets_ = other.sockets_;
      token_ = std::exchange(other.token_, kNoWatch);
    }
    return *this;
  }
  TAddressWatch(const TAddressWatch&) = delete;
  TAddressWatch& operator=(const TAddressWatch&) = delete;

  // False when the system cannot tell of changes.
  bool Watching() const { return token_ != kNoWatch; }
  void Reset() {
    if (token_ != kNoWatch) sockets_->UnwatchAddressChanges(std::exchange(token_, kNoWatch));
  }

 private:
  ISockets* sockets_ = nullptr;
  WatchToken token_ = kNoWatch;
};

}  // namespace platform
