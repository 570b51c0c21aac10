// Putting the found position on the clipboard, as coordinates or as a map URL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "locator/position_formats.h"
#include "settings/settings.h"

// What was put on the clipboard. None also stands for a publication that
// failed, so the caller never reports success for it.
enum class PublishResult : std::uint8_t { None = 0, Coordinates = 1, MapUrl = 2 };

// Clipboard block sizes in bytes, terminator included.
inline constexpr std::size_t kCoordinatesBlockBytes = 200;
inline constexpr std::size_t kMapUrlBlockBytes = 510;

// The form a run writes the position in: the format and, for url, the map.
struct PositionChoice {
  PositionFormat format = PositionFormat::Url;
  MapUrlChoice map;
};

// The choice for settings and a run's options (empty when not given, else checked):
// the format the option names, else settings' (when it names one), else ddm with
// Coordinates only on and url with it off; the map host the option gives, else
// settings' (when IsMapHost), else the build's. The choice points into settings and
// mapHostOption, which must outlive it.
PositionChoice ChoosePositionForm(const Settings& settings, std::u16string_view formatOption = {},
                                  std::u16string_view mapHostOption = {});

// The record's line in the chosen form into text. The two historical forms are cut
// to their clipboard blocks as they always were; the others are whole. Returns
// MapUrl for the forms that are links (url, osm, geo), else Coordinates.
PublishResult ComposePosition(const PositionRecord& record, const PositionChoice& choice,
                              std::u16string& text);

// ComposePosition of the bare position in the form settings alone choose.
PublishResult ComposePosition(double latitude, double longitude, const Settings& settings,
                              std::u16string& text);

// Builds the text as ComposePosition does and puts it on the clipboard;
// *copied, when given, gets the text, also when the clipboard refused it (it is
// still the position). Returns what was published, or PublishResult::None when
// the clipboard could not be set, with *why (when given) saying why.
PublishResult PublishPosition(const PositionRecord& record, const PositionChoice& choice,
                              std::u16string* copied = nullptr, std::u16string* why = nullptr);
PublishResult PublishPosition(double latitude, double longitude, const Settings& settings,
                              std::u16string* copied = nullptr, std::u16string* why = nullptr);

// Publishes text as Unicode text, cut to what a block of blockBytes holds with
// its terminator. Returns false when the clipboard could not be set.
bool CopyTextToClipboard(const char16_t* text, std::size_t blockBytes);
