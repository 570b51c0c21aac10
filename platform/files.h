// Files by UTF-16 path and text in the platform's multibyte character set
// (UTF-8 on Linux, the ANSI code page on Windows).
#pragma once

#include <cstddef>
#include <cstdio>

// Units a path buffer holds, terminator included. Linux hands out paths of up to
// PATH_MAX (4096) bytes, which never need more UTF-16 units than bytes; Windows'
// MAX_PATH of 260 fits as well. A path that does not fit is refused, never cut.
inline constexpr std::size_t kPathUnits = 4096;

// The character that separates directories in the paths this platform hands out.
char16_t PathSeparator();

// The running program's own file, into path (capacity units with the terminator).
// False, with an empty path, when it is unknown or would not fit.
bool GetModulePath(char16_t* path, std::size_t capacity);

// The marker file whose presence makes the programs an installed copy (a package,
// an installer), as a path relative to the programs' folder. An installed copy keeps
// each user's settings in the user's own folder; a portable copy beside itself.
const char16_t* InstalledMarker();

// The folder in which an installed copy keeps this user's settings, into path
// (capacity units with the terminator). False, with an empty path, when the
// environment names no such folder or it would not fit.
bool GetUserSettingsFolder(char16_t* path, std::size_t capacity);

// Creates the folder that a file at path lies in, and its missing parents, each
// private to the user. True when the folder is there afterwards.
bool CreateFolderFor(const char16_t* path);

// fopen by UTF-16 path; mode as for fopen ("r", "w": text mode). Null on failure.
std::FILE* OpenFile(const char16_t* path, const char* mode);

// A new, empty text file for writing in the directory of path (of the file a link
// at path leads to), under a name no other file has; its name goes to tempPath.
// Null when it cannot be created.
std::FILE* CreateFileBeside(const char16_t* path, char16_t* tempPath, std::size_t capacity);

// Flushes the stream, makes its data durable on the disk and closes it. False if
// any of that failed; the stream is closed either way.
bool CloseFileDurably(std::FILE* file);

// Puts from in the place of to in one step (a reader sees the old file or the new
// one, never a mix) and keeps to's permissions; a link at to stays a link and its
// file is replaced. False when it could not.
bool ReplaceFile(const char16_t* from, const char16_t* to);

// Whether this process may write the file at path (following a link): true when it
// opens for writing, or when there is no such file yet. Nothing is changed.
bool MayWriteFile(const char16_t* path);

// Deletes a file. False when it could not.
bool RemoveFile(const char16_t* path);

// Converts text into out (capacity bytes, terminator included). Stops before a
// character whose bytes would not fit, so out always ends on a whole character;
// a character the set cannot represent becomes '?'. True when all of text fit.
bool WideToMultibyte(const char16_t* text, char* out, std::size_t capacity);

// Converts multibyte text into out (capacity units, terminator included), the
// same way: whole characters only; bytes that are no character become U+FFFD.
// True when all of text fit.
bool MultibyteToWide(const char* text, char16_t* out, std::size_t capacity);

// Reads one line the way fgetws does: characters up to and including the next line
// feed, at most capacity - 1 units, never half of a surrogate pair; the rest of a
// longer line stays for the next read. False at the end of the file (or on an
// error) before any character was read.
bool ReadWideLine(std::FILE* file, char16_t* line, std::size_t capacity);
