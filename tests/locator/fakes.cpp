// The fakes of fakes.h: they replace platform/bluetooth.h, the GPS reader's
// start and stop and the clipboard at link time.
#include "locator/fakes.h"

#include <chrono>
#include <map>
#include <thread>

#include "common/utf8.h"
#include "locator/reader/gps_reader.h"
#include "platform/bluetooth.h"
#include "platform/clipboard.h"
#include "platform/dialogs.h"

namespace {

std::mutex fakeMutex;
std::map<unsigned, std::string>& MessageNames() {
  static std::map<unsigned, std::string> names;
  return names;
}
TrayWindowObject* const kTray = reinterpret_cast<TrayWindowObject*>(uintptr_t(0x7ea1));

}  // namespace

void EventLog::Add(std::string event) {
  std::lock_guard lock(mutex_);
  events_.push_back(std::move(event));
}
std::vector<std::string> EventLog::Events() const {
  std::lock_guard lock(mutex_);
  return events_;
}
void EventLog::Clear() {
  std::lock_guard lock(mutex_);
  events_.clear();
}
EventLog& Events() {
  static EventLog log;
  return log;
}

FakeBluetooth& Bluetooth() {
  static FakeBluetooth fake;
  return fake;
}
FakeReader& Reader() {
  static FakeReader fake;
  return fake;
}
FakeClipboard& Clipboard() {
  static FakeClipboard fake;
  return fake;
}

void ResetFakes() {
  std::lock_guard lock(fakeMutex);
  Events().Clear();
  Bluetooth() = FakeBluetooth{};
  Reader() = FakeReader{};
  Clipboard() = FakeClipboard{};
}

std::string Narrow(const std::u16string& text) { return utf8::Utf16ToUtf8(text); }

// --- platform/bluetooth.h ---------------------------------------------------

TrayWindow FindTrayWindow(const char16_t* className) {
  std::lock_guard lock(fakeMutex);
  FakeBluetooth& bt = Bluetooth();
  const bool found = Narrow(className) == "WCE_BTTRAY" && bt.trayFinds != 0;
  if (found && bt.trayFinds > 0) --bt.trayFinds;
  Events().Add(found ? "find tray: found" : "find tray: none");
  return found ? kTray : nullptr;
}

unsigned RegisterTrayMessage(const char16_t* name) {
  std::lock_guard lock(fakeMutex);
  // Numbers as Windows hands them out: from 0xC000, one per name.
  auto& names = MessageNames();
  unsigned number = 0;
  for (const auto& [n, text] : names) {
    if (text == Narrow(name)) number = n;
  }
  if (number == 0) {
    number = 0xC000 + unsigned(names.size());
    names[number] = Narrow(name);
  }
  Events().Add("register " + Narrow(name));
  return number;
}

intptr_t SendTrayMessage(TrayWindow window, unsigned message, uintptr_t wParam, intptr_t lParam) {
  std::lock_guard lock(fakeMutex);
  const std::string name = MessageNames().count(message) ? MessageNames()[message] : "?";
  Events().Add("send " + name + (window == kTray ? "" : " to a stranger") +
               (wParam == 0 && lParam == 0 ? "" : " with parameters"));
  return name == "WIDCOMM_WM_GETSTACKSTATUS" ? Bluetooth().trayStatusAnswer
                                             : Bluetooth().traySwitchAnswer;
}

bool BthGetMode(uint32_t* mode) {
  std::lock_guard lock(fakeMutex);
  Events().Add("get mode");
  if (!Bluetooth().mode) return false;
  *mode = *Bluetooth().mode;
  return true;
}

bool BthSetMode(uint32_t mode) {
  std::lock_guard lock(fakeMutex);
  Events().Add("set mode " + std::to_string(mode));
  if (Bluetooth().setModeFails) return false;
  Bluetooth().mode = mode;
  return true;
}

// --- the GPS reader -------------------------------------------------------

bool StartGpsReader(const char16_t* portName, uint32_t baudRate,
                    const std::function<bool()>& giveUp) {
  bool ok, forever;
  {
    std::lock_guard lock(fakeMutex);
    ok = Reader().startResult;
    forever = Reader().opensForever;
  }
  Events().Add("start reader " + Narrow(portName) + " " + std::to_string(baudRate));
  if (forever) {
    while (!giveUp || !giveUp()) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    Events().Add("start given up");
    return false;
  }
  if (!ok) ShowMessageBox(nullptr, u"Error Opening Comms Port.", u"Error!", kMbIconError);
  return ok;
}

void StopGpsReader() { Events().Add("stop reader"); }

void SetReaderWaitDetail(std::u16string detail) {
  std::lock_guard lock(fakeMutex);
  Reader().waitDetail = std::move(detail);
}

std::u16string DescribeGpsReaderWait() {
  std::lock_guard lock(fakeMutex);
  return Reader().waitDetail;
}

// --- the clipboard --------------------------------------------------------

bool PutTextOnClipboard(std::u16string_view text, std::u16string* why) {
  bool failing;
  {
    std::lock_guard lock(fakeMutex);
    failing = Clipboard().failing;
    if (!failing) Clipboard().text = std::u16string(text);
  }
  Events().Add(std::string("clipboard ") + (failing ? "refused " : "") +
               Narrow(std::u16string(text)));
  if (failing && why) *why = u"the test's clipboard refuses";
  return !failing;
}
