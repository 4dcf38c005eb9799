// Opening help pages, web pages and mail addresses in the user's own programs.
#pragma once

#include <string>

namespace orvane {

// Opens a local file (the help pages) or a URL with the desktop's handler. False when no
// handler could be started.
bool OpenLocalFile(const std::string& Path);
bool OpenUrl(const std::string& Url);

}  // namespace orvane
