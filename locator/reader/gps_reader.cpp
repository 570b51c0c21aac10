// The GPS port reader: starts and stops the reader thread, which frames each read into sentences.
#include "locator/reader/gps_reader.h"

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "locator/fix_gates.h"
#include "locator/fix_record.h"
#include "nmea/parser.h"
#include "locator/reader/gps_source.h"
#include "locator/wait_detail.h"
#include "platform/dialogs.h"

namespace {

// Pause after a read that brought nothing (no port, device gone): long enough
// that a dead line costs no CPU, short enough that a receiver plugged back
// in is read again at once. A stop cuts it short.
constexpr std::chrono::milliseconds kBackOff{200};

// How often a start whose open takes its time (a host that does not answer) asks
// whether to give up on it: seldom enough to cost nothing, often enough that
// Stop or the run's time-out end it at once to the user.
constexpr std::chrono::milliseconds kGiveUpPoll{50};

struct ReaderState {
  std::mutex mutex;                 // guards source changes against a stop's wake
  std::condition_variable changed;  // a stop was asked for, or the thread ended
  std::atomic<bool> stopFlag{false};
  GpsSource port;                     // changed under the mutex, by start and the reader
  std::atomic<bool> portGone{false};  // the line hung up; set by the reader thread
  bool running = false;
  bool opening = false;               // the reader thread's first open runs
  bool opened = false;                // and then: whether it opened the port
  GpsPortProblem openProblem;         // or why not
  void (*openWake)(void*) = nullptr;  // cuts that open short, while it runs
  void* openHandle = nullptr;
  std::u16string portName;    // for opening, and reopening a port that went away
  bool reopenByName = false;  // the port's name stays its own once gone
  uint32_t baudRate = 0;
};

// Never destroyed: a reader thread may still run while the process exits.
ReaderState& Reader() {
  static ReaderState* state = new ReaderState;
  return *state;
}

// Each fix is judged as it is parsed: --average counts every one, not only those a poll sees.
void PassSentence(const char* sentence, void*) {
  ParseNmeaSentence(sentence);
  KeepSentFields(sentence);
  JudgeFixSentence(sentence);
}

// After the device went away: close it, and open it again by name once it
// is back, silently (the user was told nothing when it left either).
void ReopenGonePort(ReaderState& reader) {
  {
    std::lock_guard lock(reader.mutex);
    CloseGpsSource(reader.port);
    if (!reader.reopenByName) {
      reader.portGone = false;
      return;
    }
  }
  GpsPortProblem problem;
  GpsSource port = OpenGpsSource(reader.portName.c_str(), reader.baudRate, problem);
  std::lock_guard lock(reader.mutex);
  if (reader.stopFlag) {
    CloseGpsSource(port);
  } else if (IsGpsSourceOpen(port)) {
    reader.port = port;
    reader.portGone = false;
    NoteGpsPortOpened();
  }
}

void BackOffAfterEmptyRead(ReaderState& reader) {
  {
    std::unique_lock lock(reader.mutex);
    if (reader.changed.wait_for(lock, kBackOff, [&] { return reader.stopFlag.load(); })) return;
  }
  if (reader.portGone) ReopenGonePort(reader);
}

void FinishReader(ReaderState& reader) {
  std::lock_guard lock(reader.mutex);
  CloseGpsSource(reader.port);
  reader.portGone = false;
  reader.running = false;
  reader.changed.notify_all();
}

// The start's open, on the reader thread, so that the start can give up on one
// that takes long; a port opened after the start gave up is closed again.
void OpenGpsPort(ReaderState& reader) {
  GpsPortProblem problem;
  GpsSource port = OpenGpsSource(reader.portName.c_str(), reader.baudRate, problem);
  NoteGpsPortOpened();
  ForgetSentFields();
  std::lock_guard lock(reader.mutex);
  if (reader.stopFlag) CloseGpsSource(port);
  reader.port = port;
  reader.reopenByName = GpsSourceMayReturn(port);
  reader.opened = IsGpsSourceOpen(port);
  reader.openProblem = problem;
  reader.openWake = nullptr;
  reader.opening = false;
  reader.changed.notify_all();
}

// The reader thread's procedure; returns 0 when asked to stop.
int GpsReaderThread() {
  ReaderState& reader = Reader();
  OpenGpsPort(reader);
  NmeaFramer framer;
  char readBuffer[kGpsReadSize + 1];
  while (!reader.stopFlag) {
    std::memset(readBuffer, 0, sizeof readBuffer);
    const std::size_t count = ReadGpsPort(readBuffer);
    // No sentence is made of bytes from two openings of the port, two datagrams or
    // two connections. Bytes of another speed or port: the position also waits for
    // this port's own GGA, if any.
    const bool restarted = GpsSourceRestarted(reader.port);
    if (reader.portGone || restarted || GpsSourceReadBeganAfresh(reader.port)) {
      ForgetPartialSentence(framer);
    }
    if (restarted) NoteGpsPortOpened();
    FrameNmeaRead(framer, readBuffer, &PassSentence, nullptr);
    // An empty read of an open source is a stop or a wait of its own that ended.
    if (count == 0 && (reader.portGone || !IsGpsSourceOpen(reader.port))) {
      BackOffAfterEmptyRead(reader);
    }
  }
  FinishReader(reader);
  return 0;
}

// Waits for the reader thread's open and takes what it found. False when giveUp
// said so first: the start is abandoned, and the reader ends once its open returns.
bool WaitForOpen(ReaderState& reader, const std::function<bool()>& giveUp, bool& opened,
                 GpsPortProblem& problem) {
  std::unique_lock lock(reader.mutex);
  while (!reader.changed.wait_for(lock, kGiveUpPoll, [&] { return !reader.opening; })) {
    if (giveUp && giveUp()) {
      reader.stopFlag = true;
      if (reader.openWake) reader.openWake(reader.openHandle);
      reader.changed.notify_all();
      return false;
    }
  }
  opened = reader.opened;
  problem = reader.openProblem;
  return true;
}

}  // namespace

