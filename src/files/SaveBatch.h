#pragma once
// Saving so that nothing is lost, in the way a careful editor saves:
// - a regular file is replaced by a new one written beside it, flushed to disk
//   first, renamed over it, and the folder flushed after; a failed or killed
//   save leaves the old file whole. The new file is unnamed until it is in
//   place where the system allows (O_TMPFILE), and keeps the old one's mode and,
//   where we may, its owner;
// - a symbolic link is written through: its target is replaced, the link stays;
// - anything that is not a regular file (a device, a pipe, /dev/stdout) is
//   written straight, never replaced by a file;
// - a file the user may not write is refused with the system's message, although
//   the folder would allow replacing it.
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "files/FilePath.h"
#include "files/FileStore.h"
#include "files/FileSystem.h"

// One save, flushed to disk before it replaces the old file.
bool SaveFile(const FilePath& path, std::string_view bytes, std::string& error,
              FileSystem& system = SystemFileSystem());

// Many saves flushed together: every new file is written (Save), then one
// flush of the file system, then the renames, then one flush per folder. So a
// class's worth of files waits on the disk once, not once per file.
class SaveBatch : public FileStore {
public:
    explicit SaveBatch(FileSystem& system = SystemFileSystem());
    ~SaveBatch() override;  // what was not committed is dropped; the old files stay
    SaveBatch(const SaveBatch&) = delete;
    SaveBatch& operator=(const SaveBatch&) = delete;

    // Writes the new file beside its target; nothing is replaced before Commit.
    // Targets that are not regular files are written at once.
    bool Save(const FilePath& path, std::string_view bytes, std::string& error) override;

    struct Failure {
        FilePath Path;
        std::string Error;
    };
    // Puts every written file in place; the saves that failed, with their messages.
    std::vector<Failure> Commit();

    struct Entry;

private:
    friend bool SaveFile(const FilePath&, std::string_view, std::string&, FileSystem&);
    SaveBatch(FileSystem& system, bool syncEach);
    void CommitEntries();

    FileSystem& system;
    bool syncEach;  // fsync each file as it is written (a single save)
    std::vector<std::unique_ptr<Entry>> entries;
    std::vector<Failure> failures;
};
