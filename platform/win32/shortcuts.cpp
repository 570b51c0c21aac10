// Start-menu shortcuts on desktop Windows: real shell links in CSIDL_PROGRAMS, since
// Explorer cannot start the handheld's one-line shortcut files.
#include <windows.h>
// After windows.h, which they need.
#include <objidl.h>
#include <shlobj.h>
#include <shobjidl.h>

#include "platform/shortcuts.h"

#include <string>

#include "platform/win32/wide_text.h"

namespace {

// COM for this thread for as long as one shortcut is being written.
class ComScope {
 public:
  ComScope() : result_(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED)) {}
  ~ComScope() {
    if (SUCCEEDED(result_)) CoUninitialize();
  }
  ComScope(const ComScope&) = delete;
  ComScope& operator=(const ComScope&) = delete;
  // Already initialised in another mode is as good for a shell link.
  bool Ready() const { return SUCCEEDED(result_) || result_ == RPC_E_CHANGED_MODE; }

 private:
  HRESULT result_;
};

template <typename Interface>
struct Released {
  Interface* pointer = nullptr;
  ~Released() {
    if (pointer) pointer->Release();
  }
};

std::wstring DirectoryOf(const std::wstring& path) {
  const size_t last = path.find_last_of(L"\\/");
  return last == std::wstring::npos ? std::wstring() : path.substr(0, last);
}

bool SaveLink(const wchar_t* path, const wchar_t* target, const wchar_t* arguments) {
  Released<IShellLinkW> link;
  if (FAILED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                              reinterpret_cast<void**>(&link.pointer)))) {
    return false;
  }
  // Quarvel finds settings.ini beside itself, so its folder is the natural start.
  const std::wstring directory = DirectoryOf(target);
  if (FAILED(link.pointer->SetPath(target)) || FAILED(link.pointer->SetArguments(arguments)) ||
      FAILED(link.pointer->SetWorkingDirectory(directory.c_str()))) {
    return false;
  }
  Released<IPersistFile> file;
  if (FAILED(link.pointer->QueryInterface(IID_IPersistFile,
                                          reinterpret_cast<void**>(&file.pointer)))) {
    return false;
  }
  return SUCCEEDED(file.pointer->Save(path, TRUE));
}

}  // namespace

bool GetProgramsFolder(char16_t* folder, std::size_t capacity) {
  if (capacity == 0) return false;
  folder[0] = 0;
  wchar_t found[MAX_PATH] = {};
  if (!SHGetSpecialFolderPathW(nullptr, found, CSIDL_PROGRAMS, FALSE)) return false;
  const std::wstring text = found;
  if (text.empty() || text.size() >= capacity) return false;
  text.copy(AsWide(folder), text.size());
  folder[text.size()] = 0;
  return true;
}

const char16_t* LocatorProgramFileName() { return u"Quarvel.exe"; }

bool ShortcutCompanionExists(const char16_t*) { return false; }  // a link is one file

bool WriteShortcut(const char16_t* path, const char16_t* target, const char16_t* arguments) {
  ComScope com;
  if (!com.Ready()) return false;
  // Written beside the shortcut first, so that a failure leaves an older one whole.
  const std::wstring finalPath = AsWide(path);
  const std::wstring scratch = finalPath + L".new";
  if (!SaveLink(scratch.c_str(), AsWide(target), AsWide(arguments))) {
    DeleteFileW(scratch.c_str());
    return false;
  }
  if (!MoveFileExW(scratch.c_str(), finalPath.c_str(), MOVEFILE_REPLACE_EXISTING)) {
    DeleteFileW(scratch.c_str());
    return false;
  }
  return true;
}
