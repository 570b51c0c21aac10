// A private dbus-daemon for the tests, and python3-dbusmock services on it.
#include "serial/private_bus.h"

#include <fcntl.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>

#include "serial/pty.h"

namespace fs = std::filesystem;
using namespace std::chrono_literals;

namespace {

// Their chatter stays out of the test's output; a mock's traceback does not.
pid_t Spawn(const std::vector<std::string>& words, bool quietErrors) {
  const pid_t child = fork();
  if (child == 0) {
    const int null = open("/dev/null", O_WRONLY);
    dup2(null, 1);
    if (quietErrors) dup2(null, 2);
    std::vector<char*> argv;
    for (const std::string& word : words) argv.push_back(const_cast<char*>(word.c_str()));
    argv.push_back(nullptr);
    execvp(argv[0], argv.data());
    _exit(127);
  }
  return child;
}

void End(pid_t child) {
  if (child <= 0) return;
  kill(child, SIGTERM);
  waitpid(child, nullptr, 0);
}

bool HasOwner(sd_bus* bus, const char* name) {
  sd_bus_message* reply = nullptr;
  int owned = 0;
  const bool asked =
      sd_bus_call_method(bus, "org.freedesktop.DBus", "/org/freedesktop/DBus",
                         "org.freedesktop.DBus", "NameHasOwner", nullptr, &reply, "s", name) >= 0 &&
      sd_bus_message_read(reply, "b", &owned) >= 0;
  sd_bus_message_unref(reply);
  return asked && owned;
}

}  // namespace

PrivateBus::PrivateBus(const fs::path& folder) : socket_(folder / "bus") {
  const fs::path services = folder / "services";
  fs::create_directories(services);
  std::ofstream(folder / "bus.conf")
      << "<busconfig><type>session</type><listen>unix:path=" << socket_.string()
      << "</listen><servicedir>" << services.string()
      << "</servicedir><policy context=\"default\"><allow own=\"*\"/>"
         "<allow send_destination=\"*\"/><allow receive_sender=\"*\"/></policy>"
         "</busconfig>\n";
  daemon_ = Spawn(
      {"dbus-daemon", "--nofork", "--nopidfile", "--config-file=" + (folder / "bus.conf").string()},
      true);
  setenv("DBUS_SYSTEM_BUS_ADDRESS", Address().c_str(), 1);
  // The socket is there a moment before the daemon answers on it.
  WaitFor([&] { return Connection() != nullptr; }, 10s);
}

PrivateBus::~PrivateBus() {
  StopMocks();
  sd_bus_flush_close_unref(owner_);
  sd_bus_flush_close_unref(connection_);
  End(daemon_);
  unsetenv("DBUS_SYSTEM_BUS_ADDRESS");
}

bool PrivateBus::Own(const char* name) {
  return sd_bus_open_system(&owner_) >= 0 && sd_bus_request_name(owner_, name, 0) >= 0;
}

sd_bus* PrivateBus::Connection() {
  if (!connection_ && sd_bus_open_system(&connection_) < 0) connection_ = nullptr;
  return connection_;
}

bool PrivateBus::StartMock(const std::string& templateName, const char* serviceName,
                           const std::string& parameters) {
  // Debian's python modules are for the system's python3.
  mocks_.push_back(Spawn({"/usr/bin/python3", "-m", "dbusmock", "--system", "--template",
                          templateName, "--parameters", parameters},
                         false));
  sd_bus* bus = Connection();
  return bus && WaitFor([&] { return HasOwner(bus, serviceName); }, 30s);
}

void PrivateBus::StopMocks() {
  for (pid_t mock : mocks_) End(mock);
  mocks_.clear();
}

std::string GeoClueTemplate() {
  return fs::path(__FILE__).parent_path().parent_path() / "support" / "geoclue2_template.py";
}
