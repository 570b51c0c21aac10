// The "COMn:" port names that Windows gives serial ports.
#include "common/com_port_name.h"

#include "common/ascii_case.h"

unsigned ComPortNumber(std::u16string_view name) {
  if (!StartsWithIgnoringAsciiCase(name, u"COM")) return 0;
  std::u16string_view digits = name.substr(3);
  if (!digits.empty() && digits.back() == u':') digits.remove_suffix(1);
  if (digits.empty() || digits.size() > 4) return 0;
  unsigned number = 0;
  for (char16_t c : digits) {
    if (c < u'0' || c > u'9') return 0;
    number = number * 10 + unsigned(c - u'0');
  }
  return number;
}

std::u16string ComPortName(unsigned number) {
  const std::string digits = std::to_string(number);
  return u"COM" + std::u16string(digits.begin(), digits.end()) + u":";
}
