# GeographicLib, for the UTM/UPS and MGRS position formats: the target
# quarvel_geographiclib. Linux links Debian's libgeographiclib-dev. The Windows build
# cross-builds Debian's source package of the same version with this build's
# toolchain, statically, since Debian ships no mingw-w64 build of it.
if(WIN32 AND CMAKE_CROSSCOMPILING)
  set(QUARVEL_GEOGRAPHICLIB_SOURCE ${PROJECT_SOURCE_DIR}/build/geographiclib-source CACHE PATH
    "Unpacked source of GeographicLib for the Windows build (scripts/fetch-geographiclib.sh)")
  set(source ${QUARVEL_GEOGRAPHICLIB_SOURCE})
  if(NOT EXISTS ${source}/CMakeLists.txt)
    message(STATUS "Fetching Debian's source package of GeographicLib into ${source}")
    execute_process(COMMAND ${PROJECT_SOURCE_DIR}/scripts/fetch-geographiclib.sh ${source}
      RESULT_VARIABLE fetched)
    if(NOT fetched EQUAL 0)
      message(FATAL_ERROR "GeographicLib's source could not be fetched into ${source}")
    endif()
  endif()

  include(ExternalProject)
  set(binary ${PROJECT_BINARY_DIR}/geographiclib)
  set(library ${binary}/lib/${CMAKE_STATIC_LIBRARY_PREFIX}GeographicLib${CMAKE_STATIC_LIBRARY_SUFFIX})
  # Only the library: its tools, manual pages and documentation are not needed here.
  ExternalProject_Add(geographiclib_cross
    SOURCE_DIR ${source}
    BINARY_DIR ${binary}
    CMAKE_ARGS -DCMAKE_TOOLCHAIN_FILE=${CMAKE_TOOLCHAIN_FILE} -DCMAKE_BUILD_TYPE=Release
      -DBUILD_SHARED_LIBS=OFF -DBUILD_MANPAGES=OFF -DBUILD_DOCUMENTATION=OFF
    BUILD_COMMAND ${CMAKE_COMMAND} --build ${binary} --target GeographicLib_STATIC
    INSTALL_COMMAND ""
    BUILD_BYPRODUCTS ${library}
    LOG_CONFIGURE ON LOG_BUILD ON LOG_OUTPUT_ON_FAILURE ON)
  file(MAKE_DIRECTORY ${binary}/include)  # Config.h lands there when it builds
  add_library(quarvel_geographiclib STATIC IMPORTED GLOBAL)
  set_target_properties(quarvel_geographiclib PROPERTIES
    IMPORTED_LOCATION ${library}
    INTERFACE_INCLUDE_DIRECTORIES "${source}/include;${binary}/include"
    INTERFACE_COMPILE_DEFINITIONS GEOGRAPHICLIB_SHARED_LIB=0)
  add_dependencies(quarvel_geographiclib geographiclib_cross)
else()
  find_package(PkgConfig REQUIRED)
  pkg_check_modules(GEOGRAPHICLIB IMPORTED_TARGET geographiclib)
  if(NOT GEOGRAPHICLIB_FOUND)
    message(FATAL_ERROR "GeographicLib is missing: install libgeographiclib-dev "
      "(scripts/install-deps.sh build)")
  endif()
  add_library(quarvel_geographiclib INTERFACE)
  target_link_libraries(quarvel_geographiclib INTERFACE PkgConfig::GEOGRAPHICLIB)
endif()
