// Publication of the found position: the text chosen by the settings, then the
// clipboard.
#include "locator/publish.h"

#include <string_view>

#include "common/utf8.h"
#include "locator/position_text.h"
#include "platform/clipboard.h"

bool CopyTextToClipboard(const char16_t* text, std::size_t blockBytes) {
  const std::size_t capacity = blockBytes / sizeof(char16_t);
  if (capacity == 0) return false;
  std::size_t length = 0;
  while (length + 1 < capacity && text[length]) ++length;
  // A cut never leaves half of a surrogate pair at the end.
  if (text[length] && length > 0 && utf8::IsHighSurrogate(text[length - 1])) --length;
  return PutTextOnClipboard(std::u16string_view(text, length));
}

PublishResult PublishPosition(double latitude, double longitude, const Settings& settings) {
  if (settings.coordinatesOnly) {
    char16_t text[kCoordinatesTextSize];
    FormatCoordinates(latitude, longitude, text);
    return CopyTextToClipboard(text, kCoordinatesBlockBytes) ? PublishResult::Coordinates
                                                              : PublishResult::None;
  }
  char16_t url[kMapUrlSize];
  FormatMapUrl(latitude, longitude, settings.mapType, settings.liteMap != 0, url);
  return CopyTextToClipboard(url, kMapUrlBlockBytes) ? PublishResult::MapUrl
                                                     : PublishResult::None;
}
