// A receiver's name for people, read from its /dev/serial/by-id link.
#pragma once

#include <string>
#include <string_view>

// "usb-u-blox_AG_-_www.u-blox.com_u-blox_7_-_GPS_GNSS_Receiver-if00" gives
// "u-blox 7 GPS/GNSS Receiver": the bus and interface are dropped, and so is a
// maker's name that ends in its web address. Empty when nothing is left.
std::string NameFromByIdLink(std::string_view link);
