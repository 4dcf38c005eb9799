// Whole-file reads and atomic saves.
#include "files/filewrite.h"

#include <stdexcept>

#include "base/exceptions.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <random>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {

ssize_t TFileWriter::Write(int Fd, const char* Data, std::size_t Size) const { return ::write(Fd, Data, Size); }
int TFileWriter::Sync(int Fd) const { return ::fsync(Fd); }

namespace {

[[noreturn]] void Fail(const char* What, const std::string& Path, int Err) {
    throw Exception(std::string(What) + ": " + Path + ": " + std::strerror(Err));
}

class TFd {
public:
    explicit TFd(int Fd) : FFd(Fd) {}
    ~TFd() {
        if (FFd >= 0) ::close(FFd);
    }
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const { return FFd; }
    int Release() {
        int fd = FFd;
        FFd = -1;
        return fd;
    }

private:
    int FFd;
};

// The file a save replaces: Path itself, or what a symbolic link at Path points to.
std::string SaveTarget(const std::string& Path) {
    struct stat st;
    if (::lstat(Path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return Path;
    char buf[PATH_MAX];
    if (::realpath(Path.c_str(), buf)) return buf;
    // A dangling link: write where it points.
    ssize_t len = ::readlink(Path.c_str(), buf, sizeof buf - 1);
    if (len <= 0) return Path;
    std::string link(buf, std::size_t(len));
    if (link[0] == '/') return link;
    std::size_t slash = Path.rfind('/');
    return slash == std::string::npos ? link : Path.substr(0, slash + 1) + link;
}

}  // namespace

std::string ReadFileBytes(const std::string& Path) {
    TFd fd(::open(Path.c_str(), O_RDONLY | O_CLOEXEC));
    if (fd.Get() < 0) Fail("ファイルを開けません", Path, errno);
    struct stat st;
    if (::fstat(fd.Get(), &st) != 0) Fail("ファイルを読めません", Path, errno);
    if (S_ISDIR(st.st_mode)) Fail("ファイルを読めません", Path, EISDIR);
    std::string bytes;
    std::size_t len = 0;
    bytes.resize(S_ISREG(st.st_mode) && st.st_size > 0 ? std::size_t(st.st_size) + 1 : 65536);
    for (;;) {
        if (len == bytes.size()) bytes.resize(bytes.size() * 2);
        ssize_t got = ::read(fd.Get(), bytes.data() + len, bytes.size() - len);
        if (got < 0) {
            if (errno == EINTR) continue;
            Fail("ファイルを読めません", Path, errno);
        }
        if (got == 0) break;
        len += std::size_t(got);
    }
    bytes.resize(len);
    return bytes;
}

void WriteFileAtomically(const std::string& Path, std::string_view Bytes, const TFileWriter* Writer) {
    WriteFileAtomically(Path, [&](const TByteSink& Sink) { Sink(Bytes); }, Writer);
}

void WriteFileAtomically(const std::string& Path, const std::function<void(const TByteSink& Sink)>& Produce,
                         const TFileWriter* Writer) {
    static const TFileWriter kSystem;
    const TFileWriter& w = Writer ? *Writer : kSystem;
    const std::string target = SaveTarget(Path);
    std::size_t slash = target.rfind('/');
    std::string dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));
    std::string base = slash == std::string::npos ? target : target.substr(slash + 1);

    struct stat old;
    bool exists = ::stat(target.c_str(), &old) == 0;
    if (exists && S_ISDIR(old.st_mode)) Fail("ファイルに書き込めません", Path, EISDIR);

    // A new name beside the target; the kernel applies the umask to a new file's mode.
    std::random_device rd;
    std::string temp;
    int fdNum = -1;
    for (int attempt = 0; attempt < 100 && fdNum < 0; ++attempt) {
        temp = dir + "/." + base + ".orvane-" + std::to_string(rd() % 1000000000u);
        fdNum = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fdNum < 0 && errno != EEXIST) Fail("ファイルに書き込めません", Path, errno);
    }
    if (fdNum < 0) Fail("ファイルに書き込めません", Path, EEXIST);
    TFd fd(fdNum);
    auto abandon = [&](int Err) {
        ::close(fd.Release());
        ::unlink(temp.c_str());
        Fail("ファイルに書き込めません", Path, Err);
    };
    if (exists) {
        if (::fchmod(fd.Get(), old.st_mode & 07777) != 0) abandon(errno);
        if (::fchown(fd.Get(), old.st_uid, old.st_gid) != 0) {
            // Not owner of the old file's group or user: the new file keeps ours.
        }
    }
    int writeError = 0;
    const TByteSink sink = [&](std::string_view Bytes) {
        std::size_t done = 0;
        while (done < Bytes.size() && !writeError) {
            ssize_t put = w.Write(fd.Get(), Bytes.data() + done, Bytes.size() - done);
            if (put < 0 && errno == EINTR) continue;
            if (put <= 0) {
                writeError = put < 0 ? errno : EIO;
                throw std::runtime_error("write failed");  // leaves Produce; reported below
            }
            done += std::size_t(put);
        }
    };
    try {
        Produce(sink);
    } catch (...) {
        if (!writeError) {
            // The producer gave up (an encoding that cannot hold the text, say): pass its error on.
            ::close(fd.Release());
            ::unlink(temp.c_str());
            throw;
        }
    }
    if (writeError) abandon(writeError);
    // Flushed before the rename when it replaces a file, so that a crash cannot leave the old
    // contents lost and the new ones not yet on disk. A new file risks nothing of the user's.
    if (exists && w.Sync(fd.Get()) != 0) abandon(errno);
    if (::close(fd.Release()) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        Fail("ファイルに書き込めません", Path, err);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        int err = errno;
        ::unlink(temp.c_str());
        Fail("ファイルに書き込めません", Path, err);
    }
    // Make the replacement itself durable; a failure here no longer endangers either file.
    if (exists) {
        TFd dirFd(::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
        if (dirFd.Get() >= 0) ::fsync(dirFd.Get());
    }
}

}  // namespace orvane
