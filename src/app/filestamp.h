// What a document remembers of its file, to tell when another program changed or deleted it.
#pragma once

#include <cstdint>
#include <string>

namespace orvane {

struct TFileStamp {
    bool Exists = false;
    std::int64_t ModifiedNs = 0;  // modification time in nanoseconds
    std::int64_t Size = 0;
    std::uint64_t Inode = 0;  // a file renamed over the old one has a new inode
    std::uint64_t Device = 0;
    bool operator==(const TFileStamp&) const = default;
};

// The file as it is now (through symbolic links); Exists is false when there is none.
TFileStamp StampOf(const std::string& Path);

enum class TFileChange { Unchanged, Changed, Deleted };
// How the file at Path differs from Stamp (taken when the document last read or wrote it).
TFileChange CheckFileChange(const std::string& Path, const TFileStamp& Stamp);

}  // namespace orvane
