// The windowed programs' standard streams: redirected handles, the parent's console, or none.
#include <windows.h>

#include "platform/win32/console_streams.h"

#include <atomic>
#include <string>

#include "common/utf8.h"
#include "platform/dialogs.h"
#include "platform/win32/wide_text.h"

namespace {

struct Streams {
  HANDLE out = nullptr;
  HANDLE err = nullptr;
  bool console = false;
  UINT codePage = CP_UTF8;  // for files and pipes
  std::atomic<bool> boxesToErr{false};
};

Streams& State() {
  static Streams streams;
  return streams;
}

bool IsUsable(HANDLE handle) {
  return handle && handle != INVALID_HANDLE_VALUE && GetFileType(handle) != FILE_TYPE_UNKNOWN;
}

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

HANDLE ConsoleOutput() {
  return CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                     nullptr, OPEN_EXISTING, 0, nullptr);
}

std::string Encode(std::u16string_view text, UINT codePage) {
  if (codePage == CP_UTF8) return utf8::Utf16ToUtf8(text);
  const int units = int(text.size());
  const int bytes =
      WideCharToMultiByte(codePage, 0, AsWide(text.data()), units, nullptr, 0, nullptr, nullptr);
  std::string encoded(std::size_t(bytes > 0 ? bytes : 0), '\0');
  WideCharToMultiByte(codePage, 0, AsWide(text.data()), units, encoded.data(), bytes, nullptr,
                      nullptr);
  return encoded;
}

}  // namespace

void OpenProgramStreams() {
  Streams& streams = State();
  // Taken before attaching: what the caller redirected stays where it was sent.
  HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
  HANDLE err = GetStdHandle(STD_ERROR_HANDLE);
  // ERROR_ACCESS_DENIED: a console is there already (Wine gives one to a program
  // started from a terminal or from cmd).
  const bool console = streams.console =
      AttachConsole(ATTACH_PARENT_PROCESS) || GetLastError() == ERROR_ACCESS_DENIED;
  HANDLE conout = console ? ConsoleOutput() : INVALID_HANDLE_VALUE;
  streams.out = IsUsable(out) ? out : (IsUsable(conout) ? conout : nullptr);
  streams.err = IsUsable(err) ? err : (IsUsable(conout) ? conout : nullptr);
  // What PowerShell and cmd decode a redirected program's output with.
  const UINT consolePage = console ? GetConsoleOutputCP() : 0;
  if (consolePage != 0) streams.codePage = consolePage;
}

bool ProgramHasConsole() { return State().console; }

bool HasProgramStream(ProgramStream stream) {
  return (stream == ProgramStream::Out ? State().out : State().err) != nullptr;
}

void WriteProgramStream(ProgramStream stream, std::u16string_view text) {
  const Streams& streams = State();
  HANDLE handle = stream == ProgramStream::Out ? streams.out : streams.err;
  if (!handle) return;
  std::u16string lines;
  for (char16_t c : text) {
    if (c == u'\n') lines += u'\r';
    lines += c;
  }
  DWORD done = 0;
  if (IsConsole(handle)) {
    WriteConsoleW(handle, AsWide(lines.data()), DWORD(lines.size()), &done, nullptr);
    return;
  }
  const std::string bytes = Encode(lines, streams.codePage);
  WriteFile(handle, bytes.data(), DWORD(bytes.size()), &done, nullptr);
}

void SendMessageBoxesToStandardError() { State().boxesToErr = true; }

bool MessageBoxesGoToStandardError() { return State().boxesToErr; }

void WriteOrShow(ProgramStream stream, std::u16string_view text, const char16_t* caption,
                 unsigned flags) {
  if (HasProgramStream(stream)) return WriteProgramStream(stream, text);
  const std::u16string box(text.substr(0, text.find_last_not_of(u'\n') + 1));
  ShowMessageBox(nullptr, box.c_str(), caption, flags);
}
