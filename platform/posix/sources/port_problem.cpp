// Why the GPS port could not be opened, in words for the user.
#include "platform/posix/sources/port_problem.h"

#include <grp.h>
#include <sys/stat.h>

#include <cstring>

namespace {

// The name of the group that owns path, or its number; empty when unknown.
std::string OwningGroup(const std::string& path) {
  struct stat info {};
  if (stat(path.c_str(), &info) != 0) return {};
  group entry{};
  group* found = nullptr;
  char buffer[4096];
  if (getgrgid_r(info.st_gid, &entry, buffer, sizeof buffer, &found) == 0 && found) {
    return found->gr_name;
  }
  return std::to_string(info.st_gid);
}

}  // namespace

std::string DescribeOpenError(const std::string& path, int error) {
  std::string text = path + ": " + std::strerror(error);
  if (error != EACCES && error != EPERM) return text;
  const std::string group = OwningGroup(path);
  if (group.empty() || group == "root") return text;
  return text + " (the device belongs to group " + group + ": sudo adduser $USER " + group +
         ", then log in again)";
}
