#pragma once
// Where saves go. The window saves each file at once; kelvara-cli collects a
// batch and flushes it together, or sends it to standard output.
#include <string>
#include <string_view>

#include "files/FilePath.h"

class FileStore {
public:
    virtual ~FileStore() = default;
    // False with a message in the system's words when the file could not be
    // saved; whatever the path named is then unchanged.
    virtual bool Save(const FilePath& path, std::string_view bytes, std::string& error) = 0;
};

// Saves through SaveFile (files/SaveBatch.h).
FileStore& DiskFileStore();
