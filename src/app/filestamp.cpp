// File stamps.
#include "app/filestamp.h"

#include <sys/stat.h>

namespace orvane {

TFileStamp StampOf(const std::string& Path) {
    struct stat st {};
    if (Path.empty() || ::stat(Path.c_str(), &st) != 0) return {};
    TFileStamp s;
    s.Exists = true;
    s.ModifiedNs = std::int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    s.Size = st.st_size;
    s.Inode = st.st_ino;
    s.Device = st.st_dev;
    return s;
}

TFileChange CheckFileChange(const std::string& Path, const TFileStamp& Stamp) {
    if (!Stamp.Exists) return TFileChange::Unchanged;  // nothing was read: nothing to compare
    const TFileStamp now = StampOf(Path);
    if (!now.Exists) return TFileChange::Deleted;
    return now == Stamp ? TFileChange::Unchanged : TFileChange::Changed;
}

}  // namespace orvane
