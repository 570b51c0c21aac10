// The GPS port reader end to end: a pseudo-terminal receiver, the reader thread and GpsState.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "common/utf8.h"
#include "locator/reader/gps_reader.h"
#include "locator/reader/gps_source.h"
#include "nmea/parser.h"
#include "platform/model/dialog_model.h"
#include "serial/pty.h"

namespace {

using namespace std::chrono_literals;

constexpr char kFixBurst[] =
    "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n"
    "$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A\r\n";
constexpr double kFixLatitude = 48 + 7.038 / 60;
constexpr double kFixLongitude = 11 + 31.0 / 60;

double Latitude() {
  double latitude = 0;
  GetGpsFix(&latitude, nullptr, nullptr);
  return latitude;
}

class GpsReaderTest : public testing::Test {
 protected:
  void SetUp() override { ResetGpsState(); }
  void TearDown() override {
    StopGpsReader();
    EXPECT_TRUE(WaitGpsReaderStopped(10s)) << "the reader thread did not end";
  }
  MessageBoxRecorder boxes_;  // what the user was told
};

TEST_F(GpsReaderTest, SentencesFromThePortReachTheGpsState) {
  Pty pty;
  ASSERT_TRUE(StartGpsReader(pty.Name().c_str(), 4800));
  EXPECT_TRUE(boxes_.Boxes().empty());
  pty.Write(kFixBurst);
  ASSERT_TRUE(WaitFor([] { return Latitude() != 0; }, 10s)) << "no position reached GpsState";
  double latitude = 0, longitude = 0;
  uint8_t valid = 0;
  GetGpsFix(&latitude, &longitude, &valid);
  EXPECT_NEAR(latitude, kFixLatitude, 1e-9);
  EXPECT_NEAR(longitude, kFixLongitude, 1e-9);
  EXPECT_EQ(valid, 1);
}

TEST_F(GpsReaderTest, StopEndsAReaderBlockedInARead) {
  Pty pty;
  ASSERT_TRUE(StartGpsReader(pty.Name().c_str(), 4800));
  std::this_thread::sleep_for(200ms);
  EXPECT_FALSE(WaitGpsReaderStopped(0ms)) << "the reader ended before it was stopped";
  StopGpsReader();
  EXPECT_TRUE(WaitGpsReaderStopped(10s));
  // The reader closed the port as it ended, so it can be opened again.
  SerialPortHandle again = OpenSerialPort(pty.Name().c_str());
  EXPECT_NE(again, kInvalidSerialPort) << "the stopped reader kept the port";
  CloseSerialPort(again);
}

TEST_F(GpsReaderTest, PortErrorsAreToldAndTheStartFails) {
  Pty busy;
  SerialPortHandle holder = OpenSerialPort(busy.Name().c_str());
  ASSERT_NE(holder, kInvalidSerialPort);
  Pty slow;
  const struct {
    std::u16string name;
    uint32_t baudRate;
    const char16_t* message;
  } cases[] = {
      {u"/dev/quarvel-no-such-port", 4800, u"Error Opening Comms Port."},
      {busy.Name(), 4800, u"Error Opening Comms Port."},
      {u"/etc/hostname", 4800, u"Error Opening Comms Port."},
      {slow.Name(), 12345, u"Can't configure GPS-port."},
  };
  std::size_t shown = 0;
  for (const auto& c : cases) {
    const std::string name(c.name.begin(), c.name.end());
    EXPECT_FALSE(StartGpsReader(c.name.c_str(), c.baudRate)) << name;
    const std::vector<RecordedMessageBox> boxes = boxes_.Boxes();
    ASSERT_EQ(boxes.size(), ++shown) << name << ": one box per failed start";
    EXPECT_TRUE(boxes.back().text == c.message) << name;
    EXPECT_TRUE(boxes.back().caption == u"Error!") << name;
    EXPECT_EQ(boxes.back().flags, 0x10u) << name;
    EXPECT_EQ(boxes.back().owner, nullptr) << name;
  }
  CloseSerialPort(holder);
  // The refused speed left the port closed.
  SerialPortHandle again = OpenSerialPort(slow.Name().c_str());
  EXPECT_NE(again, kInvalidSerialPort);
  CloseSerialPort(again);
}

// The box's detail: the path tried and the system's words (their start; the
// words after it are the C library's).
TEST_F(GpsReaderTest, PortErrorsSayWhy) {
  Pty busy;
  SerialPortHandle holder = OpenSerialPort(busy.Name().c_str());
  ASSERT_NE(holder, kInvalidSerialPort);
  Pty slow;
  const struct {
    std::u16string name;
    uint32_t baudRate;
    std::string reason;
  } cases[] = {
      {u"/dev/quarvel-no-such-port", 4800, "/dev/quarvel-no-such-port: No such file or directory"},
      {busy.Name(), 4800, busy.Path() + ": in use by another program ("},
      {u"/etc/hostname", 4800, "/etc/hostname: not a serial device ("},
      {u"..", 4800, "\"..\" names no device"},
      {u"gpsd:0", 4800, "gpsd: the port must be a number from 1 to 65535"},
      {slow.Name(), 12345, "the device refused 12345 baud ("},
  };
  for (const auto& c : cases) {
    const std::string name = utf8::Utf16ToUtf8(c.name);
    EXPECT_FALSE(StartGpsReader(c.name.c_str(), c.baudRate)) << name;
    ASSERT_FALSE(boxes_.Boxes().empty()) << name;
    const std::string detail = utf8::Utf16ToUtf8(boxes_.Boxes().back().detail);
    EXPECT_TRUE(detail.starts_with(c.reason)) << name << ": " << detail;
  }
  CloseSerialPort(holder);
}

TEST_F(GpsReaderTest, AReaderWithoutAPortWaitsWithoutSpinning) {
  EXPECT_FALSE(StartGpsReader(u"/dev/quarvel-no-such-port", 4800));
  EXPECT_FALSE(WaitGpsReaderStopped(100ms)) << "the reader thread runs even without a port";
  const double before = ProcessCpuMilliseconds();
  std::this_thread::sleep_for(1s);
  EXPECT_LT(ProcessCpuMilliseconds() - before, 200.0) << "CPU milliseconds used in one idle second";
  StopGpsReader();
  EXPECT_TRUE(WaitGpsReaderStopped(10s));
}

TEST_F(GpsReaderTest, UnpluggedReceiverCostsNoCpuAndStopStillWorks) {
  Pty pty;
  ASSERT_TRUE(StartGpsReader(pty.Name().c_str(), 4800));
  pty.Write(kFixBurst);
  ASSERT_TRUE(WaitFor([] { return Latitude() != 0; }, 10s));
  pty.CloseMaster();
  std::this_thread::sleep_for(200ms);
  const double before = ProcessCpuMilliseconds();
  std::this_thread::sleep_for(1s);
  EXPECT_LT(ProcessCpuMilliseconds() - before, 200.0)
      << "CPU milliseconds used in one second unplugged";
  StopGpsReader();
  EXPECT_TRUE(WaitGpsReaderStopped(10s));
}

// A device name that is a symlink, moved to a new terminal as udev does on a replug.
class ReplugByName {
 public:
  ReplugByName() : dir_(testing::TempDir() + "quarvel-reconnect-" + std::to_string(getpid())) {
    std::filesystem::create_directories(dir_);
  }
  ~ReplugByName() { std::filesystem::remove_all(dir_); }
  std::u16string Name() const {
    const std::string link = Link();
    return std::u16string(link.begin(), link.end());
  }
  void PointAt(const Pty& pty) const {
    std::filesystem::remove(Link() + ".new");
    std::filesystem::create_symlink(pty.Path(), Link() + ".new");
    std::filesystem::rename(Link() + ".new", Link());
  }

