// Publication of the found position: the text chosen by the settings, then the
// clipboard.
#include "locator/publish.h"

#include <string_view>

#include "common/map_host_check.h"
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

PositionRecord BarePosition(double latitude, double longitude) {
  PositionRecord record;
  record.latitude = latitude;
  record.longitude = longitude;
  return record;
}

}  // namespace

bool CopyTextToClipboard(const char16_t* text, std::size_t blockBytes) {
  return blockBytes >= sizeof(char16_t) && PutTextOnClipboard(CutToBlock(text, blockBytes));
}

PositionChoice ChoosePositionForm(const Settings& settings, std::u16string_view formatOption,
                                  std::u16string_view mapHostOption) {
  PositionChoice choice;
  choice.format = settings.coordinatesOnly ? PositionFormat::Ddm : PositionFormat::Url;
  if (const auto saved = FindPositionFormat(settings.format)) choice.format = *saved;
  if (const auto given = FindPositionFormat(formatOption)) choice.format = *given;
  choice.map.mapType = settings.mapType;
  choice.map.liteMap = settings.liteMap != 0;
  if (IsMapHost(settings.mapHost)) choice.map.host = settings.mapHost;
  // The view is a whole string's, so its data ends with a terminator, as a host's must.
  if (!mapHostOption.empty()) choice.map.host = mapHostOption.data();
  return choice;
}

PublishResult ComposePosition(const PositionRecord& record, const PositionChoice& choice,
                              std::u16string& text) {
  text = FormatPosition(choice.format, record, choice.map);
  switch (choice.format) {
    case PositionFormat::Ddm:
      text = CutToBlock(text.c_str(), kCoordinatesBlockBytes);
      return PublishResult::Coordinates;
    case PositionFormat::Url:
      text = CutToBlock(text.c_str(), kMapUrlBlockBytes);
      return PublishResult::MapUrl;
    case PositionFormat::Osm:
    case PositionFormat::Geo: return PublishResult::MapUrl;
    default: return PublishResult::Coordinates;
  }
}

PublishResult ComposePosition(double latitude, double longitude, const Settings& settings,
                              std::u16string& text) {
  return ComposePosition(BarePosition(latitude, longitude), ChoosePositionForm(settings), text);
}

PublishResult PublishPosition(const PositionRecord& record, const PositionChoice& choice,
                              std::u16string* copied, std::u16string* why) {
  std::u16string text;
  const PublishResult kind = ComposePosition(record, choice, text);
  const bool put = PutTextOnClipboard(text, why);
  if (copied) *copied = std::move(text);
  return put ? kind : PublishResult::None;
}

PublishResult PublishPosition(double latitude, double longitude, const Settings& settings,
                              std::u16string* copied, std::u16string* why) {
  return PublishPosition(BarePosition(latitude, longitude), ChoosePositionForm(settings), copied,
                         why);
}
