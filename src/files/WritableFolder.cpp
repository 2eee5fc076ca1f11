#include "files/WritableFolder.h"

#include <sys/stat.h>
#include <unistd.h>

bool IsWritableFolder(const FilePath& folder) {
    if (folder.empty()) return false;
    struct stat info {};
    return stat(folder.c_str(), &info) == 0 && S_ISDIR(info.st_mode) &&
           access(folder.c_str(), W_OK | X_OK) == 0;
}
