// The configuration form's port list: what each entry shows, and the port text it stands for.
#pragma once

#include <string>
#include <vector>

struct OfferedPort {
  std::u16string shown;  // "u-blox 7 GPS/GNSS Receiver (ttyACM0)"
  std::u16string port;   // what choosing it saves: "/dev/serial/by-id/usb-u-blox_..."
};

// The entries in list order, "auto:" first. Linux: then the receivers plugged in now (their
// /dev/serial/by-id links, named after the device, then ttyUSB*, ttyACM* and
// rfcomm* devices no link leads to), "location:" when GeoClue is on the system
// bus, "gpsd:", "DEMO:", then "COM1:"..."COM9:". Windows: then the COM ports
// present (the friendly name of the device where Windows has one), then "DEMO:".
std::vector<OfferedPort> OfferedPorts();