 private:
  std::string Link() const { return dir_ + "/gps"; }
  std::string dir_;
};

TEST_F(GpsReaderTest, AReceiverPluggedBackInIsReadAgain) {
  ReplugByName device;
  auto first = std::make_unique<Pty>();
  device.PointAt(*first);
  ASSERT_TRUE(StartGpsReader(device.Name().c_str(), 4800));
  first->CloseMaster();
  Pty second;
  device.PointAt(second);
  first.reset();
  // Bytes written before the reader has reopened the port may be lost: repeat.
  EXPECT_TRUE(WaitFor(
      [&] {
        second.Write(kFixBurst);
        std::this_thread::sleep_for(100ms);
        return Latitude() != 0;
      },
      15s))
      << "the reader did not reopen the port by its name";
}

TEST_F(GpsReaderTest, HalfASentenceFromTheOldLineIsNotCompletedByTheNewOne) {
  ReplugByName device;
  auto first = std::make_unique<Pty>();
  device.PointAt(*first);
  ASSERT_TRUE(StartGpsReader(device.Name().c_str(), 4800));
  // One full read that ends inside a GGA, so its beginning is carried over.
  const std::string zda = "$GPZDA,201530.00,04,07,2002,00,00*60\r\n";
  const std::string head = "$GPGGA,123519,4807.038,N,01131";
  std::string full;
  while (full.size() + zda.size() + head.size() <= kGpsReadSize) full += zda;
  full += std::string(kGpsReadSize - full.size() - head.size(), ' ') + head;
  ASSERT_EQ(full.size(), kGpsReadSize);
  first->Write(full);
  ASSERT_TRUE(WaitFor([] { return CopyGpsState().zda.year == 2002; }, 10s));
  first->CloseMaster();
  Pty second;
  device.PointAt(second);
  first.reset();
  const std::string tail = ".000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
  const std::string rmc = "$GPRMC,123520,A,,,,,022.4,084.4,230394,003.1,W*6A\r\n";
  ASSERT_TRUE(WaitFor(
      [&] {
        second.Write(tail + rmc);
        std::this_thread::sleep_for(100ms);
        return CopyGpsState().rmc.status == 'A';
      },
      15s))
      << "the reader did not reopen the port by its name";
  const GpsState state = CopyGpsState();
  EXPECT_EQ(state.gga.tag[0], '\0') << "a GGA was made of bytes from two lines";
  EXPECT_EQ(Latitude(), 0);
  EXPECT_TRUE(std::string(state.other.text).starts_with(tail.substr(0, 12)))
      << state.other.text << "\nthe new line's first bytes are to be a fragment of their own";
}

// Whether some other process or descriptor holds the exclusive claim on path.
bool IsClaimed(const std::string& path) {
  const int fd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return false;
  const bool claimed = flock(fd, LOCK_EX | LOCK_NB) != 0;
  close(fd);
  return claimed;
}

TEST_F(GpsReaderTest, AGonePseudoTerminalsNumberIsLeftToItsNextOwner) {
  auto first = std::make_unique<Pty>();
  const std::string path = first->Path();
  ASSERT_TRUE(StartGpsReader(first->Name().c_str(), 4800));
  first->Write(kFixBurst);
  ASSERT_TRUE(WaitFor([] { return Latitude() != 0; }, 10s));
  ResetGpsState();
  first.reset();  // gone; the number is free once the reader lets go of it
  std::unique_ptr<Pty> next;
  ASSERT_TRUE(WaitFor(
      [&] {
        next = std::make_unique<Pty>();
        return next->Path() == path;
      },
      10s))
      << "the system did not hand out " << path << " again";
  for (int i = 0; i < 10; ++i) {
    next->Write(kFixBurst);
    std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(IsClaimed(path)) << "the reader took the new terminal " << path;
  }
  EXPECT_EQ(Latitude(), 0) << "the reader read the new terminal " << path;
}

TEST_F(GpsReaderTest, ReadBufferEndsWithNulAndNeedsAPort) {
  char buffer[kGpsReadSize + 1];
  std::fill(std::begin(buffer), std::end(buffer), 'x');
  EXPECT_FALSE(StartGpsReader(u"/dev/quarvel-no-such-port", 4800));
  StopGpsReader();
  ASSERT_TRUE(WaitGpsReaderStopped(10s));
  EXPECT_EQ(ReadGpsPort(buffer), 0u);
  EXPECT_EQ(buffer[0], 'x') << "a read without a port must leave the buffer alone";
}

// What the status window shows under "Waiting for GPS-data...": a line that
// hung up is said at once, and whether the reader waits for it to return.
TEST_F(GpsReaderTest, TheWaitSaysWhenThePortIsGone) {
  ReplugByName device;
  const auto returning = std::make_unique<Pty>();
  device.PointAt(*returning);
  auto once = std::make_unique<Pty>();
  const struct {
    std::u16string name;
    Pty* pty;
    const char* gone;
  } cases[] = {
      {device.Name(), returning.get(), "the port is gone, waiting for it to come back"},
      {once->Name(), once.get(), "the port is gone"},  // a pseudo-terminal's number is not its own
  };
  for (const auto& c : cases) {
    ResetGpsState();
    const std::string name = utf8::Utf16ToUtf8(c.name);
    ASSERT_TRUE(StartGpsReader(c.name.c_str(), 4800)) << name;
    EXPECT_EQ(utf8::Utf16ToUtf8(DescribeGpsReaderWait()), "no data from the port yet") << name;
    c.pty->CloseMaster();
    EXPECT_TRUE(WaitFor([&] { return utf8::Utf16ToUtf8(DescribeGpsReaderWait()) == c.gone; }, 10s))
        << name << ": " << utf8::Utf16ToUtf8(DescribeGpsReaderWait());
    StopGpsReader();
    ASSERT_TRUE(WaitGpsReaderStopped(10s));
  }
}

}  // namespace

