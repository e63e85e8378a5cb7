#pragma once
// Files the program makes by copying another: the copy takes the mode of a
// file made new, as the user's umask allows it, not that of the file copied
// (a template or a picture readable by everyone).

#include <QString>

namespace files {

// Read and write for whom the umask leaves them; false when it cannot be set.
bool takeNewFileMode(const QString& path);

}  // namespace files
