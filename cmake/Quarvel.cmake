# Build helpers shared by every directory.

# Warnings are errors-in-waiting: the tree stays clean under g++ and clang, and
# with QUARVEL_WARNINGS_AS_ERRORS a warning stops the build.
function(quarvel_warnings target)
  target_compile_options(${target} PRIVATE -Wall -Wextra -Wpedantic -Wshadow
    $<$<BOOL:${QUARVEL_WARNINGS_AS_ERRORS}>:-Werror>)
endfunction()

# A static library from a list of sources; an interface library while a
# directory is still empty, so that dependents link the same way either way.
function(quarvel_add_library name srcs)
  if(srcs)
    add_library(${name} STATIC ${srcs})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    quarvel_warnings(${name})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
  endif()
endfunction()

# Link dependencies whether the library is built yet or still an interface.
function(quarvel_link name)
  get_target_property(type ${name} TYPE)
  if(type STREQUAL "INTERFACE_LIBRARY")
    target_link_libraries(${name} INTERFACE ${ARGN})
  else()
    target_link_libraries(${name} PUBLIC ${ARGN})
  endif()
endfunction()

# A program of the desktop Windows build: GUI subsystem (no console window), the
# wide entry point wWinMain (-municode) and its resource script.
function(quarvel_win32_program target rc)
  set_target_properties(${target} PROPERTIES WIN32_EXECUTABLE ON)
  target_link_options(${target} PRIVATE -municode)
  target_sources(${target} PRIVATE ${rc})
  target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR})
endfunction()
