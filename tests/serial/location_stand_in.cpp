// The scripted location service: fixes as the test hands them over, reads that wait
// for the next one, a wake or a failure.
#include "serial/location_stand_in.h"

#include <condition_variable>
#include <deque>
#include <mutex>

struct LocationService {
  std::deque<LocationFix> fixes;
  bool failed = false;
  bool woken = false;
};

namespace {

std::mutex mutex;
std::condition_variable changed;
std::u16string refusal;
LocationFix first;
int opens = 0;
LocationService* open = nullptr;

}  // namespace

void ScriptLocationService(std::u16string newRefusal, LocationFix newFirst) {
  std::lock_guard lock(mutex);
  refusal = std::move(newRefusal);
  first = newFirst;
  opens = 0;
}

void AddLocationFix(const LocationFix& fix) {
  std::lock_guard lock(mutex);
  if (open) open->fixes.push_back(fix);
  changed.notify_all();
}

void FailLocationService() {
  std::lock_guard lock(mutex);
  if (open) open->failed = true;
  changed.notify_all();
}

int LocationServiceOpens() {
  std::lock_guard lock(mutex);
  return opens;
}

LocationService* OpenLocationService(std::u16string* why) {
  std::lock_guard lock(mutex);
  ++opens;
  if (!refusal.empty()) {
    if (why) *why = refusal;
    return nullptr;
  }
  open = new LocationService;
  open->fixes.push_back(first);
  return open;
}

LocationRead ReadLocationService(LocationService* service, LocationFix& fix, std::u16string*) {
  std::unique_lock lock(mutex);
  changed.wait(lock,
               [service] { return service->woken || service->failed || !service->fixes.empty(); });
  if (service->woken) return LocationRead::Woken;
  if (service->failed) {
    service->failed = false;
    return LocationRead::Failed;
  }
  fix = service->fixes.front();
  service->fixes.pop_front();
  return LocationRead::Fix;
}

void WakeLocationService(LocationService* service) {
  std::lock_guard lock(mutex);
  service->woken = true;
  changed.notify_all();
}

void CloseLocationService(LocationService* service) {
  std::lock_guard lock(mutex);
  if (open == service) open = nullptr;
  delete service;
}

const char16_t* LocationServiceName() { return u"The stand-in"; }
