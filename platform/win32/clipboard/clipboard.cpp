// The Windows clipboard: one CF_UNICODETEXT block, owned by the system once set.
#include <windows.h>

#include "platform/clipboard.h"

#include <cstring>

#include "platform/win32/last_error.h"

namespace {

// A block exactly as large as the text: Wine hands the whole allocation to X11
// programs, so any byte after the terminator would reach them.
HGLOBAL CopyToBlock(std::u16string_view text) {
  const SIZE_T bytes = (text.size() + 1) * sizeof(char16_t);
  HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, bytes);
  if (!block) return nullptr;
  void* memory = GlobalLock(block);
  if (!memory) {
    GlobalFree(block);
    return nullptr;
  }
  std::memcpy(memory, text.data(), text.size() * sizeof(char16_t));
  GlobalUnlock(block);
  return block;
}

// Another program may hold the clipboard for a moment: try a few times.
bool OpenClipboardPatiently() {
  for (int attempt = 0; attempt < 10; ++attempt) {
    if (OpenClipboard(nullptr)) return true;
    Sleep(20);
  }
  return false;
}

}  // namespace

bool PutTextOnClipboard(std::u16string_view text, std::u16string* why) {
  HGLOBAL block = CopyToBlock(text);
  if (!block) {
    if (why) *why = DescribeLastError(L"no memory for the text");
    return false;
  }
  if (!OpenClipboardPatiently()) {
    if (why) *why = DescribeLastError(L"the clipboard could not be opened");
    GlobalFree(block);
    return false;
  }
  const bool placed = EmptyClipboard() && SetClipboardData(CF_UNICODETEXT, block) != nullptr;
  if (!placed && why) *why = DescribeLastError(L"the clipboard refused the text");
  CloseClipboard();
  if (!placed) GlobalFree(block);  // ownership passes to the system only on success
  return placed;
}
