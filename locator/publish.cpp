// Publication of the found position: the text chosen by the settings, then the
// clipboard.
#include "locator/publish.h"

#include <string_view>

#include "common/utf8.h"
#include "locator/position_text.h"
#include "platform/clipboard.h"

namespace {

// What of text a block of blockBytes holds with its terminator; a cut never
// leaves half of a surrogate pair at the end.
std::u16string_view CutToBlock(const char16_t* text, std::size_t blockBytes) {
  const std::size_t capacity = blockBytes / sizeof(char16_t);
  std::size_t length = 0;
  while (length + 1 < capacity && text[length]) ++length;
  if (text[length] && length > 0 && utf8::IsHighSurrogate(text[length - 1])) --length;
  return {text, length};
}

bool Publish(const char16_t* text, std::size_t blockBytes, std::u16string* copied) {
  if (blockBytes < sizeof(char16_t)) return false;
  const std::u16string_view cut = CutToBlock(text, blockBytes);
  if (!PutTextOnClipboard(cut)) return false;
  if (copied) copied->assign(cut);
  return true;
}

}  // namespace

bool CopyTextToClipboard(const char16_t* text, std::size_t blockBytes) {
  return Publish(text, blockBytes, nullptr);
}

PublishResult PublishPosition(double latitude, double longitude, const Settings& settings,
                              std::u16string* copied) {
  if (settings.coordinatesOnly) {
    char16_t text[kCoordinatesTextSize];
    FormatCoordinates(latitude, longitude, text);
    return Publish(text, kCoordinatesBlockBytes, copied) ? PublishResult::Coordinates
                                                         : PublishResult::None;
  }
  char16_t url[kMapUrlSize];
  FormatMapUrl(latitude, longitude, settings.mapType, settings.liteMap != 0, url);
  return Publish(url, kMapUrlBlockBytes, copied) ? PublishResult::MapUrl : PublishResult::None;
}
