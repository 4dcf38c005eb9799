// Whole-file reads and atomic saves.
#include "files/filewrite.h"

#include <stdexcept>

#include "base/exceptions.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <cstring>
#include <cstdint>
#include <exception>
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

// The file a save replaces: Path itself, or the end of the chain of symbolic links at Path
// (each relative link read from its own folder). A chain that ends in a name nothing has gives
// that name, so the save creates the file the last link points to and no link is replaced. A
// loop, or a chain longer than the system follows, is refused.
std::string SaveTarget(const std::string& Path) {
    constexpr int kMaxLinks = 40;
    std::string at = Path;
    for (int hop = 0; hop <= kMaxLinks; ++hop) {
        struct stat st;
        if (::lstat(at.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return at;
        char buf[PATH_MAX];
        const ssize_t len = ::readlink(at.c_str(), buf, sizeof buf);
        if (len < 0) Fail("ファイルに書き込めません", Path, errno);
        if (len == 0 || std::size_t(len) >= sizeof buf) Fail("ファイルに書き込めません", Path, ENAMETOOLONG);
        const std::string link(buf, std::size_t(len));
        const std::size_t slash = at.rfind('/');
        at = link[0] == '/' || slash == std::string::npos ? link : at.substr(0, slash + 1) + link;
    }
    Fail("シンボリックリンクをたどれません", Path, ELOOP);
}

[[noreturn]] void CannotCreate(const std::string& Path, int Err) {
    throw Exception("ファイル " + Path + " を作成できません: " + std::strerror(Err));
}

// Writes all of Bytes; 0, or the error.
int WriteAll(const TFileWriter& W, int Fd, std::string_view Bytes) {
    std::size_t done = 0;
    while (done < Bytes.size()) {
        const ssize_t put = W.Write(Fd, Bytes.data() + done, Bytes.size() - done);
        if (put < 0 && errno == EINTR) continue;
        if (put <= 0) return put < 0 ? errno : EIO;
        done += std::size_t(put);
    }
    return 0;
}

// Writes the new contents over the file itself. The old contents are first copied to the
// program's state folder; a failed write puts them back, and the copy is removed once the file
// holds either the new or the old contents in full.
void WriteInPlace(const std::string& Path, const std::string& Target,
                  const std::function<void(const TByteSink& Sink)>& Produce, const TFileWriter& W) {
    const std::string folder = StateFolder();
    const std::size_t slash = Target.rfind('/');
    const std::string base = slash == std::string::npos ? Target : Target.substr(slash + 1);
    std::string backup;
    TFd copy(CreateUniqueFile(TemporaryPrefix(folder, base, ".orvane-old-"), O_RDWR, 0600, backup));
    if (copy.Get() < 0) Fail("保存前のコピーを作れません", backup, errno);
    TFd file(::open(Target.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY));
    auto dropCopy = [&] {
        ::close(copy.Release());
        ::unlink(backup.c_str());
    };
    if (file.Get() < 0) {
        const int err = errno;
        dropCopy();
        CannotCreate(Path, err);
    }
    // The copy and a restore go around the injected writer: it stands for the new contents.
    static const TFileWriter kSystem;
    if (int err = CopyContents(kSystem, file.Get(), copy.Get()); err || ::fsync(copy.Get()) != 0) {
        err = err ? err : errno;
        dropCopy();
        Fail("保存前のコピーを作れません", backup, err);
    }

    int writeError = 0;
    std::size_t written = 0;
    const TByteSink sink = [&](std::string_view Bytes) {
        if (!writeError && (writeError = WriteAll(W, file.Get(), Bytes)) != 0)
            throw std::runtime_error("write failed");  // leaves Produce; reported below
        written += Bytes.size();
    };
    std::exception_ptr producerError;
    if (::lseek(file.Get(), 0, SEEK_SET) != 0) writeError = errno;
    if (!writeError) {
        try {
            Produce(sink);
        } catch (...) {
            if (!writeError) producerError = std::current_exception();
        }
    }
    if (!writeError && !producerError) {
        if (::ftruncate(file.Get(), off_t(written)) != 0 || W.Sync(file.Get()) != 0) writeError = errno;
    }
    if (!writeError && !producerError) {
        dropCopy();
        return;
    }
    // Put the old contents back.
    const std::size_t oldSize = std::size_t(::lseek(copy.Get(), 0, SEEK_END));
    if (::lseek(file.Get(), 0, SEEK_SET) == 0 && CopyContents(kSystem, copy.Get(), file.Get()) == 0 &&
        ::ftruncate(file.Get(), off_t(oldSize)) == 0 && ::fsync(file.Get()) == 0) {
        dropCopy();
        if (producerError) std::rethrow_exception(producerError);
        Fail("ファイルに書き込めません", Path, writeError);
    }
    throw Exception("ファイルに書き込めません: " + Path + ": " + std::strerror(writeError ? writeError : EIO) +
                    "; 元の内容は " + backup + " にあります");
}

}  // namespace

std::string TemporaryPrefix(const std::string& Folder, std::string_view Base, std::string_view Tag) {
    // A name near the system's limit must still leave room: the start of the name is kept (so
    // that a leftover file shows what it was), cut before a character rather than inside one.
    constexpr std::size_t kKeep = 24;
    std::size_t keep = std::min(Base.size(), kKeep);
    while (keep > 0 && keep < Base.size() && (std::uint8_t(Base[keep]) & 0xC0) == 0x80) --keep;
    std::string prefix = Folder;
    if (prefix.empty() || prefix.back() != '/') prefix += '/';
    prefix += '.';
    prefix += Base.substr(0, keep);
    prefix += Tag;
    return prefix;
}

TFd::~TFd() {
    if (FFd >= 0) ::close(FFd);
}

int CreateUniqueFile(const std::string& Prefix, int Flags, mode_t Mode, std::string& Name) {
    std::random_device rd;
    for (int attempt = 0; attempt < 100; ++attempt) {
        Name = Prefix + std::to_string(rd() % 1000000000u);
        const int fd = ::open(Name.c_str(), Flags | O_CREAT | O_EXCL | O_CLOEXEC, Mode);
        if (fd >= 0 || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return -1;
}

int CopyContents(const TFileWriter& W, int From, int To) {
    std::string buf(1 << 20, '\0');
    if (::lseek(From, 0, SEEK_SET) != 0) return errno;
    for (;;) {
        const ssize_t got = ::read(From, buf.data(), buf.size());
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return errno;
        if (got == 0) return 0;
        if (int err = WriteAll(W, To, std::string_view(buf.data(), std::size_t(got)))) return err;
    }
}

std::string StateFolder() {
    std::string folder;
    if (const char* xdg = std::getenv("XDG_STATE_HOME"); xdg && xdg[0] == '/') {
        folder = std::string(xdg) + "/orvane";
    } else {
        const char* home = std::getenv("HOME");
        if (!home || home[0] != '/') throw Exception("状態フォルダが決まりません (HOME がありません)");
        folder = std::string(home) + "/.local/state/orvane";
    }
    // Each missing folder on the way is made, private to the user.
    for (std::size_t p = 1; p <= folder.size(); ++p) {
        if (p < folder.size() && folder[p] != '/') continue;
        const std::string part = folder.substr(0, p);
        if (::mkdir(part.c_str(), 0700) != 0 && errno != EEXIST) Fail("状態フォルダを作れません", part, errno);
    }
    return folder;
}

int OpenRegularFile(const std::string& Path) {
    // Only regular files: a FIFO would block, a device may never end, and opening some devices
    // does something. Checked before opening, and again on what was opened (O_NONBLOCK keeps
    // open(2) from waiting for a FIFO's writer should the name change in between).
    struct stat named;
    if (::stat(Path.c_str(), &named) == 0 && !S_ISREG(named.st_mode) && !S_ISDIR(named.st_mode))
        throw Exception("通常のファイルではないので開けません: " + Path);
    TFd fd(::open(Path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY));
    if (fd.Get() < 0) Fail("ファイルを開けません", Path, errno);
    struct stat st;
    if (::fstat(fd.Get(), &st) != 0) Fail("ファイルを読めません", Path, errno);
    if (S_ISDIR(st.st_mode)) Fail("ファイルを読めません", Path, EISDIR);
    if (!S_ISREG(st.st_mode)) throw Exception("通常のファイルではないので開けません: " + Path);
    return fd.Release();
}

std::string ReadFileBytes(const std::string& Path) {
    TFd fd(OpenRegularFile(Path));
    struct stat st;
    if (::fstat(fd.Get(), &st) != 0) Fail("ファイルを読めません", Path, errno);
    std::string bytes;
    std::size_t len = 0;
    bytes.resize(st.st_size > 0 ? std::size_t(st.st_size) + 1 : 65536);
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

namespace {

// Where and how a save of Path writes.
struct TWritePlan {
    std::string Target, Dir, Base;
    bool Exists = false;
    bool InPlace = false;
    struct stat Old {};
};

// Refuses what a save of Path could not do, before anything is written.
TWritePlan PlanWrite(const std::string& Path) {
    TWritePlan plan;
    plan.Target = SaveTarget(Path);
    const std::size_t slash = plan.Target.rfind('/');
    plan.Dir = slash == std::string::npos ? "." : (slash == 0 ? "/" : plan.Target.substr(0, slash));
    plan.Base = slash == std::string::npos ? plan.Target : plan.Target.substr(slash + 1);
    plan.Exists = ::stat(plan.Target.c_str(), &plan.Old) == 0;
    const bool dirWritable = ::faccessat(AT_FDCWD, plan.Dir.c_str(), W_OK, AT_EACCESS) == 0;
    const int dirError = errno;
    if (!plan.Exists) {
        // A new file needs a folder it can be made in.
        if (!dirWritable) CannotCreate(Path, dirError);
        return plan;
    }
    if (S_ISDIR(plan.Old.st_mode)) Fail("ファイルに書き込めません", Path, EISDIR);
    if (!S_ISREG(plan.Old.st_mode)) throw Exception("通常のファイルではないので書き込めません: " + Path);
    // A file the user may not write is not replaced, though the folder would allow it.
    if (::faccessat(AT_FDCWD, plan.Target.c_str(), W_OK, AT_EACCESS) != 0) CannotCreate(Path, errno);
    // Replacing the file by another would unlink its other names, give it our ownership, or is
    // not possible in a folder we may not write: such files are written in place.
    plan.InPlace = plan.Old.st_nlink > 1 || (::geteuid() != 0 && plan.Old.st_uid != ::geteuid()) || !dirWritable;
    return plan;
}

}  // namespace

void CheckCanWrite(const std::string& Path) { PlanWrite(Path); }

void WriteFileAtomically(const std::string& Path, const std::function<void(const TByteSink& Sink)>& Produce,
                         const TFileWriter* Writer) {
    static const TFileWriter kSystem;
    const TFileWriter& w = Writer ? *Writer : kSystem;
    const TWritePlan plan = PlanWrite(Path);
    const std::string& target = plan.Target;
    const std::string& dir = plan.Dir;
    const bool exists = plan.Exists;
    const struct stat& old = plan.Old;
    if (plan.InPlace) {
        WriteInPlace(Path, target, Produce, w);
        return;
    }

    // A new name beside the target; the kernel applies the umask to a new file's mode.
    std::string temp;
    TFd fd(CreateUniqueFile(TemporaryPrefix(dir, plan.Base, ".orvane-"), O_WRONLY, 0666, temp));
    if (fd.Get() < 0) Fail("ファイルに書き込めません", Path, errno);
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
        if (!writeError && (writeError = WriteAll(w, fd.Get(), Bytes)) != 0)
            throw std::runtime_error("write failed");  // leaves Produce; reported below
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
