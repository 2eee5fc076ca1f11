#pragma once
// Whether saves can go into a folder: the save dialog should not open where
// nothing can be written, such as the folder of an installed program.
#include "files/FilePath.h"

// True for an existing folder (or a link to one) the user may create files in.
bool IsWritableFolder(const FilePath& folder);
