// quarvel-decode: runs an NMEA capture through Quarvel's framer and parser and prints JSON Lines.
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>
#include <string_view>

#include "quarvel_version.h"
#include "nmea/framer.h"
#include "nmea/parser.h"
#include "tools/gps_state_json.h"
#include "tools/json_writer.h"

namespace {

constexpr int kBadInput = 2;
constexpr int kFailed = 1;
constexpr const char* kUsage = "usage: quarvel-decode [--read-size N] [--state-only] [FILE]";

struct Options {
  std::size_t readSize = kGpsReadSize;
  bool stateOnly = false;
  const char* path = nullptr;  // stdin when absent or "-"
};

struct Run {
  bool stateOnly;
  JsonWriter json;
  bool writeFailed = false;
};

int Fail(int status, const std::string& message) {
  std::fprintf(stderr, "quarvel-decode: %s\n", message.c_str());
  return status;
}

bool ParseReadSize(const char* text, std::size_t* size) {
  if (*text == '\0' || std::strlen(text) > 3) return false;
  std::size_t value = 0;
  for (const char* p = text; *p; ++p) {
    if (*p < '0' || *p > '9') return false;
    value = value * 10 + static_cast<std::size_t>(*p - '0');
  }
  if (value < 1 || value > kGpsReadSize) return false;
  *size = value;
  return true;
}

// Returns an empty string when the arguments are good, else what is wrong.
std::string ParseOptions(int argc, char** argv, Options* options) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    const char* sizeText = nullptr;
    if (arg == "--state-only") {
      options->stateOnly = true;
    } else if (arg == "--read-size") {
      if (i + 1 >= argc) return "--read-size needs a number";
      sizeText = argv[++i];
    } else if (arg.rfind("--read-size=", 0) == 0) {
      sizeText = argv[i] + std::strlen("--read-size=");
    } else if (arg.size() > 1 && arg[0] == '-') {
      return "unknown option " + std::string(arg);
    } else if (options->path) {
      return "only one FILE may be given";
    } else {
      options->path = argv[i];
    }
    if (sizeText && !ParseReadSize(sizeText, &options->readSize)) {
      return "read size must be a whole number from 1 to 512, not \"" + std::string(sizeText) +
             "\"";
    }
  }
  return {};
}

void WriteLine(Run& run) {
  std::string line = run.json.Text();
  line += '\n';
  if (std::fwrite(line.data(), 1, line.size(), stdout) != line.size()) run.writeFailed = true;
  run.json.Clear();
}

void OnSentence(const char* sentence, void* context) {
  Run& run = *static_cast<Run*>(context);
  if (!run.stateOnly) {
    run.json.BeginObject();
    run.json.Key("sentence");
    run.json.String(sentence);
    run.json.EndObject();
    WriteLine(run);
  }
  ParseNmeaSentence(sentence);
}

// Reads of at most readSize bytes, each framed as the port reader frames one read.
bool DecodeStream(std::FILE* input, std::size_t readSize, Run& run) {
  NmeaFramer framer;
  for (;;) {
    char buffer[kGpsReadSize + 1] = {};
    const std::size_t count = std::fread(buffer, 1, readSize, input);
    if (count == 0) break;
    buffer[count] = '\0';
    FrameNmeaRead(framer, buffer, OnSentence, &run);
    if (count < readSize) break;
  }
  return !std::ferror(input);
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  if (argc == 2 && (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)) {
    std::printf("%s\n       quarvel-decode --help | --version\n", kUsage);
    return 0;
  }
  if (argc == 2 && std::strcmp(argv[1], "--version") == 0) {
    std::printf("quarvel-decode %s\n", kQuarvelVersion);
    return 0;
  }
  if (const std::string problem = ParseOptions(argc, argv, &options); !problem.empty()) {
    return Fail(kBadInput, problem + " (" + kUsage + ")");
  }
  const bool fromStdin = !options.path || std::strcmp(options.path, "-") == 0;
  std::FILE* input = fromStdin ? stdin : std::fopen(options.path, "rb");
  if (!input) {
    return Fail(kBadInput,
                std::string("cannot open ") + options.path + ": " + std::strerror(errno));
  }
  // fopen takes a directory on Linux; its first read would fail as if the disk had.
  std::error_code ignored;
  if (!fromStdin && std::filesystem::is_directory(options.path, ignored)) {
    std::fclose(input);
    return Fail(kBadInput, std::string("cannot open ") + options.path + ": it is a directory");
  }
  Run run{options.stateOnly, {}};
  const bool readOk = DecodeStream(input, options.readSize, run);
  if (!fromStdin) std::fclose(input);
  if (!readOk) return Fail(kFailed, "read error on the input");

  GpsFixAnswer fix{};
  GetGpsFix(&fix.latitude, &fix.longitude, &fix.valid);
  WriteStateLine(run.json, CopyGpsState(), fix);
  WriteLine(run);
  if (run.writeFailed || std::fflush(stdout) != 0) return Fail(kFailed, "cannot write the output");
  return 0;
}
