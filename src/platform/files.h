// Files that must never be left half written.
#pragma once

#include <string>

namespace platform {

// Replaces path with content atomically: a temporary file in the same
// directory is written, flushed to disk and renamed over path. Returns false,
// leaving any old file as it was, when any step fails.
bool writeFileAtomically(const std::string &path, const std::string &content);

} // namespace platform
