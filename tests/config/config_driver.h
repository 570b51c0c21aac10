// Drives QuarvelConfig's form and name dialog on the dialog model, with a scratch
// folder for settings.ini and the Programs folder.
#pragma once

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <thread>

#include "config/config_dialog.h"
#include "config/config_state.h"
#include "platform/model/dialog_model.h"
#include "resources/resource_ids.h"
#include "settings/temp_dir.h"

using namespace std::chrono_literals;

inline constexpr auto kWait = 20s;

// The form running modally on a thread of its own, as the program runs it.
class FormRun {
 public:
  explicit FormRun(const std::filesystem::path& settings, int layout = IDD_CONFIG) {
    const std::u16string path = settings.u16string();
    path.copy(Config().settingsPath, path.size());
    Config().settingsPath[path.size()] = 0;
    thread_ = std::thread(
        [this, layout] { result_ = RunModalDialog(layout, nullptr, ConfigDialogProc, 0); });
    dialog_ = ModelWaitForDialog(layout, kWait);
  }
  ~FormRun() {
    if (thread_.joinable()) {
      if (!ended_) PostDialogMessage(dialog_, kWmClose, 0, 0);
      thread_.join();
    }
  }
  FormRun(const FormRun&) = delete;
  FormRun& operator=(const FormRun&) = delete;

  DialogHandle dialog() const { return dialog_; }
  // Waits until the procedure has handled everything posted before.
  void Sync() const { SendDialogMessage(dialog_, 0, 0, 0); }
  void Post(unsigned command) const {
    PostDialogMessage(dialog_, kWmCommand, MakeWParam(command, 0), 0);
  }
  // Posts a message that should end the form, waits for the end; the form's result.
  intptr_t End(unsigned message, uintptr_t wParam = 0) {
    PostDialogMessage(dialog_, message, wParam, 0);
    thread_.join();
    ended_ = true;
    return result_;
  }
  ModelControl Control(int id) const { return ModelControlState(dialog_, id).value(); }

 private:
  std::thread thread_;
  DialogHandle dialog_ = nullptr;
  intptr_t result_ = 0;
  bool ended_ = false;
};

// Sets an environment variable for the life of a test.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::string& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old, had_ = true;
    setenv(name, value.c_str(), 1);
  }
  ~ScopedEnv() {
    if (had_)
      setenv(name_, old_.c_str(), 1);
    else
      unsetenv(name_);
  }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::string old_;
  bool had_ = false;
};

inline std::string SettingsText(const std::string& port, const std::string& letter,
                                const std::string& lite, const std::string& bluetooth,
                                const std::string& coordinates) {
  return "# COM port\n" + port + "\n# Default map type\n" + letter + "\n# Lite map\n" + lite +
         "\n# Bluetooth\n" + bluetooth + "\n# Coordinates only\n" + coordinates + "\n";
}
