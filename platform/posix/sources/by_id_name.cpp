// Receivers' names from their by-id links: udev writes "BUS-MAKER_MODEL[_SERIAL]-ifNN[-portN]",
// with every space and every character it does not keep ('/' among them) as '_'.
#include "platform/posix/sources/by_id_name.h"

#include <algorithm>
#include <cctype>
#include <vector>

namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(),
                                      [](unsigned char c) { return std::isdigit(c) != 0; });
}

// "usb-": a bus is a lower-case word before the first '-'.
std::string_view WithoutBus(std::string_view link) {
  const std::size_t dash = link.find('-');
  if (dash == std::string_view::npos || dash == 0) return link;
  const std::string_view bus = link.substr(0, dash);
  const bool word =
      std::all_of(bus.begin(), bus.end(), [](unsigned char c) { return std::islower(c) != 0; });
  return word ? link.substr(dash + 1) : link;
}

// "-if00" and "-if00-port0": the interface of the device, not its name.
std::string_view WithoutInterface(std::string_view text) {
  std::size_t port = text.rfind("-port");
  if (port != std::string_view::npos && AllDigits(text.substr(port + 5))) {
    text = text.substr(0, port);
  }
  const std::size_t interface = text.rfind("-if");
  if (interface != std::string_view::npos && AllDigits(text.substr(interface + 3))) {
    text = text.substr(0, interface);
  }
  return text;
}

std::vector<std::string> Words(std::string_view text) {
  std::vector<std::string> words;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find('_', start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) words.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return words;
}

}  // namespace

std::string NameFromByIdLink(std::string_view link) {
  std::vector<std::string> words = Words(WithoutInterface(WithoutBus(link)));
  // "u-blox AG - www.u-blox.com": the model after a maker's web address names it well.
  const auto address = std::find_if(words.begin(), words.end(),
                                    [](const std::string& w) { return w.starts_with("www."); });
  if (address != words.end() && address + 1 != words.end()) words.erase(words.begin(), address + 1);
  std::string name;
  for (std::size_t i = 0; i < words.size(); ++i) {
    if (words[i] == "-") continue;  // "7 - GPS": a dash between spaced words
    // udev keeps no '/': u-blox's own "GPS/GNSS" comes as two words.
    const bool slash = words[i] == "GNSS" && i > 0 && words[i - 1] == "GPS";
    if (!name.empty()) name += slash ? '/' : ' ';
    name += words[i];
  }
  return name;
}
