// Putting the found position on the clipboard, as coordinates or as a map URL.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "settings/settings.h"

// What was put on the clipboard. None also stands for a publication that
// failed, so the caller never reports success for it.
enum class PublishResult : std::uint8_t { None = 0, Coordinates = 1, MapUrl = 2 };

// Clipboard block sizes in bytes, terminator included.
inline constexpr std::size_t kCoordinatesBlockBytes = 200;
inline constexpr std::size_t kMapUrlBlockBytes = 510;

// The coordinates text (coordinatesOnly on) or the map URL (mapType, liteMap)
// into text, cut to its clipboard block; returns which of the two it is.
PublishResult ComposePosition(double latitude, double longitude, const Settings& settings,
                              std::u16string& text);

// Builds the text as ComposePosition does and puts it on the clipboard;
// *copied, when given, gets the text, also when the clipboard refused it (it is
// still the position). Returns what was published, or PublishResult::None when
// the clipboard could not be set, with *why (when given) saying why.
PublishResult PublishPosition(double latitude, double longitude, const Settings& settings,
                              std::u16string* copied = nullptr, std::u16string* why = nullptr);

// Publishes text as Unicode text, cut to what a block of blockBytes holds with
// its terminator. Returns false when the clipboard could not be set.
bool CopyTextToClipboard(const char16_t* text, std::size_t blockBytes);
