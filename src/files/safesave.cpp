// Backups by copy and the save of a document's file.
#include "files/safesave.h"

#include "base/exceptions.h"
#include "base/faults.h"
#include "files/doctext.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <new>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {
namespace {

[[noreturn]] void Fail(const std::string& What, const std::string& Path, int Err) {
    throw Exception(What + ": " + Path + ": " + std::strerror(Err));
}

bool IsFile(const std::string& Path) {
    struct stat st;
    return ::stat(Path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool Exists(const std::string& Path) {
    struct stat st;
    return ::lstat(Path.c_str(), &st) == 0;
}

std::string FolderOf(const std::string& Path) {
    const std::size_t slash = Path.rfind('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : Path.substr(0, slash);
}

std::string BaseOf(const std::string& Path) {
    const std::size_t slash = Path.rfind('/');
    return slash == std::string::npos ? Path : Path.substr(slash + 1);
}

// The system's calls with a fault point before each write, so that tests can fail a backup copy
// midway.
class TFaultingWriter : public TFileWriter {
public:
    ssize_t Write(int Fd, const char* Data, std::size_t Size) const override {
        FaultPoint();
        return TFileWriter::Write(Fd, Data, Size);
    }
};

// Copies the file From into a new temporary file in Folder with From's permission bits; the
// name of the copy. Throws; nothing is left behind.
std::string CopyToTemporary(const std::string& From, const std::string& Folder, const std::string& Base) {
    TFd in(OpenRegularFile(From));
    struct stat st;
    if (::fstat(in.Get(), &st) != 0) Fail("ファイルを読めません", From, errno);
    std::string temp;
    TFd out(CreateUniqueFile(TemporaryPrefix(Folder, Base, ".orvane-bak-"), O_WRONLY, 0600, temp));
    if (out.Get() < 0) Fail("バックアップファイルを作れません", temp, errno);
    auto abandon = [&](int Err) {
        ::close(out.Release());
        ::unlink(temp.c_str());
        Fail("バックアップファイルを作れません", temp, Err);
    };
    static const TFaultingWriter kWriter;
    int err = 0;
    try {
        err = CopyContents(kWriter, in.Get(), out.Get());
    } catch (const std::bad_alloc&) {
        ::close(out.Release());
        ::unlink(temp.c_str());
        throw;
    }
    if (err) abandon(err);
    if (::fchmod(out.Get(), st.st_mode & 07777) != 0) abandon(errno);
    if (::fsync(out.Get()) != 0) abandon(errno);
    if (::close(out.Release()) != 0) {
        const int closeErr = errno;
        ::unlink(temp.c_str());
        Fail("バックアップファイルを作れません", temp, closeErr);
    }
    return temp;
}

bool IsByteEncoding(TDocumentEncoding E) { return E == deShiftJis || E == deEuc || E == deJis || E == deAuto; }

}  // namespace

std::string BackupName(const std::string& Path, const std::string& Folder) {
    std::string base = BaseOf(Path);
    const std::size_t dot = base.rfind('.');
    // A leading dot (".bashrc") starts the name, not an extension.
    if (dot == std::string::npos || dot == 0)
        base += ".~";
    else
        base = base.substr(0, dot) + ".~" + base.substr(dot + 1);
    std::string folder = Folder.empty() ? FolderOf(Path) : Folder;
    while (folder.size() > 1 && folder.back() == '/') folder.pop_back();
    return folder == "/" ? "/" + base : folder + "/" + base;
}

std::string NumberedBackupName(const std::string& Backup) {
    const std::size_t slash = Backup.rfind('/');
    const std::size_t mark = Backup.rfind(".~");
    std::string head, ext;
    if (mark == std::string::npos || (slash != std::string::npos && mark < slash)) {
        head = Backup;
    } else {
        head = Backup.substr(0, mark);
        ext = Backup.substr(mark + 2);
    }
    for (int n = 1;; ++n) {
        char number[16];
        std::snprintf(number, sizeof number, ".%.3d~", n);
        std::string name = head + number + ext;
        if (!Exists(name)) return name;
    }
}

void MakeBackup(const std::string& Path, const TBackupOptions& Options) {
    if (!Options.Backup || !IsFile(Path)) return;
    const std::string backup = BackupName(Path, Options.Folder);
    const std::string folder = FolderOf(backup);
    struct stat st;
    if (::stat(folder.c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
        Fail("バックアップのフォルダがありません", folder, ::stat(folder.c_str(), &st) != 0 ? errno : ENOTDIR);

    // The copy first: until it is complete, the old backup stays where it is.
    const std::string temp = CopyToTemporary(Path, folder, BaseOf(backup));
    auto dropTemp = [&] { ::unlink(temp.c_str()); };
    try {
        FaultPoint();
        if (Exists(backup)) {
            if (Options.Mode == bbTrash) {
                std::string error;
                if (!Options.MoveToTrash || !Options.MoveToTrash(backup, error))
                    throw Exception("古いバックアップファイルをごみ箱に移せません: " + backup +
                                    (error.empty() ? std::string() : ": " + error));
            } else if (Options.Mode == bbNumbered) {
                const std::string numbered = NumberedBackupName(backup);
                if (::rename(backup.c_str(), numbered.c_str()) != 0)
                    Fail("古いバックアップファイルの名前を変えられません", backup, errno);
            }
        }
        // Straight on to the new backup's name: an old backup put aside is never left without
        // its successor but for a failing rename, and then it is still under its new name.
        if (::rename(temp.c_str(), backup.c_str()) != 0) Fail("バックアップファイルを作れません", backup, errno);
    } catch (...) {
        dropTemp();
        throw;
    }
}

std::size_t CountUnwritable(const TTextPieces& Text, const TDocumentFormat& Format, const TCharMap* Map) {
    std::size_t lost = 0;
    if (Format.Encoding == deJis) {
        std::string whole;
        Text([&](std::string_view Piece) { whole += Piece; });
        return EncodeDocument(whole, Format, Map).Lost;
    }
    Text([&](std::string_view Piece) { lost += EncodeDocument(Piece, Format, Map).Lost; });
    return lost;
}

void SaveDocumentFile(const std::string& Path, const TTextPieces& Text, const TDocumentFormat& Format,
                      const TCharMap* Map, const TSaveOptions& Options) {
    auto cannotHold = [&](std::size_t Lost) {
        throw Exception(std::to_string(Lost) + " 文字を " + std::string(EncodingName(Format.Encoding).Caption) +
                        " で書き込めません: " + Path);
    };
    // Kept characters are the only ones an encoding may fail to hold: counted before anything
    // is touched.
    if (!Options.AllowLoss && IsByteEncoding(Format.Encoding) && Map && !Map->Empty()) {
        if (const std::size_t lost = CountUnwritable(Text, Format, Map)) cannotHold(lost);
    }
    // A save that cannot be made touches nothing, not even the backups.
    CheckCanWrite(Path);
    FaultPoint();
    try {
        MakeBackup(Path, Options.Backup);
    } catch (const Exception& e) {
        throw EBackupError(e.Message());
    }
    FaultPoint();
    WriteFileAtomically(
        Path,
        [&](const TByteSink& Sink) {
            if (Format.Encoding == deJis) {
                // JIS carries its shift state across the text: encoded whole.
                std::string whole;
                Text([&](std::string_view Piece) {
                    FaultPoint();
                    whole += Piece;
                });
                const TEncoded e = EncodeDocument(whole, Format, Map);
                if (e.Lost && !Options.AllowLoss) cannotHold(e.Lost);
                Sink(e.Bytes);
                return;
            }
            TDocumentFormat format = Format;
            std::size_t lost = 0;
            bool any = false;
            Text([&](std::string_view Piece) {
                FaultPoint();
                const TEncoded e = EncodeDocument(Piece, format, Map);
                format.Bom = false;  // only before the first piece
                any = true;
                lost += e.Lost;
                if (lost && !Options.AllowLoss) cannotHold(lost);
                Sink(e.Bytes);
            });
            if (!any) Sink(EncodeDocument({}, format, Map).Bytes);  // an empty text keeps its byte-order mark
        },
        Options.Writer);
}

}  // namespace orvane
