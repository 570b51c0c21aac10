// The Linux serial layer on real pseudo-terminals: exclusive open, line settings, raw reads, wake, hang-up.
#include <gtest/gtest.h>
#include <termios.h>

#include <atomic>
#include <thread>

#include "platform/posix/sources/serial_posix.h"
#include "platform/serial_port.h"
#include "serial/pty.h"

namespace {

using namespace std::chrono_literals;

struct OpenPort {
  explicit OpenPort(const std::u16string& name) : handle(OpenSerialPort(name.c_str())) {}
  ~OpenPort() { CloseSerialPort(handle); }
  SerialPortHandle handle;
};

std::string ReadOnce(SerialPortHandle port, std::size_t capacity = 512) {
  std::string buffer(capacity, '\0');
  const std::ptrdiff_t count = ReadSerialPort(port, buffer.data(), capacity);
  return count < 0 ? "<gone>" : buffer.substr(0, std::size_t(count));
}

TEST(SerialPort, OpensExclusivelyUntilClosed) {
  Pty pty;
  SerialPortHandle first = OpenSerialPort(pty.Name().c_str());
  ASSERT_NE(first, kInvalidSerialPort) << pty.Path();
  EXPECT_EQ(OpenSerialPort(pty.Name().c_str()), kInvalidSerialPort)
      << "a second open of " << pty.Path() << " must fail while the first holds it";
  CloseSerialPort(first);
  OpenPort again(pty.Name());
  EXPECT_NE(again.handle, kInvalidSerialPort) << "closing must release the port";
}

TEST(SerialPort, RefusesWhatIsNotASerialLine) {
  for (const char16_t* name :
       {u"/dev/quarvel-no-such-port", u"/dev/null", u"/etc/hostname", u"COM99:", u"", u"gpsd:0"}) {
    OpenPort port(name);
    EXPECT_EQ(port.handle, kInvalidSerialPort)
        << std::string(name, name + std::char_traits<char16_t>::length(name));
  }
}

TEST(SerialPort, SetsOnlyTheSpeedAndTakesInputRaw) {
  Pty pty;
  termios before{};
  ASSERT_EQ(tcgetattr(pty.Slave(), &before), 0);
  before.c_cflag = (before.c_cflag & ~tcflag_t(CSIZE)) | CS7 | PARENB | PARODD | CSTOPB | CRTSCTS;
  before.c_iflag |= ICRNL | INLCR | IXON | IXOFF;
  before.c_lflag |= ICANON | ECHO | ISIG | IEXTEN;
  before.c_oflag |= OPOST;
  cfsetispeed(&before, B9600);
  cfsetospeed(&before, B9600);
  ASSERT_EQ(tcsetattr(pty.Slave(), TCSANOW, &before), 0);
  // The pty driver itself forces 8 bits without parity; compare with what it holds.
  ASSERT_EQ(tcgetattr(pty.Slave(), &before), 0);
  ASSERT_EQ(before.c_cflag & (CSTOPB | PARODD | CRTSCTS), tcflag_t(CSTOPB | PARODD | CRTSCTS));

  OpenPort port(pty.Name());
  ASSERT_NE(port.handle, kInvalidSerialPort);
  ASSERT_TRUE(SetSerialPortSpeed(port.handle, 4800));

  termios after{};
  ASSERT_EQ(tcgetattr(pty.Slave(), &after), 0);
  EXPECT_EQ(cfgetispeed(&after), speed_t(B4800));
  EXPECT_EQ(cfgetospeed(&after), speed_t(B4800));
  const struct {
    const char* what;
    tcflag_t mask;
    tcflag_t was, now;
  } kept[] = {
      {"byte size", CSIZE, before.c_cflag, after.c_cflag},
      {"parity", PARENB | PARODD, before.c_cflag, after.c_cflag},
      {"stop bits", CSTOPB, before.c_cflag, after.c_cflag},
      {"hardware flow control", CRTSCTS, before.c_cflag, after.c_cflag},
  };
  for (const auto& k : kept) EXPECT_EQ(k.was & k.mask, k.now & k.mask) << k.what << " changed";
  EXPECT_EQ(after.c_lflag & (ICANON | ECHO | ECHOE | ECHOK | ECHONL | ISIG | IEXTEN), 0u);
  EXPECT_EQ(after.c_iflag & (ICRNL | INLCR | IGNCR | IXON | IXOFF), 0u);
  EXPECT_EQ(after.c_oflag & OPOST, 0u);
  EXPECT_EQ(after.c_cc[VMIN], 1);
  EXPECT_EQ(after.c_cc[VTIME], 0);
}

TEST(SerialPort, RawInputKeepsEveryLineSetting) {
  const struct {
    const char* what;
    tcflag_t cflag;
  } lines[] = {
      {"7E1", CS7 | PARENB | CREAD},
      {"7O2 with RTS/CTS", CS7 | PARENB | PARODD | CSTOPB | CRTSCTS | CREAD},
      {"8N1 local", CS8 | CLOCAL | CREAD},
      {"5N1", CS5 | CREAD},
  };
  for (const auto& line : lines) {
    termios settings{};
    settings.c_cflag = line.cflag;
    settings.c_iflag = ICRNL | INLCR | IGNCR | IXON | IXOFF | PARMRK | INPCK | ISTRIP;
    settings.c_lflag = ICANON | ECHO | ECHOE | ECHOK | ECHONL | ISIG | IEXTEN;
    settings.c_oflag = OPOST | ONLCR;
    cfsetispeed(&settings, B9600);
    cfsetospeed(&settings, B9600);
    MakeInputRaw(settings);
    EXPECT_EQ(settings.c_cflag & ~tcflag_t(CBAUD), line.cflag) << line.what;
    EXPECT_EQ(settings.c_iflag, tcflag_t(INPCK | ISTRIP)) << line.what << ": parity checks stay";
    EXPECT_EQ(settings.c_lflag, 0u) << line.what;
    EXPECT_EQ(settings.c_oflag & OPOST, 0u) << line.what;
    EXPECT_EQ(cfgetispeed(&settings), speed_t(B9600)) << line.what << ": speed is not its business";
  }
}

TEST(SerialPort, RefusesASpeedTheLineCannotTake) {
  Pty pty;
  OpenPort port(pty.Name());
  ASSERT_NE(port.handle, kInvalidSerialPort);
  EXPECT_FALSE(SetSerialPortSpeed(port.handle, 12345));
  EXPECT_FALSE(SetSerialPortSpeed(port.handle, 0));
  EXPECT_TRUE(SetSerialPortSpeed(port.handle, 115200));
}

TEST(SerialPort, PassesEveryByteUnchangedAndEchoesNothing) {
  Pty pty;
  OpenPort port(pty.Name());
  ASSERT_NE(port.handle, kInvalidSerialPort);
  ASSERT_TRUE(SetSerialPortSpeed(port.handle, 4800));
  // CR, LF, interrupt, end-of-file, XON/XOFF, erase, kill, suspend and 8-bit bytes.
  const std::string bytes("$GPTXT,a\r\nb\rc\n\x03\x04\x11\x13\x7f\x15\x1a\x1c\xff\xe9*", 23);
  pty.Write(bytes);
  EXPECT_EQ(ReadOnce(port.handle), bytes);
  EXPECT_EQ(pty.ReadBack(200ms), "") << "the port echoed bytes back to the receiver";
}

TEST(SerialPort, ReturnsABurstWholeThoughItComesInPieces) {
  Pty pty;
  OpenPort port(pty.Name());
  ASSERT_TRUE(SetSerialPortSpeed(port.handle, 4800));
  std::thread receiver([&] {
    pty.Write("$GPGGA,123519,4807.038,N,");
    std::this_thread::sleep_for(10ms);
    pty.Write("01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n");
  });
  EXPECT_EQ(ReadOnce(port.handle),
            "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n");
  receiver.join();
}

TEST(SerialPort, AQuietLineEndsTheRead) {
  Pty pty;
  OpenPort port(pty.Name());
  ASSERT_TRUE(SetSerialPortSpeed(port.handle, 4800));
  std::thread receiver([&] {
    pty.Write("first burst\r\n");
    std::this_thread::sleep_for(600ms);
    pty.Write("second burst\r\n");
  });
  EXPECT_EQ(ReadOnce(port.handle), "first burst\r\n");
  EXPECT_EQ(ReadOnce(port.handle), "second burst\r\n");
  receiver.join();
}

TEST(SerialPort, ReadsAtMostTheCapacity) {
  Pty pty;
  OpenPort port(pty.Name());
  ASSERT_TRUE(SetSerialPortSpeed(port.handle, 4800));
  std::string bytes;
  for (int i = 0; i < 700; ++i) bytes += char('A' + i % 26);
  pty.Write(bytes);
  std::string got = ReadOnce(port.handle);
  EXPECT_EQ(got.size(), 512u);
  got += ReadOnce(port.handle);
  EXPECT_EQ(got, bytes);
}

// A read of the port on a thread of its own; result stays -2 while it blocks.
struct BlockedRead {
  explicit BlockedRead(SerialPortHandle handle)
      : port(handle), reader([this] {
          char buffer[512];
          result = ReadSerialPort(port, buffer, sizeof buffer);
        }) {
    std::this_thread::sleep_for(100ms);
  }
  // The read's result once it has returned, or -2 when it is still blocked.
  std::ptrdiff_t Wait() {
    if (!WaitFor([&] { return result != -2; }, 5s)) return -2;
    reader.join();
    return result;
  }
  ~BlockedRead() {
    if (!reader.joinable()) return;
    WakeSerialPort(port);  // a read that never returned by itself
    reader.join();
  }
  SerialPortHandle port;
  std::atomic<std::ptrdiff_t> result{-2};
  std::thread reader;
};

TEST(SerialPort, WakeReleasesABlockedReadAtOnce) {
  Pty pty;
  OpenPort port(pty.Name());
  ASSERT_TRUE(SetSerialPortSpeed(port.handle, 4800));
  BlockedRead read(port.handle);
  EXPECT_EQ(read.result, -2) << "the read returned with no data and no wake";
  WakeSerialPort(port.handle);
  EXPECT_EQ(read.Wait(), 0) << "the wake did not release the read with nothing";
  char buffer[16];
  EXPECT_EQ(ReadSerialPort(port.handle, buffer, sizeof buffer), 0) << "a wake lasts";
}

TEST(SerialPort, UnpluggedDeviceEndsReadsAsGone) {
  Pty pty;
  OpenPort port(pty.Name());
  ASSERT_TRUE(SetSerialPortSpeed(port.handle, 4800));
  BlockedRead read(port.handle);
  pty.CloseMaster();
  EXPECT_EQ(read.Wait(), kSerialPortGone) << "the hang-up did not end the read as gone";
  char buffer[16];
  EXPECT_EQ(ReadSerialPort(port.handle, buffer, sizeof buffer), kSerialPortGone);
}

// The hunt sets each speed on the open port between reads, and drops what came at the old one.
TEST(SerialPort, SpeedChangedBetweenReadsDropsWhatCameBefore) {
  Pty pty;
  OpenPort port(pty.Name());
  ASSERT_TRUE(SetSerialPortSpeed(port.handle, 4800));
  const struct {
    uint32_t baud;
    speed_t speed;
  } speeds[] = {{9600, B9600},   {38400, B38400}, {115200, B115200},
                {57600, B57600}, {19200, B19200}, {4800, B4800}};
  for (const auto& s : speeds) {
    pty.Write("noise at the speed left");
    std::this_thread::sleep_for(20ms);
    ASSERT_TRUE(SetSerialPortSpeed(port.handle, s.baud)) << s.baud;
    DiscardSerialInput(port.handle);
    termios now{};
    ASSERT_EQ(tcgetattr(pty.Slave(), &now), 0);
    EXPECT_EQ(cfgetispeed(&now), s.speed) << "the pty's speed after setting " << s.baud;
    pty.Write("$GPTXT,at " + std::to_string(s.baud) + "*00");
    EXPECT_EQ(ReadOnce(port.handle), "$GPTXT,at " + std::to_string(s.baud) + "*00") << s.baud;
  }
}

TEST(SerialPort, ReadWithinAWaitReturnsNothingOnceItPasses) {
  Pty pty;
  OpenPort port(pty.Name());
  ASSERT_TRUE(SetSerialPortSpeed(port.handle, 4800));
  char buffer[64];
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(ReadSerialPortWithin(port.handle, buffer, sizeof buffer, 150ms), 0);
  EXPECT_GE(std::chrono::steady_clock::now() - start, 150ms) << "returned before the wait passed";
  pty.Write("$GPTXT*00");
  EXPECT_EQ(ReadSerialPortWithin(port.handle, buffer, sizeof buffer, 5s), 9) << "bytes within it";
}

}  // namespace
