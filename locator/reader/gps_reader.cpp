// The GPS port reader: starts and stops the reader thread, which frames each read into sentences.
#include "locator/gps_reader.h"

#include <atomic>
#include <condition_variable>
#include <cstring>
#include <mutex>
#include <string>
#include <system_error>
#include <thread>

#include "locator/reader/gps_reader_port.h"
#include "nmea/parser.h"
#include "platform/dialogs.h"

namespace {

// Pause after a read that brought nothing (no port, device gone): long enough
// that a dead line costs no CPU, short enough that a receiver plugged back
// in is read again at once. A stop cuts it short.
constexpr std::chrono::milliseconds kBackOff{200};

struct ReaderState {
  std::mutex mutex;                 // guards port changes against a stop's wake
  std::condition_variable changed;  // a stop was asked for, or the thread ended
  std::atomic<bool> stopFlag{false};
  GpsPort port;           // changed under the mutex, by start and the reader
  bool portGone = false;  // reader thread only: the line hung up
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

// After the device went away: close it, and open it again by name once it
// is back, silently (the user was told nothing when it left either).
void ReopenGonePort(ReaderState& reader) {
  {
    std::lock_guard lock(reader.mutex);
    CloseGpsPort(reader.port);
    if (!reader.reopenByName) {
      reader.portGone = false;
      return;
    }
  }
  const char16_t* problem = nullptr;
  GpsPort port = OpenGpsPortQuietly(reader.portName.c_str(), reader.baudRate, &problem);
  std::lock_guard lock(reader.mutex);
  if (reader.stopFlag) {
    CloseGpsPort(port);
  } else if (IsGpsPortOpen(port)) {
    reader.port = port;
    reader.portGone = false;
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
  CloseGpsPort(reader.port);
  reader.portGone = false;
  reader.running = false;
  reader.changed.notify_all();
}

}  // namespace

GpsPort OpenGpsPort(const char16_t* portName, uint32_t baudRate) {
  const char16_t* problem = nullptr;
  GpsPort port = OpenGpsPortQuietly(portName, baudRate, &problem);
  if (problem) ShowMessageBox(nullptr, problem, u"Error!", kMbIconError);
  return port;
}

std::size_t ReadGpsPort(char (&readBuffer)[kGpsReadSize + 1]) {
  ReaderState& reader = Reader();
  if (!IsGpsPortOpen(reader.port)) return 0;
  std::ptrdiff_t count = ReadFromGpsPort(reader.port, readBuffer, kGpsReadSize);
  if (count == kSerialPortGone) {
    reader.portGone = true;
    count = 0;
  }
  readBuffer[count] = 0;
  return std::size_t(count);
}

int GpsReaderThread() {
  ReaderState& reader = Reader();
  NmeaFramer framer;
  char readBuffer[kGpsReadSize + 1];
  while (!reader.stopFlag) {
    std::memset(readBuffer, 0, sizeof readBuffer);
    const std::size_t count = ReadGpsPort(readBuffer);
    if (reader.portGone) ForgetPartialSentence(framer);
    FrameNmeaRead(framer, readBuffer, &PassSentence, nullptr);
    if (count == 0) BackOffAfterEmptyRead(reader);
  }
  FinishReader(reader);
  return 0;
}

bool StartGpsReader(const char16_t* portName, uint32_t baudRate) {
  ReaderState& reader = Reader();
  // One reader per process: an earlier one is ended first.
  StopGpsReader();
  {
    std::unique_lock lock(reader.mutex);
    reader.changed.wait(lock, [&] { return !reader.running; });
  }
  const GpsPort port = OpenGpsPort(portName, baudRate);
  {
    std::lock_guard lock(reader.mutex);
    reader.port = port;
    reader.portGone = false;
    reader.portName = portName ? portName : u"";
    reader.reopenByName = GpsPortMayReturn(port);
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
  return IsGpsPortOpen(port);
}

void StopGpsReader() {
  ReaderState& reader = Reader();
  std::lock_guard lock(reader.mutex);
  reader.stopFlag = true;
  WakeGpsPort(reader.port);
  reader.changed.notify_all();
}

bool WaitGpsReaderStopped(std::chrono::milliseconds timeout) {
  ReaderState& reader = Reader();
  std::unique_lock lock(reader.mutex);
  return reader.changed.wait_for(lock, timeout, [&] { return !reader.running; });
}
