# The map page's host: the one build setting behind every URL Quarvel copies, for the
# Linux and the Windows builds alike. A host name or address, an optional :port and an
# optional /path under which that host serves the quarvel/ folder.
set(QUARVEL_MAP_HOST "maps.quarvel.net" CACHE STRING
  "Host of the map page in Quarvel's URLs: name[:port][/path], at most 190 characters")

# Only characters that need no escaping in a URL or a C++ string literal; 190 keeps the
# URL within its 255 characters. The rule goes into quarvel_map_host.h too, so that
# --map-host and settings.ini's map host are checked by the same pattern (the
# ECMAScript grammar of std::regex reads it as CMake does).
set(QUARVEL_MAP_HOST_PATTERN "^([A-Za-z0-9.-]+|\\[[0-9A-Fa-f:.]+\\])(:[0-9]+)?(/[A-Za-z0-9._~-]+)*$")
set(QUARVEL_MAP_HOST_MAX 190)
string(LENGTH "${QUARVEL_MAP_HOST}" map_host_length)
if(NOT QUARVEL_MAP_HOST MATCHES "${QUARVEL_MAP_HOST_PATTERN}"
   OR map_host_length GREATER QUARVEL_MAP_HOST_MAX)
  message(FATAL_ERROR "QUARVEL_MAP_HOST \"${QUARVEL_MAP_HOST}\" is not name[:port][/path] of "
    "at most 190 characters (letters, digits and . - _ ~ in names and path segments)")
endif()
configure_file(${CMAKE_CURRENT_LIST_DIR}/map_host.h.in
  ${PROJECT_BINARY_DIR}/generated/quarvel_map_host.h @ONLY)
