// Stand-ins for the parts a test machine lacks, linked into the locator flow
// tests only: the Widcomm tray and the Microsoft mode calls, the GPS reader
// and the clipboard. Every call lands in one ordered event log.
#pragma once

#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

// The log every fake, and the dialog observer of the tests, writes to.
class EventLog {
 public:
  void Add(std::string event);
  std::vector<std::string> Events() const;
  void Clear();

 private:
  mutable std::mutex mutex_;
  std::vector<std::string> events_;
};
EventLog& Events();

// The two Bluetooth stacks. The tray answers the status query with
// trayStatusAnswer and switch requests with traySwitchAnswer; trayFinds
// says how many more look-ups find it (-1: always, 0: never).
struct FakeBluetooth {
  int trayFinds = 0;
  intptr_t trayStatusAnswer = 0;
  intptr_t traySwitchAnswer = 1;
  std::optional<uint32_t> mode = 0;  // nullopt: BthGetMode fails
  bool setModeFails = false;
};
FakeBluetooth& Bluetooth();

// The reader: StartGpsReader answers startResult (on failure it shows the
// port error like the real one), or with opensForever asks its giveUp until that
// says yes and returns false without a word; DescribeGpsReaderWait answers
// waitDetail.
struct FakeReader {
  bool startResult = true;
  bool opensForever = false;
  std::u16string waitDetail = u"no data from the port yet";
};
FakeReader& Reader();
// Changes the wait detail while a run may be asking for it.
void SetReaderWaitDetail(std::u16string detail);

// The clipboard: refuses when failing; holds the last text it took.
struct FakeClipboard {
  bool failing = false;
  std::u16string text;
};
FakeClipboard& Clipboard();

// Everything back to its start: empty log, no tray, radio off, reader and
// clipboard working.
void ResetFakes();

std::string Narrow(const std::u16string& text);