// What the wait says while the reader hunts the speed and "auto:" looks for the
// port: each expected text in turn, and the position at the end.
TEST_F(GpsReaderTest, TheWaitTellsTheHuntAndTheSearch) {
  const struct {
    const char* what;
    const char16_t* port;  // nullptr: the receiver's own terminal
    bool byAuto;
    std::vector<std::string> said;
  } cases[] = {
      {"a receiver at 38400",
       nullptr,
       false,
       {"bytes but no NMEA at 4800 baud", "bytes but no NMEA at 4800 baud, trying 9600",
        "bytes but no NMEA at 9600 baud, trying 38400", "found NMEA at 38400 baud, "}},
      {"the same found by auto:",
       u"auto:",
       true,
       {"trying 2 ports, none has sent NMEA yet", "found NMEA on "}},
  };
  for (const auto& c : cases) {
    ResetGpsState();
    SpeedReceiver silent(0, "");
    SpeedReceiver receiver(38400, kFixBurst);
    char pattern[] = "/tmp/quarvel-dev-XXXXXX";
    const std::string root = mkdtemp(pattern);
    std::filesystem::create_symlink(silent.Line().Path(), root + "/ttyUSB0");
    std::filesystem::create_symlink(receiver.Line().Path(), root + "/ttyUSB1");
    setenv("QUARVEL_DEVICE_DIR", root.c_str(), 1);
    ASSERT_TRUE(StartGpsReader(c.port ? c.port : receiver.Line().Name().c_str(), 4800)) << c.what;
    std::vector<std::string> seen;
    const bool found = WaitFor(
        [&] {
          const std::string now = utf8::Utf16ToUtf8(DescribeGpsReaderWait());
          if (seen.empty() || seen.back() != now) seen.push_back(now);
          return Latitude() != 0;
        },
        30s);
    seen.push_back(utf8::Utf16ToUtf8(DescribeGpsReaderWait()));  // after the position came
    StopGpsReader();
    EXPECT_TRUE(WaitGpsReaderStopped(10s));
    unsetenv("QUARVEL_DEVICE_DIR");
    std::filesystem::remove_all(root);
    EXPECT_TRUE(found) << c.what;
    std::string all;
    for (const std::string& text : seen) all += "\n  " + text;
    std::size_t next = 0;
    for (const std::string& text : seen) {
      if (next < c.said.size() && text.starts_with(c.said[next])) ++next;
    }
    EXPECT_EQ(next, c.said.size()) << c.what << ": the wait said" << all;
  }
}
