// Inside of the terminal front end, shared by its drawing and its input halves.
#pragma once

#include "platform/model/dialog_model.h"
#include "platform/posix/terminal/terminal_status.h"

#include <termios.h>

#include <condition_variable>
#include <mutex>
#include <string>
#include <thread>

struct TerminalStatusFrontEnd::Impl {
  explicit Impl(TerminalOptions opts) : options(opts) {}

  TerminalOptions options;
  bool fancy = false;   // output is a terminal: redraw in place
  bool quiet = false;   // output is a terminal that is not ours now: no status line
  bool colour = false;  // and colours are wanted
  bool keys = false;    // input is a terminal

  std::mutex mutex;
  DialogHandle status = nullptr;  // dialog 102 while it runs
  std::u16string line;            // status line as last drawn
  std::u16string detail;          // and the wait detail under it
  int image = 0;
  bool lineDrawn = false;
  bool stopPending = false;  // Stop asked for before the dialog was up

  std::condition_variable boxClosed;
  bool boxOpen = false;
  unsigned boxFlags = 0;
  int boxAnswer = 0;

  termios saved{};
  bool raw = false;
  int wake[2] = {-1, -1};
  std::thread input;
  int signals = 0;

  // Drawing (terminal_status.cpp).
  void OnEvent(const ModelEvent& event);
  int OnMessageBox(const std::u16string& text, const std::u16string& caption, unsigned flags,
                   const std::u16string& boxDetail);
  void Write(const std::string& text) const;
  void DrawLine();                   // with the lock held
  std::u16string ShownLine() const;  // the status line with its wait detail

  // Input (terminal_input.cpp).
  void StartInput();
  void StopInput();
  void InputLoop();
  void OnKeys(const char* bytes, size_t count);
  void OnSignal();
  void CloseBox(int answer);  // with the lock held
  void CloseOpenBox();        // with the default answer; with the lock held
  void RestoreLocked();       // the terminal's saved settings; with the lock held
  void PostToStatus(unsigned message, uintptr_t wParam);
};
