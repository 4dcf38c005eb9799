// Reading a whole file, and writing one so that a failure leaves the old file as it was.
#pragma once

#include <functional>
#include <string>
#include <string_view>
#include <sys/types.h>

namespace orvane {

// The system calls a save goes through; tests replace it to make a write fail midway.
class TFileWriter {
public:
    virtual ~TFileWriter() = default;
    // As write(2): bytes written, or -1 with errno set.
    virtual ssize_t Write(int Fd, const char* Data, std::size_t Size) const;
    // As fsync(2).
    virtual int Sync(int Fd) const;
};

// An open file descriptor, closed when it goes.
class TFd {
public:
    explicit TFd(int Fd) noexcept : FFd(Fd) {}
    ~TFd();
    TFd(const TFd&) = delete;
    TFd& operator=(const TFd&) = delete;
    int Get() const noexcept { return FFd; }
    int Release() noexcept {
        const int fd = FFd;
        FFd = -1;
        return fd;
    }

private:
    int FFd;
};

// Creates a file that was not there, named Prefix followed by a random number, open with Flags
// (O_CREAT, O_EXCL and O_CLOEXEC are added) and Mode; its name in Name. -1 with errno set when
// it cannot.
int CreateUniqueFile(const std::string& Prefix, int Flags, mode_t Mode, std::string& Name);
// The start of a temporary file's name for a file named Base, in Folder: a dot, the first bytes
// of Base and Tag, short enough that a name at the system's limit still gets one.
std::string TemporaryPrefix(const std::string& Folder, std::string_view Base, std::string_view Tag);
// Copies From (from its start) to To through W; 0, or the error.
int CopyContents(const TFileWriter& W, int From, int To);

// The whole file. Throws orvane::Exception (message naming the file and the reason).
std::string ReadFileBytes(const std::string& Path);
// A descriptor open for reading on Path, which must be a regular file: FIFOs and devices are
// refused at once, without waiting in open(2). Throws orvane::Exception as ReadFileBytes does.
int OpenRegularFile(const std::string& Path);

// The program's state folder ($XDG_STATE_HOME/orvane, else ~/.local/state/orvane), made when
// missing. Throws orvane::Exception when it cannot be.
std::string StateFolder();

// Writes Bytes to a new file beside Path (through a symbolic link: beside its target), flushes
// it to disk when it replaces a file, and renames it over the target, keeping the old file's
// permission bits. On any failure the temporary file is removed, the old file is untouched, and
// orvane::Exception is thrown.
// A target the user may not write is refused. A target with other hard links, owned by another
// user, or in a folder the user may not write is written in place instead, after a copy of its
// old contents was made in the state folder; a failed write puts the old contents back.
void WriteFileAtomically(const std::string& Path, std::string_view Bytes, const TFileWriter* Writer = nullptr);

// Throws orvane::Exception, as WriteFileAtomically would, when a save of Path cannot be made (a
// file the user may not write, a folder, a link loop, no folder to make it in); nothing is touched.
void CheckCanWrite(const std::string& Path);

// Receives the bytes of a file being written, piece by piece.
using TByteSink = std::function<void(std::string_view Bytes)>;
// The same with the bytes handed over in pieces by Produce, so that a large file never has to be
// held whole. An exception thrown by Produce abandons the write (the old file stays as it was)
// and is passed on.
void WriteFileAtomically(const std::string& Path, const std::function<void(const TByteSink& Sink)>& Produce,
                         const TFileWriter* Writer = nullptr);

}  // namespace orvane
