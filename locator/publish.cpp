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

}  // namespace

bool CopyTextToClipboard(const char16_t* text, std::size_t blockBytes) {
  return blockBytes >= sizeof(char16_t) && PutTextOnClipboard(CutToBlock(text, blockBytes));
}

PublishResult ComposePosition(double latitude, double longitude, const Settings& settings,
                              std::u16string& text) {
  if (settings.coordinatesOnly) {
    char16_t coordinates[kCoordinatesTextSize];
    FormatCoordinates(latitude, longitude, coordinates);
    text = CutToBlock(coordinates, kCoordinatesBlockBytes);
    return PublishResult::Coordinates;
  }
  char16_t url[kMapUrlSize];
  FormatMapUrl(latitude, longitude, settings.mapType, settings.liteMap != 0, url);
  text = CutToBlock(url, kMapUrlBlockBytes);
  return PublishResult::MapUrl;
}

PublishResult PublishPosition(double latitude, double longitude, const Settings& settings,
                              std::u16string* copied, std::u16string* why) {
  std::u16string text;
  const PublishResult kind = ComposePosition(latitude, longitude, settings, text);
  const bool put = PutTextOnClipboard(text, why);
  if (copied) *copied = std::move(text);
  return put ? kind : PublishResult::None;
}
