// A dbus-daemon of the test's own standing in for the system bus (DBUS_SYSTEM_BUS_ADDRESS
// points at it while it lives), and services on it.
#pragma once

#include <sys/types.h>
#include <systemd/sd-bus.h>

#include <filesystem>
#include <string>
#include <vector>

class PrivateBus {
 public:
  // `folder` holds the socket, the configuration and services/, the folder of
  // the services the bus would start.
  explicit PrivateBus(const std::filesystem::path& folder);
  ~PrivateBus();
  PrivateBus(const PrivateBus&) = delete;
  PrivateBus& operator=(const PrivateBus&) = delete;

  std::string Address() const { return "unix:path=" + socket_.string(); }
  // Takes the name, as its running service would.
  bool Own(const char* name);
  // Starts a python3-dbusmock template (a name of its own or a file) with its
  // JSON parameters, and waits until its service name is on the bus.
  bool StartMock(const std::string& templateName, const char* serviceName,
                 const std::string& parameters = "{}");
  // Ends the mock services: their names leave the bus.
  void StopMocks();
  // A connection of the test's own, for asking the mocks.
  sd_bus* Connection();

 private:
  std::filesystem::path socket_;
  pid_t daemon_ = -1;
  std::vector<pid_t> mocks_;
  sd_bus* owner_ = nullptr;
  sd_bus* connection_ = nullptr;
};

// The stand-in GeoClue2 template beside the tests' helpers.
std::string GeoClueTemplate();
