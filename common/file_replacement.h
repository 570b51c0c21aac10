// Writing a file so that a failure part-way never leaves it cut short.
#pragma once

#include <cstdio>

#include "platform/files.h"

// Writes a new file beside path with write(FILE*) and puts it in path's place
// once it is whole; true only when every byte reached the disk. A file the user
// may not write (made read-only) is left alone, as writing it in place would be.
template <typename Writer>
bool WriteFileReplacing(const char16_t* path, Writer write) {
  if (!MayWriteFile(path)) return false;
  char16_t temp[kPathUnits + 64];
  std::FILE* file = CreateFileBeside(path, temp, sizeof temp / sizeof *temp);
  if (!file) {
    // No room for a scratch name beside it (a name near the file system's limit,
    // a folder the user may not add to): write the file in place.
    file = OpenFile(path, "w");
    if (!file) return false;
    const bool written = write(file);
    return CloseFileDurably(file) && written;
  }
  bool ok = write(file);
  ok = CloseFileDurably(file) && ok;
  ok = ok && ReplaceFile(temp, path);
  if (!ok) RemoveFile(temp);
  return ok;
}
