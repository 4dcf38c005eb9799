// File access rights.
#include "platform/fileaccess.h"

#include <cerrno>

#include <unistd.h>

namespace orvane {
namespace {

std::function<bool(const std::string&)>& Hook() {
    static std::function<bool(const std::string&)> hook;
    return hook;
}

}  // namespace

bool UserCanWrite(const std::string& Path) {
    if (Hook()) return Hook()(Path);
    return ::access(Path.c_str(), W_OK) == 0 || errno == ENOENT;
}

void SetUserCanWriteHook(std::function<bool(const std::string& Path)> Hook_) { Hook() = std::move(Hook_); }

}  // namespace orvane
