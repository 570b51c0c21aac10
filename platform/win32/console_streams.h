// Standard output and error of the windowed programs: where the caller redirected
// them, else the console of the program that started them (cmd, PowerShell, Windows
// Terminal), else nowhere; a Start-menu run has neither.
#pragma once

#include <string_view>

enum class ProgramStream { Out, Err };

// Finds the streams, attaching to the parent's console; once, before any write.
void OpenProgramStreams();

// Whether the program has a console: the one of the program that started it, or
// one Wine gave it.
bool ProgramHasConsole();

// Whether the stream leads anywhere (a console, a file or a pipe).
bool HasProgramStream(ProgramStream stream);

// Writes text to the stream: to a console as it is, to a file or pipe in the
// console's output code page (UTF-8 without a console), "\n" as "\r\n". Nothing
// without the stream.
void WriteProgramStream(ProgramStream stream, std::u16string_view text);

// From now on every message box is written to standard error ("Error! text") and
// answered with its default button, so a script run never waits for a click.
void SendMessageBoxesToStandardError();

// Whether message boxes go to standard error; ShowMessageBox asks.
bool MessageBoxesGoToStandardError();

// Writes text to the stream where there is one; otherwise shows it in a message box
// with that caption and flags (a Start-menu run asked for its usage, say).
void WriteOrShow(ProgramStream stream, std::u16string_view text, const char16_t* caption,
                 unsigned flags);
