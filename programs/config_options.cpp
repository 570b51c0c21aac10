// The settings editor's options: the table and the usage text.
#include "programs/config_options.h"

#include "programs/program_build.h"
#include "programs/program_options.h"

namespace {

using Entry = OptionEntry<ConfigOptions>;
constexpr Entry kOptions[] = {
    {"--gui", nullptr, nullptr,
     "the form as a window on the desktop (the default when started from it)",
     [](ConfigOptions& o, const char*) { return o.gui = true; }},
    {"--terminal", nullptr, nullptr, "the form on the terminal (the default from a terminal)",
     [](ConfigOptions& o, const char*) { return o.terminal = true; }},
    {"--smartphone", nullptr, nullptr, "the Smartphone layout of the form",
     [](ConfigOptions& o, const char*) { return o.smartphone = true; }},
    {"--version", nullptr, nullptr, "print the version and exit",
     [](ConfigOptions& o, const char*) { return o.version = true; }},
    {"--help", "-h /?", nullptr, "print this help and exit",
     [](ConfigOptions& o, const char*) { return o.help = true; }},
};

std::vector<Entry> Offered() {
  return OfferedOptions<ConfigOptions>(kOptions, ThisProgramBuild().leftOut);
}

}  // namespace

bool ReadConfigOptions(int argc, char** argv, ConfigOptions& options, std::string& error) {
  OptionsEnd end = ReadOptions<ConfigOptions>(argc, argv, Offered(), options);
  if (end.error.empty() && end.next < argc) {
    end.error = "unexpected argument '" + std::string(argv[end.next]) + "'";
  }
  error = end.error;
  return error.empty();
}

std::string ConfigUsage() {
  const ProgramBuild& build = ThisProgramBuild();
  return std::string("Usage: ") + build.quarvelConfig + " [OPTION...]\n\n" + build.configText +
         "\nOptions:\n" + DescribeOptions<ConfigOptions>(Offered()) + "\n" + build.configStatus;
}
