// The network forms of the port text: tcp:, udp: and gpsd: with names, IPv4, [IPv6] and ports.
#include <gtest/gtest.h>

#include "common/utf8.h"
#include "locator/reader/network_name.h"

namespace {

const char* KindName(NetworkSourceKind kind) {
  switch (kind) {
    case NetworkSourceKind::Tcp: return "tcp";
    case NetworkSourceKind::Udp: return "udp";
    case NetworkSourceKind::Gpsd: return "gpsd";
  }
  return "?";
}

TEST(NetworkName, WellFormedTexts) {
  const struct {
    std::u16string text;
    NetworkSourceKind kind;
    std::string host;
    uint16_t port;
    std::string place;
  } cases[] = {
      {u"tcp:192.168.1.10:10110", NetworkSourceKind::Tcp, "192.168.1.10", 10110,
       "192.168.1.10:10110"},
      {u"TCP:boat-gw.local:2000", NetworkSourceKind::Tcp, "boat-gw.local", 2000,
       "boat-gw.local:2000"},
      {u"tcp:[::1]:10110", NetworkSourceKind::Tcp, "::1", 10110, "[::1]:10110"},
      {u"tcp:[fe80::1%wlan0]:1", NetworkSourceKind::Tcp, "fe80::1%wlan0", 1, "[fe80::1%wlan0]:1"},
      {u"tcp:[::ffff:10.0.0.1]:65535", NetworkSourceKind::Tcp, "::ffff:10.0.0.1", 65535,
       "[::ffff:10.0.0.1]:65535"},
      {u"udp:10110", NetworkSourceKind::Udp, "", 10110, "port 10110"},
      {u"Udp:192.168.1.255:10110", NetworkSourceKind::Udp, "192.168.1.255", 10110,
       "192.168.1.255:10110"},
      {u"udp:[::]:10110", NetworkSourceKind::Udp, "::", 10110, "[::]:10110"},
      {u"gpsd:", NetworkSourceKind::Gpsd, "127.0.0.1", 2947, "127.0.0.1:2947"},
      {u"GPSD:", NetworkSourceKind::Gpsd, "127.0.0.1", 2947, "127.0.0.1:2947"},
      {u"GPSD:2948", NetworkSourceKind::Gpsd, "127.0.0.1", 2948, "127.0.0.1:2948"},
      {u"gpsd:65535", NetworkSourceKind::Gpsd, "127.0.0.1", 65535, "127.0.0.1:65535"},
      {u"gpsd:12x", NetworkSourceKind::Gpsd, "12x", 2947, "12x:2947"},
      {u"gpsd:pi.local", NetworkSourceKind::Gpsd, "pi.local", 2947, "pi.local:2947"},
      {u"gpsd:10.0.0.5:3000", NetworkSourceKind::Gpsd, "10.0.0.5", 3000, "10.0.0.5:3000"},
      {u"gpsd:[::1]", NetworkSourceKind::Gpsd, "::1", 2947, "[::1]:2947"},
      {u"gpsd:[::1]:2950", NetworkSourceKind::Gpsd, "::1", 2950, "[::1]:2950"},
      {u"gpsd:00080", NetworkSourceKind::Gpsd, "127.0.0.1", 80, "127.0.0.1:80"},
  };
  for (const auto& c : cases) {
    const std::string text = utf8::Utf16ToUtf8(c.text);
    NetworkName name;
    std::string problem;
    ASSERT_TRUE(IsNetworkName(c.text.c_str())) << text;
    ASSERT_TRUE(ParseNetworkName(c.text, name, problem)) << text << ": " << problem;
    EXPECT_STREQ(KindName(name.kind), KindName(c.kind)) << text;
    EXPECT_EQ(name.host, c.host) << text;
    EXPECT_EQ(name.port, c.port) << text;
    EXPECT_EQ(NetworkPlace(name), c.place) << text;
    EXPECT_EQ(problem, "") << text;
  }
}

TEST(NetworkName, MalformedTextsSayWhatIsWrong) {
  const struct {
    std::u16string text;
    std::string problem;
  } cases[] = {
      {u"tcp:", "tcp: needs a host and a port, as in tcp:192.168.1.10:10110"},
      {u"tcp:host", "tcp: a port must follow the host, as in tcp:192.168.1.10:10110"},
      {u"tcp:host:", "tcp: a port must follow the host, as in tcp:192.168.1.10:10110"},
      {u"tcp:10110", "tcp: a port must follow the host, as in tcp:192.168.1.10:10110"},
      {u"tcp::10110", "tcp: a host is missing, as in tcp:192.168.1.10:10110"},
      {u"tcp:host:0",
       "tcp: the port must be a number from 1 to 65535, as in tcp:192.168.1.10:10110"},
      {u"tcp:host:65536",
       "tcp: the port must be a number from 1 to 65535, as in tcp:192.168.1.10:10110"},
      {u"tcp:host:123456",
       "tcp: the port must be a number from 1 to 65535, as in tcp:192.168.1.10:10110"},
      {u"tcp:host:-1",
       "tcp: the port must be a number from 1 to 65535, as in tcp:192.168.1.10:10110"},
      {u"tcp:::1:10110",
       "tcp: an IPv6 address goes in brackets, and a port after it, as in tcp:[::1]:10110"},
      {u"tcp:[::1:10110",
       "tcp: an IPv6 address goes in brackets, and a port after it, as in tcp:[::1]:10110"},
      {u"tcp:[::1]10110",
       "tcp: an IPv6 address goes in brackets, and a port after it, as in tcp:[::1]:10110"},
      {u"tcp:[::1]:", "tcp: a port must follow the host, as in tcp:192.168.1.10:10110"},
      {u"tcp:[1.2.3.4]:5",
       "tcp: \"1.2.3.4\" is no host name or address, as in tcp:192.168.1.10:10110"},
      {u"tcp:[]:5", "tcp: a host is missing, as in tcp:192.168.1.10:10110"},
      {u"tcp:bad host:5",
       "tcp: \"bad host\" is no host name or address, as in tcp:192.168.1.10:10110"},
      {u"tcp:h\u00f6st:5",
       "tcp: \"h\xc3\xb6st\" is no host name or address, as in tcp:192.168.1.10:10110"},
      {u"udp:", "udp: needs a port, as in udp:10110"},
      {u"udp:0", "udp: the port must be a number from 1 to 65535, as in udp:10110"},
      {u"udp:10.0.0.1", "udp: a port must follow the address, as in udp:10110"},
      {u"gpsd:0", "gpsd: the port must be a number from 1 to 65535, as in gpsd:192.168.1.10:2947"},
      {u"gpsd:70000",
       "gpsd: the port must be a number from 1 to 65535, as in gpsd:192.168.1.10:2947"},
      {u"gpsd:host:x",
       "gpsd: the port must be a number from 1 to 65535, as in gpsd:192.168.1.10:2947"},
      {u"gpsd:[::1",
       "gpsd: an IPv6 address goes in brackets, and a port after it, as in gpsd:[::1]:2947"},
  };
  for (const auto& c : cases) {
    const std::string text = utf8::Utf16ToUtf8(c.text);
    NetworkName name;
    std::string problem;
    EXPECT_FALSE(ParseNetworkName(c.text, name, problem)) << text;
    EXPECT_EQ(problem, c.problem) << text;
  }
}

TEST(NetworkName, OtherTextsAreNoNetworkNames) {
  for (const std::u16string text : {u"COM1:", u"DEMO:", u"/dev/ttyUSB0", u"gpsd", u"tcp",
                                    u"xtcp:h:1", u"location:", u"", u"ttyACM0", u"xgpsd:"}) {
    NetworkName name;
    std::string problem;
    EXPECT_FALSE(IsNetworkName(text.c_str())) << utf8::Utf16ToUtf8(text);
    EXPECT_FALSE(ParseNetworkName(text, name, problem)) << utf8::Utf16ToUtf8(text);
    EXPECT_EQ(problem, "") << utf8::Utf16ToUtf8(text);
  }
}

}  // namespace