std::size_t ReadGpsPort(char (&readBuffer)[kGpsReadSize + 1]) {
  ReaderState& reader = Reader();
  if (!IsGpsSourceOpen(reader.port)) return 0;
  std::ptrdiff_t count = ReadGpsSource(reader.port, readBuffer, kGpsReadSize);
  if (count == kSerialPortGone) {
    reader.portGone = true;
    count = 0;
  }
  readBuffer[count] = 0;
  return std::size_t(count);
}

bool StartGpsReader(const char16_t* portName, uint32_t baudRate,
                    const std::function<bool()>& giveUp) {
  ReaderState& reader = Reader();
  // One reader per process: an earlier one is ended first.
  StopGpsReader();
  {
    std::unique_lock lock(reader.mutex);
    reader.changed.wait(lock, [&] { return !reader.running; });
    reader.port = {};
    reader.portGone = false;
    reader.portName = portName ? portName : u"";
    reader.reopenByName = false;
    reader.baudRate = baudRate;
    reader.stopFlag = false;
    reader.running = true;
    reader.opening = true;
  }
  try {
    std::thread(&GpsReaderThread).detach();
  } catch (const std::system_error&) {
    FinishReader(reader);
    return false;
  }
  bool opened = false;
  GpsPortProblem problem;
  if (!WaitForOpen(reader, giveUp, opened, problem)) return false;
  // Told from this thread, as the open's caller always told the user.
  if (problem.message) {
    ShowMessageBox(nullptr, problem.message, u"Error!", kMbIconError, problem.reason.c_str());
  }
  return opened;
}

void NoteGpsOpenInProgress(void (*wake)(void* handle), void* handle) {
  ReaderState& reader = Reader();
  std::lock_guard lock(reader.mutex);
  if (!reader.opening) return;  // only the start's open is cut short
  reader.openWake = wake;
  reader.openHandle = handle;
  if (wake && reader.stopFlag) wake(handle);
}

void StopGpsReader() {
  ReaderState& reader = Reader();
  std::lock_guard lock(reader.mutex);
  reader.stopFlag = true;
  if (reader.openWake) reader.openWake(reader.openHandle);
  WakeGpsSource(reader.port);
  reader.changed.notify_all();
}

bool WaitGpsReaderStopped(std::chrono::milliseconds timeout) {
  ReaderState& reader = Reader();
  std::unique_lock lock(reader.mutex);
  return reader.changed.wait_for(lock, timeout, [&] { return !reader.running; });
}

// A line that hung up outranks what the receiver said before it went; then what
// a gate waits for; else the source says what its line tells around the GPS
// state's words (the speed hunt, "auto:"'s ports, the kind of a location
// service's fix, a connection being made again).
std::u16string DescribeGpsReaderWait() {
  ReaderState& reader = Reader();
  const std::u16string gate = GateWaitDetail();
  bool gone = false, comesBack = false;
  std::u16string where;
  {
    std::lock_guard lock(reader.mutex);
    gone = reader.running && (reader.portGone || !IsGpsSourceOpen(reader.port));
    comesBack = reader.reopenByName;
    where = GpsSourceWhere(reader.port);
  }
  if (gone) {
    return comesBack ? u"the port is gone, waiting for it to come back" : u"the port is gone";
  }
  if (!gate.empty()) return gate;
  const std::u16string gpsDetail = GpsWaitDetail(where);
  std::lock_guard lock(reader.mutex);
  return DescribeGpsSource(reader.port, gpsDetail);
}
