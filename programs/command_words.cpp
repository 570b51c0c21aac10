// A Windows command line in words, and the options and launch words inside it.
#include "programs/command_words.h"

#include "common/utf8.h"

namespace {

bool IsBlank(char16_t c) { return c == u' ' || c == u'\t'; }

// Reads one word from at (no blank there) and returns where it ends.
std::size_t ReadWord(std::u16string_view line, std::size_t at, std::u16string& word) {
  bool quoted = false;
  while (at < line.size() && (quoted || !IsBlank(line[at]))) {
    std::size_t backslashes = 0;
    while (at < line.size() && line[at] == u'\\') ++backslashes, ++at;
    if (at < line.size() && line[at] == u'"') {
      word.append(backslashes / 2, u'\\');
      if (backslashes % 2 == 1) {
        word += u'"';
      } else if (quoted && at + 1 < line.size() && line[at + 1] == u'"') {
        word += u'"';
        ++at;
      } else {
        quoted = !quoted;
      }
      ++at;
    } else {
      word.append(backslashes, u'\\');
      if (backslashes == 0) word += line[at++];
    }
  }
  return at;
}

}  // namespace

std::vector<CommandWord> SplitCommandWords(std::u16string_view line) {
  std::vector<CommandWord> words;
  std::size_t at = 0;
  for (;;) {
    while (at < line.size() && IsBlank(line[at])) ++at;
    if (at == line.size()) return words;
    CommandWord word;
    at = word.end = ReadWord(line, at, word.text);
    words.push_back(std::move(word));
  }
}

QuarvelCommand ReadQuarvelCommand(std::u16string_view line) {
  QuarvelCommand command;
  command.launchLine = line;
  // A line that starts with a blank starts with an empty port word: no options.
  if (line.empty() || IsBlank(line[0])) return command;
  const std::vector<CommandWord> words = SplitCommandWords(line);
  std::vector<std::string> texts = {"Quarvel.exe"};
  for (const CommandWord& word : words) texts.push_back(utf8::Utf16ToUtf8(word.text));
  std::vector<char*> argv;
  for (std::string& text : texts) argv.push_back(text.data());
  int next = 1;
  if (!ReadQuarvelOptions(int(argv.size()), argv.data(), command.options, next, command.error) ||
      next == 1) {
    return command;
  }
  // The launch words start after the one blank that follows the last option word.
  std::size_t start = words[std::size_t(next) - 2].end;
  if (start < line.size()) ++start;
  command.launchLine = line.substr(start);
  return command;
}
