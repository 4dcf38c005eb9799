// Saving a document's file: the backup the settings ask for (made by copying, so the file keeps
// its permissions, links and owner), then the new text written to a temporary file and renamed
// over the target. Whatever fails, the file and any earlier backup are as they were.
#pragma once

#include "base/exceptions.h"
#include "files/charmap.h"
#include "files/docformat.h"
#include "files/filewrite.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

namespace orvane {

// What happens to a backup of the same name that is already there.
enum TBackupBackupMode : int {
    bbDelete = 0,    // replaced
    bbTrash = 1,     // moved to the trash first
    bbNumbered = 2,  // renamed to the first free numbered name (a.~txt -> a.001~txt, ...)
};

struct TBackupOptions {
    bool Backup = false;
    std::string Folder;  // where backups go; empty: the file's own folder
    int Mode = bbNumbered;
    // Moves a file to the trash; false with Error set when it could not (mode bbTrash).
    std::function<bool(const std::string& Path, std::string& Error)> MoveToTrash;
};

// The backup name of Path: the extension gets ".~" in front of it (a.txt -> a.~txt; a name
// without extension gets ".~"), in Folder (empty: the folder of Path).
std::string BackupName(const std::string& Path, const std::string& Folder = {});
// The first numbered name for an existing backup that no file has: a.~txt -> a.001~txt, ...
std::string NumberedBackupName(const std::string& Backup);

// Makes the backup of the file Path as Options say, when Options.Backup is set and Path is a
// file. The backup is a copy; an existing backup is only put aside once the new copy is
// complete. Throws orvane::Exception with the reason; Path is never touched.
void MakeBackup(const std::string& Path, const TBackupOptions& Options);

// The backup a save was asked to make could not be made; the file was not touched.
class EBackupError : public Exception {
public:
    using Exception::Exception;
};

// The text of a document handed over in pieces (Shift_JIS, any line ends, each piece ending at
// a line end except the last).
using TTextPieces = std::function<void(const std::function<void(std::string_view Piece)>& Piece)>;

struct TSaveOptions {
    TBackupOptions Backup;
    bool AllowLoss = false;               // write even when the encoding cannot hold some characters
    const TFileWriter* Writer = nullptr;  // the system calls (tests make them fail)
};

// How many characters of Text the format cannot hold.
std::size_t CountUnwritable(const TTextPieces& Text, const TDocumentFormat& Format, const TCharMap* Map);

// Backs up and writes Path. Throws orvane::Exception with the reason when it cannot (the file as
// it was; a backup made stays): EBackupError when only the backup failed. A save that cannot be
// made (see CheckCanWrite) is refused before any backup is made. Fault points: before the backup, after it, with each piece.
void SaveDocumentFile(const std::string& Path, const TTextPieces& Text, const TDocumentFormat& Format,
                      const TCharMap* Map, const TSaveOptions& Options);

}  // namespace orvane
