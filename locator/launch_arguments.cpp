// The launch-argument line a shortcut starts Quarvel with.
#include "locator/launch_arguments.h"

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
      case kMapTypeValue: settings.mapType[0] = c; settings.mapType[1] = 0; break;
      case kLiteMapValue: settings.liteMap = c == u'1'; break;
      case kBluetoothValue: settings.bluetooth = c == u'1'; break;
      case kCoordinatesOnlyValue: settings.coordinatesOnly = c == u'1'; break;
      default: break;
    }
  }
  settings.portName[portLength] = 0;
}
