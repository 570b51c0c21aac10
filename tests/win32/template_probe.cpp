// Prints every dialog template, menu, menu-bar record and string compiled into this
// program, one "key=value" line each, in the format resource_dump prints the portable data.
#include <windows.h>

// g++ 12 warns falsely on std::wstring appends at -O3 (GCC bug 105329).
#pragma GCC diagnostic ignored "-Wrestrict"

#include <cstdint>
#include <cstdio>
#include <string>

namespace {

std::string Utf8(const std::wstring& text) {
  const int n =
      WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), nullptr, 0, nullptr, nullptr);
  std::string out(size_t(n > 0 ? n : 0), '\0');
  WideCharToMultiByte(CP_UTF8, 0, text.c_str(), int(text.size()), out.data(), n, nullptr, nullptr);
  return out;
}

// Walks a template's 16-bit words.
struct Words {
  const uint16_t* at;
  uint16_t Take() { return *at++; }
  uint32_t Take32() {
    uint32_t low = Take();
    return low | (uint32_t(Take()) << 16);
  }
  std::wstring Text() {
    const uint16_t* start = at;
    while (*at) ++at;
    return std::wstring(reinterpret_cast<const wchar_t*>(start), size_t(at++ - start));
  }
  // A name or an ordinal (0xFFFF, n).
  std::wstring NameOrOrdinal() {
    if (*at == 0xFFFF) {
      ++at;
      std::wstring ordinal(1, L'#');
      ordinal.append(std::to_wstring(Take()));
      return ordinal;
    }
    return Text();
  }
  void AlignDword(const void* base) {
    while ((reinterpret_cast<uintptr_t>(at) - reinterpret_cast<uintptr_t>(base)) % 4) ++at;
  }
};

// A control class by ordinal or by name in any case, as the portable data spells it.
std::string ClassName(const std::wstring& name) {
  static const wchar_t* const kNames[][2] = {{L"#128", L"Button"},
                                             {L"#129", L"Edit"},
                                             {L"#130", L"Static"},
                                             {L"#131", L"ListBox"},
                                             {L"#133", L"ComboBox"}};
  for (const auto& known : kNames) {
    if (name == known[0] || _wcsicmp(name.c_str(), known[1]) == 0) return Utf8(known[1]);
  }
  return Utf8(name);
}

const void* Resource(LPCWSTR type, LPCWSTR name, DWORD* size) {
  HRSRC found = FindResourceW(nullptr, name, type);
  if (!found) return nullptr;
  *size = SizeofResource(nullptr, found);
  return LockResource(LoadResource(nullptr, found));
}

void Dialog(int id) {
  DWORD size = 0;
  const void* base = Resource(RT_DIALOG, MAKEINTRESOURCEW(id), &size);
  Words w{static_cast<const uint16_t*>(base)};
  w.Take();
  w.Take();
  w.Take32();
  w.Take32();  // version, signature, help id, ex style
  const uint32_t style = w.Take32();
  const int count = w.Take();
  const int x = int16_t(w.Take()), y = int16_t(w.Take()), cx = int16_t(w.Take()),
            cy = int16_t(w.Take());
  w.NameOrOrdinal();
  w.NameOrOrdinal();  // menu, class
  const std::wstring title = w.Text();
  const int points = w.Take();
  w.Take();
  w.Take();  // weight; italic and charset
  const std::wstring font = w.Text();
  std::printf("dialog[%d]=%s|%d,%d,%d,%d|%08x|%s|%d\n", id, Utf8(title).c_str(), x, y, cx, cy,
              unsigned(style), Utf8(font).c_str(), points);
  for (int i = 0; i < count; ++i) {
    w.AlignDword(base);
    w.Take32();
    w.Take32();  // help id, ex style
    const uint32_t controlStyle = w.Take32();
    const int cx0 = int16_t(w.Take()), cy0 = int16_t(w.Take()), cw = int16_t(w.Take()),
              ch = int16_t(w.Take());
    const uint32_t controlId = w.Take32();
    const std::string className = ClassName(w.NameOrOrdinal());
    const std::wstring named = w.NameOrOrdinal();
    // A bitmap static names its image by ordinal: no text.
    const std::wstring text = !named.empty() && named[0] == L'#' ? std::wstring() : named;
    const int extra = w.Take();
    w.at += (extra + 1) / 2;
    std::printf("control[%d][%d]=%u|%s|%s|%d,%d,%d,%d|%08x\n", id, i, unsigned(controlId & 0xFFFF),
                className.c_str(), Utf8(text).c_str(), cx0, cy0, cw, ch, unsigned(controlStyle));
  }
}

std::string MenuItems(HMENU menu) {
  std::string out;
  for (int i = 0; i < GetMenuItemCount(menu); ++i) {
    wchar_t text[64] = {};
    GetMenuStringW(menu, UINT(i), text, 64, MF_BYPOSITION);
    if (i) out += ";";
    if (HMENU popup = GetSubMenu(menu, i)) {
      out += Utf8(text) + ">(" + MenuItems(popup) + ")";
    } else {
      out += Utf8(text) + ":" + std::to_string(GetMenuItemID(menu, i));
    }
  }
  return out;
}

BOOL CALLBACK EachName(HMODULE, LPCWSTR type, LPWSTR name, LONG_PTR) {
  if (!IS_INTRESOURCE(name)) return TRUE;
  const int id = int(reinterpret_cast<uintptr_t>(name));
  if (type == RT_DIALOG) Dialog(id);
  if (type == RT_MENU) {
    HMENU menu = LoadMenuW(GetModuleHandleW(nullptr), name);
    std::printf("menu[%d]=%s\n", id, MenuItems(menu).c_str());
    DestroyMenu(menu);
  }
  if (type == RT_RCDATA) {
    DWORD size = 0;
    auto* words = static_cast<const uint16_t*>(Resource(RT_RCDATA, name, &size));
    std::string line;
    for (DWORD i = 0; i < size / 2; ++i) line += (i ? "," : "") + std::to_string(words[i]);
    std::printf("menubar[%d]=%s\n", id, line.c_str());
  }
  if (type == RT_STRING) {  // a block of 16 strings, each counted
    DWORD size = 0;
    auto* at = static_cast<const uint16_t*>(Resource(RT_STRING, name, &size));
    for (int i = 0; i < 16; ++i) {
      const int length = *at++;
      if (length)
        std::printf(
            "string[%d]=%s\n", (id - 1) * 16 + i,
            Utf8(std::wstring(reinterpret_cast<const wchar_t*>(at), size_t(length))).c_str());
      at += length;
    }
  }
  return TRUE;
}

}  // namespace

int wmain() {
  for (LPCWSTR type : {RT_DIALOG, RT_MENU, RT_RCDATA, RT_STRING}) {
    EnumResourceNamesW(nullptr, type, EachName, 0);
  }
  std::fflush(stdout);
  return 0;
}
