#pragma once
// Saves go to a temporary file beside the target and are renamed over it, so
// a failed save leaves the old file whole.
#include <string>
#include <string_view>

// False with error holding the system's message when the file could not be
// written; the target is then unchanged and no temporary file remains.
bool WriteFileAtomically(const std::string& path, std::string_view bytes, std::string& error);

// The whole file as bytes; false with the system's message when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& bytes, std::string& error);

// The start of a file up to the end of its first lineCount lines (CR, LF or CR LF
// end a line), or the whole file when it has fewer. False with a message when it
// cannot be read or those lines run past maxBytes, so that a huge file picked by
// mistake is refused instead of exhausting memory.
bool ReadLeadingLines(const std::string& path, int lineCount, std::size_t maxBytes, std::string& bytes,
                      std::string& error);
