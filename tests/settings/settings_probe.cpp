// Fills its settings the way Quarvel does and prints them: port|map|lite|bluetooth|coordinates.
#include <cstdio>
#include <string>

#include "settings/settings_file.h"
#include "platform/command_line.h"
#include "platform/files.h"

int main(int argc, char** argv) {
  Settings settings;
  FillSettings(JoinCommandLine(argc, argv).c_str(), settings);
  char port[64], map[16];
  WideToMultibyte(settings.portName, port, sizeof port);
  WideToMultibyte(settings.mapType, map, sizeof map);
  std::printf("%s|%s|%d|%d|%d\n", port, map, settings.liteMap, settings.bluetooth,
              settings.coordinatesOnly);
  return 0;
}
