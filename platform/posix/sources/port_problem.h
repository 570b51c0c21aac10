// Why the GPS port could not be opened, in words for the user: the path tried and the system's reason.
#pragma once

#include <string>

// "PATH: <strerror>", and for a refused permission whom to ask: the group that
// owns the device, read from the device itself.
std::string DescribeOpenError(const std::string& path, int error);
