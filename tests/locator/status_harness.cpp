// The window log and the idle status window of status_harness.h.
#include "locator/status_harness.h"

#include <mutex>

#include "locator/status_dialog.h"
#include "resources/resource_ids.h"

namespace {

void Log(const std::function<void(const std::string&)>& action, std::string event) {
  Events().Add(event);
  if (action) action(event);
}

std::mutex detailsMutex;
std::vector<std::string> details;

// Stores the handle the way StatusDialogProc does, without starting a worker.
intptr_t IdleProc(DialogHandle dialog, unsigned message, uintptr_t, intptr_t) {
  if (message == kWmInitDialog) StatusDialogProc(dialog, 0, 0, 0);
  return 0;
}

}  // namespace

WindowLog::WindowLog(std::function<void(const std::string&)> action) {
  {
    std::lock_guard lock(detailsMutex);
    details.clear();
  }
  SetModelObserver([action](const ModelEvent& event) {
    if (event.kind != ModelEvent::ControlChanged) return;
    const std::optional<ModelControl> control = ModelControlState(event.dialog, event.controlId);
    if (!control) return;
    if (event.controlId == IDC_STATUS_LINE) Log(action, "status " + Narrow(control->text));
    if (event.controlId == IDC_INDICATOR) Log(action, "image " + std::to_string(control->imageId));
  });
  SetMessageBoxHandler([action](DialogHandle, const std::u16string& text,
                                const std::u16string& caption, unsigned flags,
                                const std::u16string& detail) {
    {
      std::lock_guard lock(detailsMutex);
      details.push_back(Narrow(detail));
    }
    Log(action,
        "message " + Narrow(caption) + " " + Narrow(text) + " flags " + std::to_string(flags));
    return DefaultMessageBoxAnswer(flags);
  });
}

WindowLog::~WindowLog() {
  SetModelObserver({});
  SetMessageBoxHandler({});
}

std::vector<std::string> BoxDetails() {
  std::lock_guard lock(detailsMutex);
  return details;
}

IdleStatusWindow::IdleStatusWindow() {
  run_ = std::async(std::launch::async,
                    [] { return RunModalDialog(IDD_STATUS, nullptr, &IdleProc, 0); });
  dialog_ = ModelWaitForDialog(IDD_STATUS, kPatience);
}

IdleStatusWindow::~IdleStatusWindow() {
  if (dialog_) EndDialogWith(dialog_, 0);
  run_.wait();
}
