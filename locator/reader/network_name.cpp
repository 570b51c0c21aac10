// Reads the network forms of the port text: which kind, which host, which port.
#include "locator/reader/network_name.h"

#include "common/ascii_case.h"
#include "common/utf8.h"

namespace {

struct Form {
  std::u16string_view prefix;
  NetworkSourceKind kind;
  const char* example;
};

constexpr Form kForms[] = {
    {u"tcp:", NetworkSourceKind::Tcp, "tcp:192.168.1.10:10110"},
    {u"udp:", NetworkSourceKind::Udp, "udp:10110"},
    {u"gpsd:", NetworkSourceKind::Gpsd, "gpsd:192.168.1.10:2947"},
};

const Form* FormOf(std::u16string_view text) {
  for (const Form& form : kForms) {
    if (StartsWithIgnoringAsciiCase(text, form.prefix)) return &form;
  }
  return nullptr;
}

bool IsDigit(char16_t c) { return c >= u'0' && c <= u'9'; }

bool IsAllDigits(std::u16string_view text) {
  if (text.empty()) return false;
  for (char16_t c : text) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

bool IsNameCharacter(char16_t c) {
  return IsDigit(c) || (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'-' ||
         c == u'.' || c == u'_';
}

// Inside brackets: hex digits, ':' and '.' (an IPv4 tail), then an optional
// "%zone" naming the interface of a link-local address.
bool IsIpv6Text(std::u16string_view text) {
  const std::size_t zone = text.find(u'%');
  const std::u16string_view address = text.substr(0, zone);
  if (address.find(u':') == std::u16string_view::npos) return false;
  for (char16_t c : address) {
    if (!IsDigit(c) && !(FoldAscii(c) >= u'a' && FoldAscii(c) <= u'f') && c != u':' && c != u'.') {
      return false;
    }
  }
  if (zone == std::u16string_view::npos) return true;
  const std::u16string_view name = text.substr(zone + 1);
  if (name.empty()) return false;
  for (char16_t c : name) {
    if (!IsNameCharacter(c)) return false;
  }
  return true;
}

bool ReadPort(std::u16string_view digits, uint16_t& port) {
  if (!IsAllDigits(digits) || digits.size() > 5) return false;
  uint32_t number = 0;
  for (char16_t c : digits) number = number * 10 + uint32_t(c - u'0');
  if (number < 1 || number > 65535) return false;
  port = uint16_t(number);
  return true;
}

std::string Ascii(std::u16string_view text) { return std::string(text.begin(), text.end()); }

// Splits "HOST", "HOST:PORT", "[V6]" or "[V6]:PORT" into host and port text.
// False when brackets are unbalanced, what follows "]" is not ":PORT", or a bare
// host holds a second ':' (an IPv6 address written without brackets).
bool SplitHostAndPort(std::u16string_view rest, std::u16string_view& host,
                      std::u16string_view& port, bool& bracketed) {
  bracketed = !rest.empty() && rest[0] == u'[';
  if (bracketed) {
    const std::size_t close = rest.find(u']');
    if (close == std::u16string_view::npos) return false;
    host = rest.substr(1, close - 1);
    const std::u16string_view after = rest.substr(close + 1);
    port = after.empty() ? after : after.substr(1);
    return after.empty() || after[0] == u':';
  }
  const std::size_t colon = rest.find(u':');
  host = rest.substr(0, colon);
  port = colon == std::u16string_view::npos ? std::u16string_view() : rest.substr(colon + 1);
  return port.find(u':') == std::u16string_view::npos;
}

bool ReadHost(std::u16string_view text, bool bracketed, std::string& host) {
  if (bracketed) {
    if (!IsIpv6Text(text)) return false;
  } else {
    if (text.empty()) return false;
    for (char16_t c : text) {
      if (!IsNameCharacter(c)) return false;
    }
  }
  host = Ascii(text);
  return true;
}

}  // namespace

bool IsNetworkName(const char16_t* portText) { return portText && FormOf(portText) != nullptr; }

bool ParseNetworkName(std::u16string_view text, NetworkName& name, std::string& problem) {
  const Form* form = FormOf(text);
  if (!form) return false;
  const std::u16string_view rest = text.substr(form->prefix.size());
  const std::string prefix = Ascii(form->prefix);
  const std::string example = std::string(", as in ") + form->example;
  name = NetworkName{form->kind, "", 0};
  problem.clear();
  if (form->kind == NetworkSourceKind::Gpsd && rest.empty()) {
    name.host = "127.0.0.1";
    name.port = kGpsdDefaultPort;
    return true;
  }
  // A number alone is a port: gpsd's on the loopback address, or UDP's on every address.
  if (form->kind != NetworkSourceKind::Tcp && IsAllDigits(rest)) {
    if (form->kind == NetworkSourceKind::Gpsd) name.host = "127.0.0.1";
    if (ReadPort(rest, name.port)) return true;
    problem = prefix + " the port must be a number from 1 to 65535" + example;
    return false;
  }
  if (rest.empty()) {
    problem = prefix + " needs " +
              (form->kind == NetworkSourceKind::Udp ? "a port" : "a host and a port") + example;
    return false;
  }
  std::u16string_view hostText, portText;
  bool bracketed = false;
  if (!SplitHostAndPort(rest, hostText, portText, bracketed)) {
    problem = prefix + " an IPv6 address goes in brackets, and a port after it" +
              std::string(", as in ") + prefix +
              "[::1]:" + (form->kind == NetworkSourceKind::Gpsd ? "2947" : "10110");
    return false;
  }
  if (!ReadHost(hostText, bracketed, name.host)) {
    problem =
        prefix + " \"" + utf8::Utf16ToUtf8(hostText) + "\" is no host name or address" + example;
    if (hostText.empty()) problem = prefix + " a host is missing" + example;
    return false;
  }
  if (portText.empty() && form->kind == NetworkSourceKind::Gpsd) {
    name.port = kGpsdDefaultPort;
    return true;
  }
  if (portText.empty()) {
    problem = prefix + " a port must follow the " +
              (form->kind == NetworkSourceKind::Udp ? "address" : "host") + example;
    return false;
  }
  if (ReadPort(portText, name.port)) return true;
  problem = prefix + " the port must be a number from 1 to 65535" + example;
  return false;
}

std::string NetworkPlace(const NetworkName& name) {
  const std::string port = std::to_string(name.port);
  if (name.host.empty()) return "port " + port;
  const bool v6 = name.host.find(':') != std::string::npos;
  return (v6 ? "[" + name.host + "]" : name.host) + ":" + port;
}
