// combase's WinRT entry points, found at run time.
#include "platform/win32/location/winrt_runtime.h"

#include <cwchar>

namespace {

constexpr int kMultithreaded = 1;  // RO_INIT_MULTITHREADED

template <class Function>
Function Find(HMODULE module, const char* name) {
  return module ? reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)))
                : nullptr;
}

}  // namespace

WinRtRuntime::WinRtRuntime() {
  HMODULE combase = LoadLibraryW(L"combase.dll");
  initialize_ = Find<Initialize>(combase, "RoInitialize");
  activate_ = Find<ActivateInstance>(combase, "RoActivateInstance");
  factory_ = Find<ActivationFactory>(combase, "RoGetActivationFactory");
  create_ = Find<CreateString>(combase, "WindowsCreateString");
  destroy_ = Find<DeleteString>(combase, "WindowsDeleteString");
}

void WinRtRuntime::InitializeThread() const {
  if (initialize_) initialize_(kMultithreaded);
}

HRESULT WinRtRuntime::Activate(const wchar_t* className, IInspectable** instance) const {
  HSTRING name = nullptr;
  HRESULT result = create_(className, UINT32(std::wcslen(className)), &name);
  if (SUCCEEDED(result)) result = activate_(name, instance);
  destroy_(name);
  return result;
}

HRESULT WinRtRuntime::GetFactory(const wchar_t* className, REFIID iid, void** factory) const {
  HSTRING name = nullptr;
  HRESULT result = create_(className, UINT32(std::wcslen(className)), &name);
  if (SUCCEEDED(result)) result = factory_(name, iid, factory);
  destroy_(name);
  return result;
}

const WinRtRuntime& WinRt() {
  static const WinRtRuntime runtime;
  return runtime;
}
