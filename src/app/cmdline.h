// The command line: options, the files to open and the line to show in each.
#pragma once

#include "files/docformat.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

struct TOpenRequest {
    std::string Path;  // absolute
    int Line = 0;      // 1-based line to show; 0 for none
    bool operator==(const TOpenRequest&) const = default;
};

struct TCommandLine {
    bool Help = false;
    bool Version = false;
    TDocumentEncoding Encoding = deAuto;  // --encoding: the files are read in this encoding
    std::vector<TOpenRequest> Files;
    bool NewInstance = false;  // --new-instance: never hand the files to a running program
    std::string Screenshot;  // --screenshot OUT: show the window once, save a picture, exit
    std::string Error;       // not empty: the line could not be understood (the message says why)
};

// Reads the arguments after the program's name: --help, --version, --encoding ENC, --new-instance, FILE,
// FILE:LINE (only when no file of that whole name exists), +LINE FILE, and "--" after which every
// argument is a file. IsFile tells whether a regular file exists; relative paths are made
// absolute against WorkingDir.
TCommandLine ParseCommandLine(const std::vector<std::string>& Args, const std::string& WorkingDir,
                              const std::function<bool(const std::string&)>& IsFile);

// The files a second start hands to the program already running (encoding and files), as bytes
// and back; nullopt when Bytes are incomplete or not such a message.
std::string EncodeHandOff(const TCommandLine& CommandLine);
std::optional<TCommandLine> DecodeHandOff(std::string_view Bytes);

// What a name given on the command line stands for: a file to open, a file that is not there
// yet (its folder is), to be made by the first save, or a name that cannot be opened (Message
// says why and names it: a folder, a device, a file that may not be read, a missing folder).
struct TOpenTarget {
    enum TKind { Open, New, Refused } Kind = Refused;
    std::string Message;
};
TOpenTarget ClassifyOpenName(const std::string& Path);

std::string UsageText();
std::string VersionText();

}  // namespace orvane
