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
