// Inside the GPS reader, for its own files and tests: the sources that the port text
// picks (a small table from the text to one record of functions per kind) and one
// read of the reader's source.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "nmea/framer.h"
#include "platform/serial_port.h"

// The message box texts of a port that failed, and the reason shown under them.
inline constexpr char16_t kPortOpenFailedText[] = u"Error Opening Comms Port.";
inline constexpr char16_t kPortSpeedRefusedText[] = u"Can't configure GPS-port.";

struct GpsPortProblem {
  const char16_t* message = nullptr;  // one of the two texts above; null when it opened
  std::u16string reason;              // the path tried and the system's words
};

// One kind of source: what opening, reading, waking and closing mean for it.
// A source is the kind's own handle; null is no source.
struct GpsSourceKind {
  // Opens the source that `name` (the port text without its speed suffix)
  // names and sets it to baudRate where the kind has a speed, a speed kept for
  // good when speedFixed; null, with problem filled in, when it cannot.
  void* (*open)(const char16_t* name, uint32_t baudRate, bool speedFixed, GpsPortProblem& problem);
  // Blocks until bytes come: the count; 0 when woken or when a wait of the
  // source's own ended (the speed hunt judging a speed); kSerialPortGone when
  // the source is gone for good.
  std::ptrdiff_t (*read)(void* source, char* buffer, std::size_t capacity);
  // Makes a pending read, and every later one, return 0 at once; any thread.
  void (*wake)(void* source);
  // Whether the same port text may open the source again once it is gone.
  bool (*mayReturn)(void* source);
  // Whether the latest read's bytes do not continue those before it (another
  // speed, another port): a sentence begun before is dropped.
  bool (*restarted)(void* source);
  // What the source tells of the wait around what the GPS state says
  // (gpsDetail), which it returns alone when it has nothing to add. Any thread.
  std::u16string (*describe)(void* source, std::u16string_view gpsDetail);
  void (*close)(void* source);
  // Optional (null for a kind without them):
  // whether the bytes of the latest read begin anew (a new datagram, a connection
  // made again), so that no sentence joins them to what came before;
  bool (*readBeganAfresh)(void* source) = nullptr;
  // where the source reads, said while nothing has come from it ("connected to
  // 192.168.1.10:10110"); any thread.
  std::u16string (*where)(void* source) = nullptr;
};

extern const GpsSourceKind kSerialSource;    // the platform's serial ports
extern const GpsSourceKind kDemoSource;      // "DEMO:", the simulated receiver
extern const GpsSourceKind kAutoSource;      // "auto:", every serial port present, hunted at once
extern const GpsSourceKind kLocationSource;  // "location:", the system's location service
extern const GpsSourceKind kNetworkSource;   // "tcp:", "udp:" and "gpsd:"

// "location:" in any case.
bool IsLocationPortName(const char16_t* portText);

// An open source of some kind, or none.
struct GpsSource {
  const GpsSourceKind* kind = nullptr;
  void* handle = nullptr;
};

// The kind that portText picks: the first whose name test its name (the text
// without an "@speed" suffix) passes; a text that no built-in source takes names
// a serial port.
const GpsSourceKind& FindGpsSourceKind(const char16_t* portText);

// Opens through the picked kind, telling the user nothing: a closed source
// with problem filled in on failure. An "@speed" suffix fixes the speed (kinds
// without a line speed ignore it); else the source starts at baudRate.
GpsSource OpenGpsSource(const char16_t* portText, uint32_t baudRate, GpsPortProblem& problem);
bool IsGpsSourceOpen(const GpsSource& source);
std::ptrdiff_t ReadGpsSource(const GpsSource& source, char* buffer, std::size_t capacity);
void WakeGpsSource(const GpsSource& source);
bool GpsSourceMayReturn(const GpsSource& source);
bool GpsSourceRestarted(const GpsSource& source);
std::u16string DescribeGpsSource(const GpsSource& source, std::u16string_view gpsDetail);
void CloseGpsSource(GpsSource& source);
// The optional parts of the kind: false and empty where it has none.
bool GpsSourceReadBeganAfresh(const GpsSource& source);
std::u16string GpsSourceWhere(const GpsSource& source);

// For a kind whose open may take long (a connect): while it runs, how a stop or a
// start that gives up cuts it short; null wake when it is over. Called on the
// reader thread from inside the open; wakes at once when the stop came first.
void NoteGpsOpenInProgress(void (*wake)(void* handle), void* handle);

// One read of at most kGpsReadSize bytes from the reader's current source into
// the buffer, with a NUL after them: the count; 0 with no source or nothing
// read, the buffer then left as it was when there is no source.
std::size_t ReadGpsPort(char (&readBuffer)[kGpsReadSize + 1]);
