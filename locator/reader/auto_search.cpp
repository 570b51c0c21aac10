// The "auto:" search: one hunting thread per port, the first checksummed sentence wins.
#include "locator/reader/auto_search.h"

#include <algorithm>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <system_error>
#include <thread>

#include "nmea/framer.h"

namespace {

struct Candidate {
  std::u16string name;
  HuntedLine line;                       // the hunting thread's own
  HuntFound found = HuntFound::Nothing;  // copied under the search's mutex
  BinaryProtocol binary = BinaryProtocol::None;
  bool ended = false;  // its thread has returned (won, woken or the line gone)
  std::thread thread;
};

}  // namespace

struct AutoSearch {
  std::mutex mutex;
  std::condition_variable changed;
  std::vector<std::unique_ptr<Candidate>> candidates;
  Candidate* winner = nullptr;
  std::string winningBytes;
  bool over = false;   // a port won, or the search is closing
  bool woken = false;  // WakeAutoSearch was called
};

namespace {

// One port's hunt, until it speaks NMEA, the search is over or its line is gone.
void HuntPort(AutoSearch& search, Candidate& c) {
  char buffer[kGpsReadSize];
  for (;;) {
    bool speedChanged = false;
    const std::ptrdiff_t count = ReadHuntedLine(c.line, buffer, sizeof buffer, &speedChanged);
    std::lock_guard lock(search.mutex);
    if (search.over || count == kSerialPortGone) break;
    c.found = c.line.watch.hunt.found;
    c.binary = c.line.watch.hunt.binary;
    if (c.found == HuntFound::Nmea) {
      search.winner = &c;
      search.winningBytes.assign(buffer, std::size_t(count));
      search.over = true;
      break;
    }
  }
  std::lock_guard lock(search.mutex);
  c.ended = true;
  search.changed.notify_all();
}

bool IsTried(const AutoSearch& search, const std::u16string& name) {
  return std::any_of(search.candidates.begin(), search.candidates.end(),
                     [&](const auto& c) { return c->name == name; });
}

// Closes the ports whose line went away, so they are opened again once back.
void ReapGonePorts(AutoSearch& search) {
  std::vector<std::unique_ptr<Candidate>> gone;
  {
    std::lock_guard lock(search.mutex);
    if (search.over) return;
    auto& all = search.candidates;
    for (auto it = all.begin(); it != all.end();) {
      if ((*it)->ended) {
        gone.push_back(std::move(*it));
        it = all.erase(it);
      } else {
        ++it;
      }
    }
  }
  for (const auto& c : gone) {
    c->thread.join();
    CloseSerialPort(c->line.port);
  }
}

// Opens the ports not tried yet (or gone and back) and starts their hunts.
void AddPresentPorts(AutoSearch& search) {
  ReapGonePorts(search);
  for (const std::u16string& name : SerialPortsPresent()) {
    {
      std::lock_guard lock(search.mutex);
      if (search.over || IsTried(search, name)) continue;
    }
    const SerialPortHandle port = OpenSerialPort(name.c_str());
    if (port == kInvalidSerialPort) continue;  // held by another program, or no line
    const uint32_t speed = kHuntedSpeeds[0];
    if (!SetSerialPortSpeed(port, speed)) {
      CloseSerialPort(port);
      continue;
    }
    auto candidate = std::make_unique<Candidate>();
    candidate->name = name;
    StartHuntedLine(candidate->line, port, speed, false);
    Candidate& c = *candidate;
    std::lock_guard lock(search.mutex);
    try {
      c.thread = std::thread(HuntPort, std::ref(search), std::ref(c));
    } catch (const std::system_error&) {
      CloseSerialPort(port);  // no thread to hunt it: tried again at the next look
      continue;
    }
    search.candidates.push_back(std::move(candidate));
  }
}

// Ends every hunt but the winner's and closes those ports; the winner's thread has ended.
void EndHunts(AutoSearch& search) {
  {
    std::lock_guard lock(search.mutex);
    search.over = true;
    for (const auto& c : search.candidates) WakeSerialPort(c->line.port);
  }
  for (const auto& c : search.candidates) {
    if (c->thread.joinable()) c->thread.join();
    if (c.get() != search.winner) CloseSerialPort(c->line.port);
  }
  search.candidates.clear();
}

}  // namespace

AutoSearch* StartAutoSearch() {
  auto* search = new AutoSearch;
  AddPresentPorts(*search);
  return search;
}

bool AwaitAutoWinner(AutoSearch* search, std::chrono::milliseconds wait, AutoWinner* winner) {
  AddPresentPorts(*search);
  std::unique_lock lock(search->mutex);
  search->changed.wait_for(lock, wait, [&] { return search->winner || search->woken; });
  if (!search->winner || search->woken) return false;
  Candidate& won = *search->winner;
  winner->line = won.line;
  winner->name = won.name;
  winner->firstBytes = search->winningBytes;
  lock.unlock();
  EndHunts(*search);
  return true;
}

void WakeAutoSearch(AutoSearch* search) {
  std::lock_guard lock(search->mutex);
  search->woken = true;
  search->changed.notify_all();
}

AutoReport ReportAutoSearch(AutoSearch* search) {
  AutoReport report;
  std::lock_guard lock(search->mutex);
  for (const auto& c : search->candidates) {
    if (c->ended) continue;
    ++report.portsTried;
    if (c->found == HuntFound::Binary && report.binary == BinaryProtocol::None) {
      report.binary = c->binary;
      report.binaryPort = c->name;
    }
  }
  return report;
}

void CloseAutoSearch(AutoSearch* search) {
  if (!search) return;
  EndHunts(*search);
  delete search;
}
