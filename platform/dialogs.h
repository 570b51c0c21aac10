// Dialogs, controls and message boxes over an opaque handle. Message and flag
// values are Win32's, so the portable dialog procedures read the same everywhere.
#pragma once

#include <cstdint>

using DialogHandle = void*;

// Message box flags and results (Win32 values).
inline constexpr unsigned kMbOk = 0x0;
inline constexpr unsigned kMbYesNo = 0x4;
inline constexpr unsigned kMbIconError = 0x10;
inline constexpr unsigned kMbIconQuestion = 0x20;
inline constexpr unsigned kMbIconExclamation = 0x30;
inline constexpr unsigned kMbIconInformation = 0x40;
inline constexpr int kIdOk = 1;
inline constexpr int kIdCancel = 2;
inline constexpr int kIdYes = 6;
inline constexpr int kIdNo = 7;

// Shows a message box and blocks until it is dismissed; returns the button.
int ShowMessageBox(DialogHandle owner, const char16_t* text, const char16_t* caption,
                   unsigned flags);
