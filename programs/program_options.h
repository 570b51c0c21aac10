// Options before a program's other arguments, read from a table: one entry per option.
#pragma once

#include <algorithm>
#include <cstring>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// One option: its long name ("--timeout"), its other spellings, space-separated
// ("-h /?"; null for none), the placeholder of its value (null for a flag), one line
// of help, and what it does to the options record; take returns false for a
// malformed value.
template <class Options>
struct OptionEntry {
  const char* name;
  const char* alias;
  const char* value;
  const char* help;
  bool (*take)(Options& options, const char* value);
};

// The space-separated spellings of an alias text, each on its own.
inline std::vector<std::string_view> Spellings(const char* alias) {
  std::vector<std::string_view> spellings;
  std::string_view rest = alias ? alias : "";
  while (!rest.empty()) {
    const std::size_t blank = std::min(rest.find(' '), rest.size());
    spellings.push_back(rest.substr(0, blank));
    rest.remove_prefix(std::min(blank + 1, rest.size()));
  }
  return spellings;
}

// The entry a word names, by its long name or another spelling; null for none.
template <class Options>
const OptionEntry<Options>* FindOption(std::span<const OptionEntry<Options>> table,
                                       std::string_view name) {
  for (const OptionEntry<Options>& entry : table) {
    if (name == entry.name || std::ranges::count(Spellings(entry.alias), name)) return &entry;
  }
  return nullptr;
}

// Where the options ended (the index of the first other argument) or, with a
// non-empty error, why they could not be read.
struct OptionsEnd {
  int next = 1;
  std::string error;
};

// Reads argv from index 1 while its words are options: "--" ends them, and so does
// the first word that does not start with "-" (an empty word included) and is no
// option's spelling ("/?" is). A value comes as the next word or after "="
// ("--timeout=5").
template <class Options>
OptionsEnd ReadOptions(int argc, char** argv, std::span<const OptionEntry<Options>> table,
                       Options& options) {
  OptionsEnd end;
  for (; end.next < argc; ++end.next) {
    const std::string word = argv[end.next];
    if (word == "--") return ++end.next, end;
    const bool dashed = word.size() >= 2 && word[0] == '-';
    if (!dashed && !FindOption(table, word)) return end;
    const std::size_t equals = dashed ? word.find('=') : std::string::npos;
    const std::string name = word.substr(0, equals);
    const OptionEntry<Options>* entry = FindOption(table, name);
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

// An option's spellings for a usage line: dashed ones before its name, others after
// ("-h, --help, /?").
template <class Options>
std::string SpellOption(const OptionEntry<Options>& entry) {
  std::string before, after;
  for (std::string_view spelling : Spellings(entry.alias)) {
    if (spelling[0] == '-') {
      before += std::string(spelling) + ", ";
    } else {
      after += ", " + std::string(spelling);
    }
  }
  return before + entry.name + after;
}

// The table as the options part of a usage text: one line per option.
template <class Options>
std::string DescribeOptions(std::span<const OptionEntry<Options>> table) {
  std::string text;
  for (const OptionEntry<Options>& entry : table) {
    std::string left =
        "  " + SpellOption(entry) + (entry.value ? std::string(" ") + entry.value : "");
    left.resize(std::max<std::size_t>(left.size() + 2, 22), ' ');
    text += left + entry.help + "\n";
  }
  return text;
}

// The table without the options named in leftOut (space-separated), which a build
// does not offer.
template <class Options>
std::vector<OptionEntry<Options>> OfferedOptions(std::span<const OptionEntry<Options>> table,
                                                 const char* leftOut) {
  std::vector<OptionEntry<Options>> offered;
  for (const OptionEntry<Options>& entry : table) {
    if (!std::ranges::count(Spellings(leftOut), std::string_view(entry.name)))
      offered.push_back(entry);
  }
  return offered;
}
