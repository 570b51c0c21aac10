// The locator's process-wide state, shared by the dialog procedure (UI thread)
// and the worker.
#pragma once

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <string>

#include "settings/settings.h"
#include "platform/dialogs.h"

enum class RunEnd { Running, Published, PortFailed, ClipboardFailed, Stopped, TimedOut };

struct LocatorState {
  std::atomic<DialogHandle> dialog{nullptr};  // stored on every message
  std::atomic<uint8_t> stopRequest{0};        // 0 to 1, never back
  std::atomic<int64_t> pollMilliseconds{1000};
  std::u16string commandLine;  // written before the worker exists
  bool useClipboard = true;    // so are these
  bool positionOnStandardOutput = false;
  std::u16string formatOption;   // --format's name, checked; empty when not given
  std::u16string mapHostOption;  // --map-host's host, checked; empty when not given
  std::chrono::steady_clock::time_point deadline = std::chrono::steady_clock::time_point::max();
  Settings settings;  // the worker's, filled at its start

  std::mutex mutex;  // guards what follows
  std::condition_variable workerEnded;
  bool workerRunning = false;
  RunEnd end = RunEnd::Running;
  std::u16string published;
  std::u16string lastDetail;  // why no position came, as the wait last said
};

// Never destroyed: the worker may still run while the process ends.
LocatorState& Locator();

void SetRunEnd(RunEnd end, std::u16string published = {}, std::u16string lastDetail = {});
