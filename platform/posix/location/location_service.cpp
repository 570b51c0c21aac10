// The location service on Linux: GeoClue2 on the system D-Bus (sd-bus). A client with
// Quarvel's desktop id asks for the highest accuracy; each LocationUpdated is a fix.
#include "platform/location.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <systemd/sd-bus.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <string>

#include "common/utf8.h"

struct LocationService {
  sd_bus* bus = nullptr;
  int wakeFd = -1;       // eventfd: readable once a stop wants the read back
  std::string client;    // the client object GeoClue keeps for this connection
  std::string newest;    // the Location object that came last, until it is read
  std::string lastRead;  // a Location object is read once
  bool serviceLeft = false;
};

namespace {

constexpr const char* kGeoClue = "org.freedesktop.GeoClue2";
constexpr const char* kManagerPath = "/org/freedesktop/GeoClue2/Manager";
constexpr const char* kManager = "org.freedesktop.GeoClue2.Manager";
constexpr const char* kClient = "org.freedesktop.GeoClue2.Client";
constexpr const char* kLocation = "org.freedesktop.GeoClue2.Location";
// GeoClue, and the desktop's agent that asks the user, know an application by
// its desktop entry.
constexpr const char* kDesktopId = "org.quarvel.Quarvel";
constexpr uint32_t kAccuracyExact = 8;  // the satellites, where there are any
// The bus may have to start GeoClue, and GeoClue may ask the user whether
// Quarvel may know where it is.
constexpr uint64_t kCallTimeoutUsec = 30'000'000;
constexpr const char* kOwnerChanged =
    "type='signal',sender='org.freedesktop.DBus',path='/org/freedesktop/DBus',"
    "interface='org.freedesktop.DBus',member='NameOwnerChanged',arg0='org.freedesktop.GeoClue2'";

struct Reply {
  sd_bus_message* message = nullptr;
  sd_bus_error error{};  // SD_BUS_ERROR_NULL, without its C99 compound literal
  ~Reply() {
    sd_bus_message_unref(message);
    sd_bus_error_free(&error);
  }
};

// Why a call failed, in words for the user.
std::string Describe(const sd_bus_error& error, int result) {
  if (sd_bus_error_has_name(&error, SD_BUS_ERROR_SERVICE_UNKNOWN) ||
      sd_bus_error_has_name(&error, SD_BUS_ERROR_NAME_HAS_NO_OWNER)) {
    return "GeoClue is not on the system bus (is geoclue-2.0 installed?)";
  }
  const std::string message = error.message ? error.message : std::strerror(-result);
  if (sd_bus_error_has_name(&error, SD_BUS_ERROR_ACCESS_DENIED)) {
    return "GeoClue refused the location: " + message;
  }
  return "GeoClue: " + message;
}

int OnLocationUpdated(sd_bus_message* message, void* data, sd_bus_error*) {
  const char* old = nullptr;
  const char* now = nullptr;
  if (sd_bus_message_read(message, "oo", &old, &now) >= 0 && std::strcmp(now, "/") != 0) {
    static_cast<LocationService*>(data)->newest = now;
  }
  return 0;
}

int OnOwnerChanged(sd_bus_message* message, void* data, sd_bus_error*) {
  const char *name = nullptr, *old = nullptr, *now = nullptr;
  if (sd_bus_message_read(message, "sss", &name, &old, &now) >= 0 && *now == 0) {
    static_cast<LocationService*>(data)->serviceLeft = true;
  }
  return 0;
}

bool Connect(LocationService& service, std::string& problem) {
  service.wakeFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (service.wakeFd < 0) {
    problem = std::string("GeoClue: ") + std::strerror(errno);
    return false;
  }
  const int result = sd_bus_open_system(&service.bus);
  if (result < 0) {
    service.bus = nullptr;
    problem = std::string("GeoClue: no system bus (") + std::strerror(-result) + ")";
    return false;
  }
  sd_bus_set_method_call_timeout(service.bus, kCallTimeoutUsec);
  return true;
}

// The client, with Quarvel's desktop id and the highest accuracy, listened to
// before it starts so that no update is missed.
bool MakeClient(LocationService& service, std::string& problem) {
  Reply reply;
  const char* path = nullptr;
  int result = sd_bus_call_method(service.bus, kGeoClue, kManagerPath, kManager, "GetClient",
                                  &reply.error, &reply.message, "");
  if (result >= 0) result = sd_bus_message_read(reply.message, "o", &path);
  if (result < 0) {
    problem = Describe(reply.error, result);
    return false;
  }
  service.client = path;
  const char* client = service.client.c_str();
  Reply set;
  result = sd_bus_set_property(service.bus, kGeoClue, client, kClient, "DesktopId", &set.error, "s",
                               kDesktopId);
  if (result >= 0) {
    result = sd_bus_set_property(service.bus, kGeoClue, client, kClient, "RequestedAccuracyLevel",
                                 &set.error, "u", kAccuracyExact);
  }
  if (result >= 0) {
    result = sd_bus_match_signal(service.bus, nullptr, nullptr, client, kClient, "LocationUpdated",
                                 &OnLocationUpdated, &service);
  }
  if (result >= 0) {
    result = sd_bus_add_match(service.bus, nullptr, kOwnerChanged, &OnOwnerChanged, &service);
  }
  if (result < 0) problem = Describe(set.error, result);
  return result >= 0;
}

// Starts the client; a place GeoClue knows already is the first fix.
bool Start(LocationService& service, std::string& problem) {
  Reply reply;
  const int result = sd_bus_call_method(service.bus, kGeoClue, service.client.c_str(), kClient,
                                        "Start", &reply.error, &reply.message, "");
  if (result < 0) {
    problem = Describe(reply.error, result);
    return false;
  }
  Reply location;
  const char* path = nullptr;
  if (sd_bus_get_property(service.bus, kGeoClue, service.client.c_str(), kClient, "Location",
                          &location.error, &location.message, "o") >= 0 &&
      sd_bus_message_read(location.message, "o", &path) >= 0 && std::strcmp(path, "/") != 0) {
    service.newest = path;
  }
  return true;
}

// One property of a Location object's GetAll, the reply left after it.
int ReadProperty(sd_bus_message* reply, LocationFix& fix) {
  const char* name = nullptr;
  int result = sd_bus_message_read(reply, "s", &name);
  if (result < 0) return result;
  double value = 0;
  const std::string_view property = name;
  if (property == "Timestamp") {
    uint64_t seconds = 0, microseconds = 0;
    result = sd_bus_message_read(reply, "v", "(tt)", &seconds, &microseconds);
    if (result >= 0 && seconds != 0) {
      fix.time = std::chrono::sys_time<std::chrono::milliseconds>(
          std::chrono::milliseconds(seconds * 1000 + microseconds / 1000));
    }
    return result;
  }
  if (property != "Latitude" && property != "Longitude" && property != "Accuracy" &&
      property != "Altitude") {
    return sd_bus_message_skip(reply, "v");
  }
  result = sd_bus_message_read(reply, "v", "d", &value);
  if (result < 0) return result;
  if (property == "Latitude") fix.latitude = value;
  if (property == "Longitude") fix.longitude = value;
  if (property == "Accuracy") fix.accuracy = value;
  // Unknown is the lowest double.
  if (property == "Altitude" && std::isfinite(value) && value > -1e300) fix.altitude = value;
  return result;
}

bool ReadLocation(LocationService& service, const std::string& path, LocationFix& fix) {
  Reply reply;
  fix = {};
  fix.time =
      std::chrono::time_point_cast<std::chrono::milliseconds>(std::chrono::system_clock::now());
  int result =
      sd_bus_call_method(service.bus, kGeoClue, path.c_str(), "org.freedesktop.DBus.Properties",
                         "GetAll", &reply.error, &reply.message, "s", kLocation);
  if (result >= 0) result = sd_bus_message_enter_container(reply.message, 'a', "{sv}");
  while (result >= 0 && (result = sd_bus_message_enter_container(reply.message, 'e', "sv")) > 0) {
    result = ReadProperty(reply.message, fix);
    if (result >= 0) result = sd_bus_message_exit_container(reply.message);
  }
  return result >= 0;
}

int PollTimeout(sd_bus* bus) {
  uint64_t until = 0;
  if (sd_bus_get_timeout(bus, &until) < 0 || until == UINT64_MAX) return -1;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const uint64_t current = uint64_t(now.tv_sec) * 1'000'000 + uint64_t(now.tv_nsec) / 1000;
  return until <= current ? 0 : int((until - current + 999) / 1000);
}

enum class Wait { Bus, Woken, Failed };

Wait WaitForBus(LocationService& service) {
  pollfd watched[2] = {{sd_bus_get_fd(service.bus), short(sd_bus_get_events(service.bus)), 0},
                       {service.wakeFd, POLLIN, 0}};
  const int ready = poll(watched, 2, PollTimeout(service.bus));
  if (ready < 0 && errno != EINTR) return Wait::Failed;
  return watched[1].revents != 0 ? Wait::Woken : Wait::Bus;
}

void Release(LocationService* service) {
  if (service->bus && !service->client.empty()) {
    // Nothing waits for the answer: the client ends with the connection anyway.
    sd_bus_call_method_async(service->bus, nullptr, kGeoClue, service->client.c_str(), kClient,
                             "Stop", nullptr, nullptr, "");
  }
  sd_bus_flush_close_unref(service->bus);
  if (service->wakeFd >= 0) close(service->wakeFd);
  delete service;
}

}  // namespace

