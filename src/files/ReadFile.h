#pragma once
// Reading the program's input files: only regular files are opened, and
// opening never waits, so a pipe or a device named by mistake is refused with
// a message instead of blocking the program before anything shows.
#include <cstddef>
#include <string>

#include "files/FilePath.h"
#include "files/FileSystem.h"

struct FileRead {
    bool Ok = false;
    bool Missing = false;  // there is no file of that name
    std::string Reason;    // why not, in the system's words where it has them
    std::string Error;     // "Cannot open file "<path>".", CR, the reason
};

// The whole file when it holds at most maxBytes; a larger one is refused.
FileRead ReadRegularFile(const FilePath& path, std::size_t maxBytes, std::string& bytes,
                         FileSystem& system = SystemFileSystem());

// The whole file as bytes; false with the message when it cannot be read.
bool ReadWholeFile(const FilePath& path, std::string& bytes, std::string& error);

// The start of a file up to the end of its first lineCount lines (CR, LF or CR LF
// end a line), or the whole file when it has fewer. False with a message when it
// cannot be read or those lines run past maxBytes, so that a huge file picked by
// mistake is refused instead of exhausting memory.
bool ReadLeadingLines(const FilePath& path, int lineCount, std::size_t maxBytes, std::string& bytes,
                      std::string& error, FileSystem& system = SystemFileSystem());
