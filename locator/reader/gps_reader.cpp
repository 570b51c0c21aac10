// The GPS port reader: starts and stops the reader thread, which frames each read into sentences.
#include "locator/reader/gps_reader.h"

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "nmea/parser.h"
#include "locator/reader/gps_source.h"
#include "locator/wait_detail.h"
#include "platform/dialogs.h"

namespace {

// Pause after a read that brought nothing (no port, device gone): long enough
// that a dead line costs no CPU, short enough that a receiver plugged back
// in is read again at once. A stop cuts it short.
constexpr std::chrono::milliseconds kBackOff{200};

struct ReaderState {
  std::mutex mutex;                 // guards source changes against a stop's wake
  std::condition_variable changed;  // a stop was asked for, or the thread ended
  std::atomic<bool> stopFlag{false};
  GpsSource port;                     // changed under the mutex, by start and the reader
  std::atomic<bool> portGone{false};  // the line hung up; set by the reader thread
  bool running = false;
  std::u16string portName;    // for reopening a port that went away
  bool reopenByName = false;  // the port's name stays its own once gone
  uint32_t baudRate = 0;
};

// Never destroyed: a reader thread may still run while the process exits.
ReaderState& Reader() {
  static ReaderState* state = new ReaderState;
  return *state;
}

void PassSentence(const char* sentence, void*) { ParseNmeaSentence(sentence); }

// Opens the port, telling the user in a message box what failed and why.
GpsSource OpenGpsPort(const char16_t* portName, uint32_t baudRate) {
  GpsPortProblem problem;
  GpsSource port = OpenGpsSource(portName, baudRate, problem);
  if (problem.message) {
    ShowMessageBox(nullptr, problem.message, u"Error!", kMbIconError, problem.reason.c_str());
  }
  return port;
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

// The reader thread's procedure; returns 0 when asked to stop.
int GpsReaderThread() {
  ReaderState& reader = Reader();
  NmeaFramer framer;
  char readBuffer[kGpsReadSize + 1];
  while (!reader.stopFlag) {
    std::memset(readBuffer, 0, sizeof readBuffer);
    const std::size_t count = ReadGpsPort(readBuffer);
    // Bytes of another opening, speed or port: no sentence joins them to the
    // ones before, and the position waits for this port's own GGA, if any.
    const bool restarted = GpsSourceRestarted(reader.port);
    if (reader.portGone || restarted) ForgetPartialSentence(framer);
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

bool StartGpsReader(const char16_t* portName, uint32_t baudRate) {
  ReaderState& reader = Reader();
  // One reader per process: an earlier one is ended first.
  StopGpsReader();
  {
    std::unique_lock lock(reader.mutex);
    reader.changed.wait(lock, [&] { return !reader.running; });
  }
  const GpsSource port = OpenGpsPort(portName, baudRate);
  NoteGpsPortOpened();
  {
    std::lock_guard lock(reader.mutex);
    reader.port = port;
    reader.portGone = false;
    reader.portName = portName ? portName : u"";
    reader.reopenByName = GpsSourceMayReturn(port);
    reader.baudRate = baudRate;
    reader.stopFlag = false;
    reader.running = true;
  }
  try {
    std::thread(&GpsReaderThread).detach();
  } catch (const std::system_error&) {
    FinishReader(reader);
    return false;
  }
  return IsGpsSourceOpen(port);
}

void StopGpsReader() {
  ReaderState& reader = Reader();
  std::lock_guard lock(reader.mutex);
  reader.stopFlag = true;
  WakeGpsSource(reader.port);
  reader.changed.notify_all();
}

bool WaitGpsReaderStopped(std::chrono::milliseconds timeout) {
  ReaderState& reader = Reader();
  std::unique_lock lock(reader.mutex);
  return reader.changed.wait_for(lock, timeout, [&] { return !reader.running; });
}

// A line that hung up outranks what the receiver said before it went; what the
// source says of itself (the kind of a location service's fix) outranks the GPS state.
std::u16string DescribeGpsReaderWait() {
  ReaderState& reader = Reader();
  const std::u16string gpsDetail = GpsWaitDetail();
  bool gone = false, comesBack = false;
  std::u16string sourceSays;
  {
    std::lock_guard lock(reader.mutex);
    gone = reader.running && (reader.portGone || !IsGpsSourceOpen(reader.port));
    comesBack = reader.reopenByName;
    // The source says what its line tells (the speed hunt, "auto:"'s ports).
    if (!gone) return DescribeGpsSource(reader.port, gpsDetail);
  }
  return comesBack ? u"the port is gone, waiting for it to come back" : u"the port is gone";
}
