// FormatMessage of GetLastError, in the core's UTF-16.
#include <windows.h>

#include "platform/win32/last_error.h"

std::u16string DescribeLastError(std::wstring_view where) {
  const DWORD error = GetLastError();
  wchar_t* text = nullptr;
  const DWORD length = FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring reason =
      length > 0 ? std::wstring(text, length) : L"error " + std::to_wstring(error);
  if (text) LocalFree(text);
  while (!reason.empty() && (reason.back() == L'\n' || reason.back() == L'\r' ||
                             reason.back() == L' ' || reason.back() == L'.')) {
    reason.pop_back();
  }
  const std::wstring whole = std::wstring(where) + L": " + reason;
  return std::u16string(reinterpret_cast<const char16_t*>(whole.data()), whole.size());
}
