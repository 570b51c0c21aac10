// The "@speed" suffix of a port text.
#include "locator/reader/port_speed.h"

namespace {

constexpr std::size_t kMostDigits = 7;  // 4000000 baud is the fastest a line takes

}  // namespace

PortSpeed SplitPortSpeed(std::u16string_view portText) {
  const std::size_t at = portText.rfind(u'@');
  if (at == std::u16string_view::npos) return {portText, 0};
  const std::u16string_view digits = portText.substr(at + 1);
  if (digits.empty() || digits.size() > kMostDigits) return {portText, 0};
  uint32_t speed = 0;
  for (const char16_t c : digits) {
    if (c < u'0' || c > u'9') return {portText, 0};
    speed = speed * 10 + uint32_t(c - u'0');
  }
  if (speed == 0) return {portText, 0};
  return {portText.substr(0, at), speed};
}
