// What the user may do with a file: whether it can be written as it is.
#pragma once

#include <functional>
#include <string>

namespace orvane {

// False for a file the user may not write (its permissions, another user's file, a read-only
// file system); true for a file that is not there. Tests stand in for the system's answer
// through the hook, since root may write any file.
bool UserCanWrite(const std::string& Path);
void SetUserCanWriteHook(std::function<bool(const std::string& Path)> Hook);

}  // namespace orvane
