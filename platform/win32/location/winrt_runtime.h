// The Windows Runtime's activation calls, loaded from combase.dll at run time so that
// the programs still start where it is missing; and a reference holder for its objects.
#pragma once

#include <windows.h>

#include <inspectable.h>

template <class Interface>
class ComRef {
 public:
  ComRef() = default;
  ComRef(const ComRef&) = delete;
  ComRef& operator=(const ComRef&) = delete;
  ~ComRef() { Reset(); }
  Interface* operator->() const { return pointer_; }
  explicit operator bool() const { return pointer_ != nullptr; }
  Interface* Get() const { return pointer_; }
  Interface** Put() {
    Reset();
    return &pointer_;
  }
  void** PutVoid() { return reinterpret_cast<void**>(Put()); }
  void Reset() {
    if (pointer_) pointer_->Release();
    pointer_ = nullptr;
  }

 private:
  Interface* pointer_ = nullptr;
};

class WinRtRuntime {
 public:
  WinRtRuntime();
  bool Loaded() const { return activate_ && factory_ && create_ && destroy_ && initialize_; }
  // Joins the thread to the multithreaded apartment; again is harmless.
  void InitializeThread() const;
  // RoActivateInstance and RoGetActivationFactory by the class's name.
  HRESULT Activate(const wchar_t* className, IInspectable** instance) const;
  HRESULT GetFactory(const wchar_t* className, REFIID iid, void** factory) const;

 private:
  using Initialize = HRESULT(WINAPI*)(int);
  using ActivateInstance = HRESULT(WINAPI*)(HSTRING, IInspectable**);
  using ActivationFactory = HRESULT(WINAPI*)(HSTRING, REFIID, void**);
  using CreateString = HRESULT(WINAPI*)(const wchar_t*, UINT32, HSTRING*);
  using DeleteString = HRESULT(WINAPI*)(HSTRING);
  Initialize initialize_ = nullptr;
  ActivateInstance activate_ = nullptr;
  ActivationFactory factory_ = nullptr;
  CreateString create_ = nullptr;
  DeleteString destroy_ = nullptr;
};

// The process's one runtime, loaded on first use.
const WinRtRuntime& WinRt();
