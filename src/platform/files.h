#pragma once

#include "text/text.h"

namespace tarvelle::platform {

// The directory that holds the program file, without a trailing separator.
text::Text RunDirectory();

// Tests run several programs out of one build folder; each points the tool's
// "beside the program" files at a folder of its own. Empty restores the real one.
void SetRunDirectoryForTesting(const text::Text& directory);

// The run directory joined with `name` by the platform's separator.
text::Text BesideProgram(const text::Text& name);

// The whole file, or empty bytes when the path is empty or the file is
// missing, unreadable or empty. A short read yields what was read.
text::Bytes ReadFileBytes(const text::Text& path);

// Creates or truncates the file and writes the bytes; false when the path is
// empty or the file cannot be opened or written.
bool WriteFileBytes(const text::Text& path, const text::Bytes& bytes);

// Removes the file; false when it was not there or cannot be removed.
bool DeleteFileA(const text::Text& path);

// A 936 path as the operating system spells it (UTF-8 here).
std::string OsPath(const text::Text& path);

}  // namespace tarvelle::platform
