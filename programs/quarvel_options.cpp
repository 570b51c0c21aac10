// quarvel's options: the table, its numbers and the usage text.
#include "programs/quarvel_options.h"

#include <climits>
#include <cstdlib>
#include <cstring>

#include "common/map_host_check.h"
#include "common/utf8.h"
#include "locator/position_formats.h"
#include "programs/program_build.h"
#include "programs/program_options.h"
#include "quarvel_map_host.h"

namespace {

// A whole number of seconds from 1 up; signs, blanks, fractions and units are malformed.
bool TakeSeconds(const char* text, int& seconds) {
  if (*text < '0' || *text > '9') return false;
  char* end = nullptr;
  const long value = std::strtol(text, &end, 10);
  if (*end != 0 || value < 1 || value > INT_MAX / 1000) return false;
  seconds = int(value);
  return true;
}

// The gates' values: a positive decimal number ("2", "0.8") and a whole count up to 255.
bool TakeDecimal(const char* text, double& value) {
  if (*text < '0' || *text > '9') return false;
  char* end = nullptr;
  value = std::strtod(text, &end);
  return *end == 0 && end[-1] != '.' && value > 0.0 && value <= 1e6 &&
         std::strspn(text, "0123456789.") == std::strlen(text);
}
bool TakeCount(const char* text, int& count) { return TakeSeconds(text, count) && count <= 255; }
// A name of the position formats; the name is kept even when unknown, so the error can
// say so.
bool TakeFormat(const char* text, std::u16string& format) {
  format = utf8::Utf8ToUtf16(text);
  return FindPositionFormat(format).has_value();
}

bool TakeMapHost(const char* text, std::u16string& host) {
  host = utf8::Utf8ToUtf16(text);
  return IsMapHost(host);
}

using Entry = OptionEntry<QuarvelOptions>;
constexpr Entry kOptions[] = {
    {"--no-clipboard", nullptr, nullptr,
     "leave the clipboard alone: the position on standard output only",
     [](QuarvelOptions& o, const char*) { return o.noClipboard = true; }},
    {"--timeout", nullptr, "SECONDS",
     "give up when no position came within SECONDS (exit status 4)",
     [](QuarvelOptions& o, const char* v) { return TakeSeconds(v, o.timeoutSeconds); }},
    {"--max-hdop", nullptr, "H", "publish only a fix whose HDOP is at most H",
     [](QuarvelOptions& o, const char* v) { return TakeDecimal(v, o.gates.maxHdop); }},
    {"--min-satellites", nullptr, "N", "publish only a fix from N satellites or more",
     [](QuarvelOptions& o, const char* v) { return TakeCount(v, o.gates.minSatellites); }},
    {"--accuracy", nullptr, "METRES", "publish only a fix within METRES (GST, else HDOP x 5 m)",
     [](QuarvelOptions& o, const char* v) { return TakeDecimal(v, o.gates.accuracy); }},
    {"--average", nullptr, "SECONDS", "publish the mean of the good fixes over SECONDS",
     [](QuarvelOptions& o, const char* v) { return TakeSeconds(v, o.gates.averageSeconds); }},
    {"--format", nullptr, "NAME",
     "the position as NAME: ddm, url, dd, dms, utm, mgrs, plus, geo, osm or json",
     [](QuarvelOptions& o, const char* v) { return TakeFormat(v, o.format); }},
    {"--map-host", nullptr, "HOST",
     "the map URL's host, HOST[:PORT][/PATH], instead of the build's",
     [](QuarvelOptions& o, const char* v) { return TakeMapHost(v, o.mapHost); }},
    {"--gui", nullptr, nullptr,
     "the status window on the desktop (the default when started from it)",
     [](QuarvelOptions& o, const char*) { return o.gui = true; }},
    {"--terminal", nullptr, nullptr,
     "the status line on the terminal (the default from a terminal)",
     [](QuarvelOptions& o, const char*) { return o.terminal = true; }},
    {"--version", nullptr, nullptr, "print the version and exit",
     [](QuarvelOptions& o, const char*) { return o.version = true; }},
    {"--help", "-h /?", nullptr, "print this help and exit",
     [](QuarvelOptions& o, const char*) { return o.help = true; }},
};

// The map host is a build setting: the usage names the one this program writes.
std::string MapUrlLines() {
  return "The map URL is http://" + utf8::Utf16ToUtf8(kMapHost) +
         "/quarvel/?lat=...&lon=...&t=MAP\n"
         "(and &s=1 for the lite map); its host is the build setting QUARVEL_MAP_HOST\n"
         "unless --map-host or the seventh value line of settings.ini gives another.\n"
         "--format, else the sixth value line of settings.ini, picks another form of\n"
         "the position: ddm is the coordinates, url the map URL.\n\n";
}

// The usage up to the options, in this build's words.
std::string Head(const ProgramBuild& build) {
  return std::string("Usage: ") + build.quarvel +
         " [OPTION...] [--] [PORT [MAP LITE BLUETOOTH COORDINATES]]\n"
         "\n"
         "Waits for the GPS receiver on PORT to report a position and copies it to the\n"
         "clipboard: as a map URL, or as coordinates when COORDINATES is 1. The position\n"
         "is also written to standard output, even when the clipboard refused it.\n"
         "\n"
         "  PORT         " +
         build.ports +
         "  MAP          map type letter of the URL (default n)\n"
         "  LITE         1 for the lite map (default 0)\n"
         "  BLUETOOTH    1 to switch the Bluetooth radio on for the run and off after it\n"
         "               (default 0)\n"
         "  COORDINATES  1 to copy coordinates instead of the URL (default 0)\n"
         "\n" +
         MapUrlLines() + build.settings +
         "\n"
         "Options:\n";
}

std::vector<Entry> Offered() {
  return OfferedOptions<QuarvelOptions>(kOptions, ThisProgramBuild().leftOut);
}

constexpr const char kTail[] =
    "\n"
    "Exit status: 0 position copied (or written, with --no-clipboard); 1 the port\n"
    "could not be opened; 2 the clipboard refused the position; 3 stopped or closed\n"
    "before a position was copied; 4 no position within --timeout; 64 the command\n"
    "line could not be read.\n";

}  // namespace

bool ReadQuarvelOptions(int argc, char** argv, QuarvelOptions& options, int& next,
                        std::string& error) {
  const OptionsEnd end = ReadOptions<QuarvelOptions>(argc, argv, Offered(), options);
  next = end.next;
  error = end.error;
  if (error.starts_with("option '--format': malformed")) {
    error += "; the formats are " + utf8::Utf16ToUtf8(PositionFormatNames());
  }
  return error.empty();
}

std::string QuarvelUsage() {
  return Head(ThisProgramBuild()) + DescribeOptions<QuarvelOptions>(Offered()) + kTail;
}
