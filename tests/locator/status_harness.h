// Test harness around the status dialog: logs what the window shows into the
// fakes' event log and lets a test act at a chosen moment of the run.
#pragma once

#include <chrono>
#include <functional>
#include <future>
#include <string>
#include <vector>

#include "locator/fakes.h"
#include "platform/model/dialog_model.h"

inline constexpr std::chrono::seconds kPatience{30};

// While it lives: status-line texts become "status <text>", indicator images
// "image <id>", message boxes "message <caption> <text>" (answered OK), their
// details kept apart (BoxDetails). The action runs right after each event is
// logged, on the thread that caused it.
class WindowLog {
 public:
  explicit WindowLog(std::function<void(const std::string&)> action = {});
  ~WindowLog();
  WindowLog(const WindowLog&) = delete;
  WindowLog& operator=(const WindowLog&) = delete;
};

// The detail of each message box shown since the last WindowLog began, in order.
std::vector<std::string> BoxDetails();

// Status dialog 102 running without its worker, for calling the radio
// operations on their own: the dialog handle is stored as the procedure does.
class IdleStatusWindow {
 public:
  IdleStatusWindow();
  ~IdleStatusWindow();
  bool running() const { return dialog_ != nullptr; }

 private:
  std::future<intptr_t> run_;
  DialogHandle dialog_ = nullptr;
};
