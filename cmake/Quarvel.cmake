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

# Files built into a program as gtk_windows::kBitmapFiles (name, bytes, size),
# written again whenever one of them changes.
function(quarvel_embed_files output files)
  set(arrays "")
  set(entries "")
  set(index 0)
  foreach(file IN LISTS files)
    get_filename_component(name ${file} NAME)
    file(READ ${file} hex HEX)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(APPEND arrays "const unsigned char kFile${index}[] = {${bytes}};\n")
    string(APPEND entries "    {\"${name}\", kFile${index}, sizeof kFile${index}},\n")
    math(EXPR index "${index} + 1")
  endforeach()
  file(CONFIGURE OUTPUT ${output} CONTENT
"// Generated from resources/: the bitmap files the GTK windows show.
#include \"platform/posix/gtk/gtk_windows.h\"

namespace gtk_windows {
namespace {
${arrays}}  // namespace
const EmbeddedFile kBitmapFiles[] = {
${entries}};
const size_t kBitmapFileCount = ${index};
}  // namespace gtk_windows
")
  set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${files})
endfunction()
