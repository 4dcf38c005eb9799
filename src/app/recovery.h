// Crash recovery: snapshots of documents with unsaved changes, written beside the program's
// state so that a run that dies (killed, power lost) leaves them for the next run to offer.
#pragma once

#include "files/docformat.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

namespace orvane {

class TCharMap;

// One document as it was: its text and everything needed to save it as the user would have.
struct TRecoverySnapshot {
    std::string FileName;  // empty for a new document
    bool Untitled = true;  // new or cloned: never saved without asking for a name
    TDocumentFormat Format;
    // The characters kept in the user-defined area (code, character), in code order.
    std::vector<std::pair<std::uint16_t, char32_t>> Kept;
    std::string Text;  // Shift_JIS, as the editor holds it
    bool operator==(const TRecoverySnapshot&) const = default;
};

// The snapshot file's bytes, and back (nullopt for a damaged or foreign file).
std::string EncodeSnapshot(const TRecoverySnapshot& Snapshot);
std::optional<TRecoverySnapshot> DecodeSnapshot(std::string_view Bytes);

// The entries of Map, and a map that gives the same characters for the same codes.
std::vector<std::pair<std::uint16_t, char32_t>> KeptCharacters(const TCharMap& Map);
void RestoreKeptCharacters(const std::vector<std::pair<std::uint16_t, char32_t>>& Kept, TCharMap& Map);

// $XDG_STATE_HOME/orvane/recovery (default ~/.local/state/orvane/recovery), made when missing.
// Throws orvane::Exception when it cannot be.
std::string DefaultRecoveryFolder();

// A run that ended without cleaning up: its folder and the snapshots found in it.
struct TAbandonedRun {
    std::string Folder;
    std::vector<TRecoverySnapshot> Snapshots;
    int Damaged = 0;  // snapshot files that could not be read
};

// This run's folder below the recovery folder, held by a lock for as long as the run lives: a
// folder whose lock nobody holds belongs to a run that did not end normally.
class TRecoveryRun {
public:
    // Makes the run's folder and takes its lock. Throws orvane::Exception when it cannot.
    explicit TRecoveryRun(std::string RecoveryFolder);
    // Keeps the folder (a run that did not end normally leaves it); releases the lock.
    ~TRecoveryRun();
    TRecoveryRun(const TRecoveryRun&) = delete;
    TRecoveryRun& operator=(const TRecoveryRun&) = delete;

    const std::string& Folder() const noexcept { return FFolder; }
    // Writes document Id's snapshot atomically. Throws orvane::Exception.
    void Write(int Id, const TRecoverySnapshot& Snapshot) const;
    void Remove(int Id) const noexcept;
    // The run ended as it should: its folder goes.
    void EndNormally() noexcept;

    // The runs below RecoveryFolder whose lock is free (other than this one), with their snapshots.
    // Runs without a snapshot are removed on the way.
    static std::vector<TAbandonedRun> FindAbandoned(const std::string& RecoveryFolder);
    // Removes an abandoned run's folder.
    static void Discard(const std::string& RunFolder) noexcept;

private:
    std::string FRecoveryFolder;
    std::string FFolder;
    int FLock = -1;
};

// Writes snapshots on a thread of its own, so that a large document never holds up typing. The
// last request for a document wins; requests run in the order documents were first named.
class TRecoveryWriter {
public:
    explicit TRecoveryWriter(TRecoveryRun& Run);
    // Carries out what is queued, then ends the thread.
    ~TRecoveryWriter();
    TRecoveryWriter(const TRecoveryWriter&) = delete;
    TRecoveryWriter& operator=(const TRecoveryWriter&) = delete;

    void Write(int Id, std::shared_ptr<const TRecoverySnapshot> Snapshot);
    void Remove(int Id);
    // Waits until everything queued so far is on disk (or failed).
    void Flush();
    // The message of the last failed write since the last call, empty when none.
    std::string TakeError();

private:
    void Run();

    TRecoveryRun& FRun;
    std::mutex FMutex;
    std::condition_variable FWake, FIdle;
    std::deque<int> FOrder;
    std::map<int, std::shared_ptr<const TRecoverySnapshot>> FPending;  // null: remove
    bool FBusy = false;
    bool FStop = false;
    std::string FError;
    std::thread FThread;
};

}  // namespace orvane
