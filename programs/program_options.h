// Options before a program's other arguments, read from a table: one entry per option.
#pragma once

#include <algorithm>
#include <cstring>
#include <span>
#include <string>

// One option: its long name ("--timeout"), an optional one-letter alias ("-h"),
// the placeholder of its value (null for a flag), one line of help, and what it
// does to the options record; take returns false for a malformed value.
template <class Options>
struct OptionEntry {
  const char* name;
  const char* alias;
  const char* value;
  const char* help;
  bool (*take)(Options& options, const char* value);
};

// Where the options ended (the index of the first other argument) or, with a
// non-empty error, why they could not be read.
struct OptionsEnd {
  int next = 1;
  std::string error;
};

// Reads argv from index 1 while its words are options: "--" ends them, and so does
// the first word that does not start with "-" (an empty word included). A value
// comes as the next word or after "=" ("--timeout=5").
template <class Options>
OptionsEnd ReadOptions(int argc, char** argv, std::span<const OptionEntry<Options>> table,
                       Options& options) {
  OptionsEnd end;
  for (; end.next < argc; ++end.next) {
    const std::string word = argv[end.next];
    if (word == "--") return ++end.next, end;
    if (word.size() < 2 || word[0] != '-') return end;
    const std::size_t equals = word.find('=');
    const std::string name = word.substr(0, equals);
    const OptionEntry<Options>* entry = nullptr;
    for (const OptionEntry<Options>& candidate : table) {
      if (name == candidate.name || (candidate.alias && name == candidate.alias))
        entry = &candidate;
    }
    if (!entry) return end.error = "unknown option '" + name + "'", end;
    const char* value = nullptr;
    if (!entry->value && equals != std::string::npos) {
      return end.error = "option '" + name + "' takes no value", end;
    }
    if (entry->value && equals != std::string::npos) {
      value = argv[end.next] + equals + 1;
    } else if (entry->value) {
      if (end.next + 1 >= argc) return end.error = "option '" + name + "' needs a value", end;
      value = argv[++end.next];
    }
    if (!entry->take(options, value)) {
      return end.error = "option '" + name + "': malformed value '" + value + "'", end;
    }
  }
  return end;
}

// The table as the options part of a usage text: one line per option.
template <class Options>
std::string DescribeOptions(std::span<const OptionEntry<Options>> table) {
  std::string text;
  for (const OptionEntry<Options>& entry : table) {
    std::string left = std::string("  ") + (entry.alias ? std::string(entry.alias) + ", " : "") +
                       entry.name + (entry.value ? std::string(" ") + entry.value : "");
    left.resize(std::max<std::size_t>(left.size() + 2, 22), ' ');
    text += left + entry.help + "\n";
  }
  return text;
}
