// Files that must never be left half written.
#pragma once

#include <string>

namespace platform {

// Replaces path with content atomically: a temporary file in the same
// directory is written, flushed to disk and renamed over path. When path is
// a symbolic link, the file it points to is replaced, in that file's own
// directory, and the link stays. Returns false, leaving any old file as it
// was, when any step fails; error (when given) then holds the errno.
bool writeFileAtomically(const std::string &path, const std::string &content, int *error = nullptr);

// The file a path finally names, through any symbolic links (the last one may
// name a file that does not exist yet); false with errno set when the links
// cannot be followed.
bool followLinks(const std::string &path, std::string &target);

} // namespace platform