LocationService* OpenLocationService(std::u16string* why) {
  auto* service = new LocationService;
  std::string problem;
  if (Connect(*service, problem) && MakeClient(*service, problem) && Start(*service, problem)) {
    return service;
  }
  if (why) *why = utf8::Utf8ToUtf16(problem);
  Release(service);
  return nullptr;
}

LocationRead ReadLocationService(LocationService* service, LocationFix& fix, std::u16string* why) {
  std::string problem;
  for (;;) {
    if (!service->newest.empty()) {
      std::string path;
      path.swap(service->newest);
      // A location object GeoClue has dropped since is passed over.
      if (path != service->lastRead && ReadLocation(*service, path, fix)) {
        service->lastRead = path;
        return LocationRead::Fix;
      }
      continue;
    }
    if (service->serviceLeft) {
      problem = "GeoClue left the system bus";
      break;
    }
    const int processed = sd_bus_process(service->bus, nullptr);
    if (processed < 0) {
      problem =
          std::string("GeoClue: the system bus went away (") + std::strerror(-processed) + ")";
      break;
    }
    if (processed > 0) continue;
    const Wait wait = WaitForBus(*service);
    if (wait == Wait::Woken) return LocationRead::Woken;
    if (wait == Wait::Failed) {
      problem = std::string("GeoClue: ") + std::strerror(errno);
      break;
    }
  }
  if (why) *why = utf8::Utf8ToUtf16(problem);
  return LocationRead::Failed;
}

void WakeLocationService(LocationService* service) {
  const uint64_t one = 1;
  [[maybe_unused]] const ssize_t written = write(service->wakeFd, &one, sizeof one);
}

void CloseLocationService(LocationService* service) { Release(service); }

const char16_t* LocationServiceName() { return u"GeoClue"; }
