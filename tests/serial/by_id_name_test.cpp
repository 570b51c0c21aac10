// Receivers' names read from the /dev/serial/by-id links udev makes.
#include <gtest/gtest.h>

#include <string>

#include "platform/posix/sources/by_id_name.h"

namespace {

TEST(NameFromByIdLink, EachKindOfLink) {
  const struct {
    const char* link;
    const char* name;
  } cases[] = {
      // A maker named with its web address; udev's '_' for the spaces and the slash.
      {"usb-u-blox_AG_-_www.u-blox.com_u-blox_7_-_GPS_GNSS_Receiver-if00",
       "u-blox 7 GPS/GNSS Receiver"},
      {"usb-u-blox_AG_-_www.u-blox.com_u-blox_GNSS_receiver-if00", "u-blox GNSS receiver"},
      // A USB serial adapter: its interface's port dropped, its serial number kept
      // (it tells two of the same kind apart).
      {"usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0", "FTDI FT232R USB UART A50285BI"},
      {"usb-Prolific_Technology_Inc._USB-Serial_Controller_D-if00-port0",
       "Prolific Technology Inc. USB-Serial Controller D"},
      {"usb-1a86_USB2.0-Serial-if00-port0", "1a86 USB2.0-Serial"},
      {"usb-Silicon_Labs_CP2102_USB_to_UART_Bridge_Controller_0001-if00-port0",
       "Silicon Labs CP2102 USB to UART Bridge Controller 0001"},
      {"usb-Garmin_GPS_18x_USB-if02", "Garmin GPS 18x USB"},
      // A web address with nothing after it is all the name there is.
      {"usb-Maker_www.maker.example-if00", "Maker www.maker.example"},
      // Not udev's form: what can be read of it.
      {"gps", "gps"},
      {"usb-gps__puck-ifx", "gps puck-ifx"},
      {"usb--if00", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    EXPECT_EQ(NameFromByIdLink(c.link), c.name) << "link \"" << c.link << "\"";
  }
}

}  // namespace
