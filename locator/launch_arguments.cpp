// The launch-argument line a shortcut starts Quarvel with.
#include "locator/launch_arguments.h"

std::u16string LaunchLineFromCommandLine(const char16_t* commandLine) {
  if (!commandLine) return {};
  const char16_t* at = commandLine;
  // The program's name ends at its closing quote, or at the first blank; Windows
  // knows no escapes inside it.
  if (*at == u'"') {
    ++at;
    while (*at && *at != u'"') ++at;
    if (*at) ++at;
  } else {
    while (*at && *at != u' ' && *at != u'\t') ++at;
  }
  // One blank separates the name from the words; any further blank is part of
  // the words (a shortcut's empty port word starts with one).
  if (*at == u' ' || *at == u'\t') ++at;
  return at;
}

void ParseLaunchArguments(const char16_t* commandLine, Settings& settings) {
  if (!commandLine) return;
  int word = kPortValue;
  std::size_t portLength = 0;
  for (const char16_t* at = commandLine; *at && word < kSettingsValueCount; ++at) {
    const char16_t c = *at;
    if (c == u' ') {
      ++word;
      continue;
    }
    switch (word) {
      case kPortValue:
        if (portLength < kPortNameUnits) settings.portName[portLength++] = c;
        break;
      case kMapTypeValue:
        settings.mapType[0] = c;
        settings.mapType[1] = 0;
        break;
      case kLiteMapValue: settings.liteMap = c == u'1'; break;
      case kBluetoothValue: settings.bluetooth = c == u'1'; break;
      case kCoordinatesOnlyValue: settings.coordinatesOnly = c == u'1'; break;
      default: break;
    }
  }
  settings.portName[portLength] = 0;
}
