#include "hostsdk/DelayedDestroy.h"

#include <utility>
#include <vector>

#include "hostsdk/HostModules.h"
#include "hostsdk/HostServices.h"

#ifdef _WIN32
#include <windows.h>
#endif

namespace hostsdk {

namespace {

struct PendingDestroy {
  std::function<void()> destroy;
};

// Called back by the message loop or the host: a failure must not travel
// into code that cannot handle it, and there is nobody left to tell.
void RunQuietly(const std::function<void()>& destroy) {
  try {
    destroy();
  } catch (...) {
  }
}

void STDMETHODCALLTYPE RunPending(void* argument) {
  const std::unique_ptr<PendingDestroy> pending(static_cast<PendingDestroy*>(argument));
  RunQuietly(pending->destroy);
}

// Objects with no way to be freed later. Freeing them now could pull them
// from under the caller that asked, which is still running on them, so they
// stay until the module unloads.
class KeptUntilUnload {
 public:
  static KeptUntilUnload& Instance() {
    static KeptUntilUnload kept;
    return kept;
  }
  void Keep(std::function<void()> destroy) { destroys_.push_back(std::move(destroy)); }
  ~KeptUntilUnload() {
    for (const auto& destroy : destroys_) RunQuietly(destroy);
  }

 private:
  std::vector<std::function<void()>> destroys_;
};

#ifdef _WIN32
constexpr UINT kDestroyMessage = 0xB021;
constexpr wchar_t kWindowClassName[] = L"Mxo2DelayedDestroyWindow";

LRESULT CALLBACK DestroyWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message != kDestroyMessage) return DefWindowProcW(window, message, wParam, lParam);
  RunPending(reinterpret_cast<void*>(lParam));
  DestroyWindow(window);
  return 0;
}

HINSTANCE ModuleInstance() {
  HMODULE module = nullptr;
  GetModuleHandleExW(
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
      reinterpret_cast<LPCWSTR>(&DestroyWindowProc), &module);
  return module;
}

// The window class lives as long as the module: a class left registered
// after unload would point a reloaded module's windows at freed code.
class DestroyWindowClass {
 public:
  static DestroyWindowClass& Instance() {
    static DestroyWindowClass windowClass;
    return windowClass;
  }
  bool Registered() const { return registered_; }
  HINSTANCE Module() const { return module_; }
  ~DestroyWindowClass() {
    if (registered_) UnregisterClassW(kWindowClassName, module_);
  }

 private:
  DestroyWindowClass() : module_(ModuleInstance()) {
    WNDCLASSEXW description{};
    description.cbSize = sizeof description;
    description.lpfnWndProc = &DestroyWindowProc;
    description.hInstance = module_;
    description.lpszClassName = kWindowClassName;
    registered_ = RegisterClassExW(&description) != 0 ||
                  GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
  }

  HINSTANCE module_ = nullptr;
  bool registered_ = false;
};

// True when the message is on its way; the window then owns `pending`.
bool PostToPrivateWindow(std::unique_ptr<PendingDestroy>& pending) {
  const DestroyWindowClass& windowClass = DestroyWindowClass::Instance();
  if (!windowClass.Registered()) return false;
  HWND window = CreateWindowExW(0, kWindowClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                windowClass.Module(), nullptr);
  if (!window) return false;
  if (!PostMessageW(window, kDestroyMessage, 0, reinterpret_cast<LPARAM>(pending.get()))) {
    DestroyWindow(window);
    return false;
  }
  pending.release();
  return true;
}
#endif

}  // namespace

void DelayedDestroyVia(PostCallbackFn post, std::function<void()> destroy) {
  if (!destroy) return;
  if (!post) {
    KeptUntilUnload::Instance().Keep(std::move(destroy));
    return;
  }
  auto pending = std::make_unique<PendingDestroy>(PendingDestroy{std::move(destroy)});
  post(&RunPending, pending.release());
}

void DelayedDestroy(std::function<void()> destroy) {
  if (!destroy) return;
#ifdef _WIN32
  auto pending = std::make_unique<PendingDestroy>(PendingDestroy{std::move(destroy)});
  if (PostToPrivateWindow(pending)) return;
  KeptUntilUnload::Instance().Keep(std::move(pending->destroy));
#else
  auto post = reinterpret_cast<PostCallbackFn>(FindHostExport("", kPostCallbackExport));
  DelayedDestroyVia(post, std::move(destroy));
#endif
}

}  // namespace hostsdk
