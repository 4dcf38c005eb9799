// Crash recovery snapshots, the run lock and the writer thread.
#include "app/recovery.h"

#include "base/exceptions.h"
#include "files/charmap.h"
#include "files/filewrite.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace orvane {
namespace {

namespace fs = std::filesystem;

constexpr std::string_view kMagic = "orvane-recovery 1\n";
constexpr const char* kLockName = "lock";
constexpr const char* kSnapshotSuffix = ".snapshot";

// A value on one header line: "%", control characters and bytes above 0x7E as %XX.
std::string EscapeValue(std::string_view S) {
    static const char* hex = "0123456789ABCDEF";
    std::string out;
    for (char c : S) {
        const auto b = static_cast<unsigned char>(c);
        if (b < 0x20 || b == '%' || b == 0x7F) {
            out += '%';
            out += hex[b >> 4];
            out += hex[b & 15];
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::string> UnescapeValue(std::string_view S) {
    std::string out;
    for (std::size_t i = 0; i < S.size(); ++i) {
        if (S[i] != '%') {
            out += S[i];
            continue;
        }
        unsigned v = 0;
        if (i + 2 >= S.size()) return std::nullopt;
        const auto [end, ec] = std::from_chars(S.data() + i + 1, S.data() + i + 3, v, 16);
        if (ec != std::errc() || end != S.data() + i + 3) return std::nullopt;
        out += static_cast<char>(v);
        i += 2;
    }
    return out;
}

template <class T>
bool ParseNumber(std::string_view S, T& Value, int Base = 10) {
    const auto [end, ec] = std::from_chars(S.data(), S.data() + S.size(), Value, Base);
    return ec == std::errc() && end == S.data() + S.size();
}

[[noreturn]] void Fail(const std::string& What, const std::string& Path, int Err) {
    throw Exception(What + ": " + Path + " (" + std::strerror(Err) + ")");
}

// Takes Fd's lock without waiting; true when it was free.
bool TryLock(int Fd) { return ::flock(Fd, LOCK_EX | LOCK_NB) == 0; }

}  // namespace

std::string EncodeSnapshot(const TRecoverySnapshot& S) {
    std::string out(kMagic);
    auto line = [&](std::string_view Key, std::string_view Value) {
        out += Key;
        out += '=';
        out += Value;
        out += '\n';
    };
    line("name", EscapeValue(S.FileName));
    line("untitled", S.Untitled ? "1" : "0");
    line("encoding", EncodingName(S.Format.Encoding).Stored);
    line("lineend", LineEndName(S.Format.LineEnd).Stored);
    line("bom", S.Format.Bom ? "1" : "0");
    line("bigendian", S.Format.BigEndian ? "1" : "0");
    const TJisDesignation& jis = S.Format.Jis;
    line("jis", std::string{jis.Kanji, jis.Return, jis.HalfKana ? '1' : '0'});
    std::string kept;
    for (const auto& [code, c] : S.Kept) {
        char buf[32];
        const int n = std::snprintf(buf, sizeof buf, "%s%X:%X", kept.empty() ? "" : ",", unsigned(code), unsigned(c));
        kept.append(buf, std::size_t(n));
    }
    line("kept", kept);
    line("length", std::to_string(S.Text.size()));
    out += '\n';
    out += S.Text;
    return out;
}

std::optional<TRecoverySnapshot> DecodeSnapshot(std::string_view Bytes) {
    if (!Bytes.starts_with(kMagic)) return std::nullopt;
    Bytes.remove_prefix(kMagic.size());
    TRecoverySnapshot s;
    std::optional<std::size_t> length;
    while (true) {
        const std::size_t eol = Bytes.find('\n');
        if (eol == std::string_view::npos) return std::nullopt;
        const std::string_view line = Bytes.substr(0, eol);
        Bytes.remove_prefix(eol + 1);
        if (line.empty()) break;
        const std::size_t eq = line.find('=');
        if (eq == std::string_view::npos) return std::nullopt;
        const std::string_view key = line.substr(0, eq), value = line.substr(eq + 1);
        if (key == "name") {
            auto name = UnescapeValue(value);
            if (!name) return std::nullopt;
            s.FileName = std::move(*name);
        } else if (key == "untitled") {
            s.Untitled = value != "0";
        } else if (key == "encoding") {
            const auto e = ParseEncodingName(value);
            if (!e || *e == deAuto) return std::nullopt;
            s.Format.Encoding = *e;
        } else if (key == "lineend") {
            const auto l = ParseLineEndName(value);
            if (!l) return std::nullopt;
            s.Format.LineEnd = *l;
        } else if (key == "bom") {
            s.Format.Bom = value == "1";
        } else if (key == "bigendian") {
            s.Format.BigEndian = value == "1";
        } else if (key == "jis") {
            if (value.size() != 3) return std::nullopt;
            s.Format.Jis = {value[0], value[1], value[2] == '1'};
        } else if (key == "kept") {
            for (std::size_t from = 0; from < value.size();) {
                std::size_t to = value.find(',', from);
                if (to == std::string_view::npos) to = value.size();
                const std::string_view pair = value.substr(from, to - from);
                const std::size_t colon = pair.find(':');
                unsigned code = 0, c = 0;
                if (colon == std::string_view::npos || !ParseNumber(pair.substr(0, colon), code, 16) ||
                    !ParseNumber(pair.substr(colon + 1), c, 16) || code > 0xFFFF || c > 0x10FFFF)
                    return std::nullopt;
                s.Kept.emplace_back(std::uint16_t(code), char32_t(c));
                from = to + 1;
            }
        } else if (key == "length") {
            std::size_t n = 0;
            if (!ParseNumber(value, n)) return std::nullopt;
            length = n;
        }  // keys of later versions are skipped
    }
    if (!length || *length != Bytes.size()) return std::nullopt;
    s.Text.assign(Bytes);
    return s;
}

std::vector<std::pair<std::uint16_t, char32_t>> KeptCharacters(const TCharMap& Map) {
    std::vector<std::pair<std::uint16_t, char32_t>> kept;
    if (Map.Empty()) return kept;
    for (int slot = 0; slot < kUserAreaSize; ++slot) {
        const std::uint16_t code = UserAreaCode(slot);
        if (const char32_t c = Map.CharOf(code)) kept.emplace_back(code, c);
    }
    return kept;
}

void RestoreKeptCharacters(const std::vector<std::pair<std::uint16_t, char32_t>>& Kept, TCharMap& Map) {
    // The map hands out the lowest free code: every code before a kept one is marked as used by
    // the text, so that each character lands on its own code again.
    std::vector<char32_t> bySlot(kUserAreaSize, 0);
    int last = -1;
    for (const auto& [code, c] : Kept) {
        if (!IsUserAreaCode(code) || c == 0) continue;
        bySlot[std::size_t(UserAreaSlot(code))] = c;
        last = std::max(last, UserAreaSlot(code));
    }
    for (int slot = 0; slot <= last; ++slot)
        if (!bySlot[std::size_t(slot)]) Map.MarkUsed(UserAreaCode(slot));
    for (int slot = 0; slot <= last; ++slot)
        if (bySlot[std::size_t(slot)]) Map.CodeFor(bySlot[std::size_t(slot)]);
}

std::string DefaultRecoveryFolder() {
    const std::string folder = StateFolder() + "/recovery";
    if (::mkdir(folder.c_str(), 0700) != 0 && errno != EEXIST) Fail("復元用のフォルダを作れません", folder, errno);
    return folder;
}

TRecoveryRun::TRecoveryRun(std::string RecoveryFolder) : FRecoveryFolder(std::move(RecoveryFolder)) {
    // The folder is made under a hidden name and renamed once its lock is held, so that no other
    // run ever sees it unlocked.
    std::random_device rd;
    const std::string name = std::to_string(::getpid()) + "-" + std::to_string(rd() % 1000000000u);
    const std::string hidden = FRecoveryFolder + "/." + name;
    if (::mkdir(hidden.c_str(), 0700) != 0) Fail("復元用のフォルダを作れません", hidden, errno);
    const std::string lock = hidden + "/" + kLockName;
    FLock = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (FLock < 0 || !TryLock(FLock)) {
        const int err = errno;
        if (FLock >= 0) ::close(FLock);
        FLock = -1;
        std::error_code ec;
        fs::remove_all(hidden, ec);
        Fail("復元用のフォルダを作れません", lock, err);
    }
    FFolder = FRecoveryFolder + "/" + name;
    if (::rename(hidden.c_str(), FFolder.c_str()) != 0) {
        const int err = errno;
        ::close(FLock);
        FLock = -1;
        std::error_code ec;
        fs::remove_all(hidden, ec);
        Fail("復元用のフォルダを作れません", FFolder, err);
    }
}

TRecoveryRun::~TRecoveryRun() {
    if (FLock >= 0) ::close(FLock);
}

void TRecoveryRun::Write(int Id, const TRecoverySnapshot& Snapshot) const {
    WriteFileAtomically(FFolder + "/" + std::to_string(Id) + kSnapshotSuffix, EncodeSnapshot(Snapshot));
}

void TRecoveryRun::Remove(int Id) const noexcept {
    ::unlink((FFolder + "/" + std::to_string(Id) + kSnapshotSuffix).c_str());
}

void TRecoveryRun::EndNormally() noexcept {
    if (FFolder.empty()) return;
    std::error_code ec;
    fs::remove_all(FFolder, ec);
    FFolder.clear();
}

std::vector<TAbandonedRun> TRecoveryRun::FindAbandoned(const std::string& RecoveryFolder) {
    std::vector<TAbandonedRun> runs;
    std::error_code ec;
    for (fs::directory_iterator it(RecoveryFolder, ec), end; !ec && it != end; it.increment(ec)) {
        const std::string name = it->path().filename().string();
        if (name.empty() || name[0] == '.' || !it->is_directory(ec) || it->is_symlink(ec)) continue;
        const std::string folder = it->path().string();
        const int lock = ::open((folder + "/" + kLockName).c_str(), O_RDWR | O_CLOEXEC | O_NOFOLLOW);
        if (lock >= 0 && !TryLock(lock)) {  // its run is alive
            ::close(lock);
            continue;
        }
        TAbandonedRun run{folder, {}, 0};
        std::vector<std::string> files;
        std::error_code ec2;
        for (fs::directory_iterator f(folder, ec2), fend; !ec2 && f != fend; f.increment(ec2))
            if (f->path().extension() == kSnapshotSuffix && f->is_regular_file(ec2)) files.push_back(f->path().string());
        // Documents in the order they were made (the ids count up).
        std::sort(files.begin(), files.end(), [](const std::string& A, const std::string& B) {
            const std::string a = fs::path(A).stem().string(), b = fs::path(B).stem().string();
            return a.size() != b.size() ? a.size() < b.size() : a < b;
        });
        for (const std::string& file : files) {
            try {
                if (auto s = DecodeSnapshot(ReadFileBytes(file)))
                    run.Snapshots.push_back(std::move(*s));
                else
                    ++run.Damaged;
            } catch (const std::exception&) {
                ++run.Damaged;
            }
        }
        if (lock >= 0) ::close(lock);
        if (run.Snapshots.empty() && run.Damaged == 0)
            Discard(folder);
        else
            runs.push_back(std::move(run));
    }
    return runs;
}

void TRecoveryRun::Discard(const std::string& RunFolder) noexcept {
    std::error_code ec;
    fs::remove_all(RunFolder, ec);
}

TRecoveryWriter::TRecoveryWriter(TRecoveryRun& Run) : FRun(Run), FThread([this] { this->Run(); }) {}

TRecoveryWriter::~TRecoveryWriter() {
    {
        std::lock_guard lock(FMutex);
        FStop = true;
    }
    FWake.notify_one();
    FThread.join();
}

void TRecoveryWriter::Write(int Id, std::shared_ptr<const TRecoverySnapshot> Snapshot) {
    {
        std::lock_guard lock(FMutex);
        if (!FPending.count(Id)) FOrder.push_back(Id);
        FPending[Id] = std::move(Snapshot);
    }
    FWake.notify_one();
}

void TRecoveryWriter::Remove(int Id) { Write(Id, nullptr); }

void TRecoveryWriter::Flush() {
    std::unique_lock lock(FMutex);
    FIdle.wait(lock, [this] { return FOrder.empty() && !FBusy; });
}

std::string TRecoveryWriter::TakeError() {
    std::lock_guard lock(FMutex);
    return std::exchange(FError, {});
}

void TRecoveryWriter::Run() {
    std::unique_lock lock(FMutex);
    while (true) {
        FWake.wait(lock, [this] { return FStop || !FOrder.empty(); });
        if (FOrder.empty()) break;  // stopping with nothing left to do
        const int id = FOrder.front();
        FOrder.pop_front();
        std::shared_ptr<const TRecoverySnapshot> snapshot = std::move(FPending[id]);
        FPending.erase(id);
        FBusy = true;
        lock.unlock();
        std::string error;
        try {
            if (snapshot)
                FRun.Write(id, *snapshot);
            else
                FRun.Remove(id);
        } catch (const std::exception& e) {
            error = e.what();
        }
        lock.lock();
        FBusy = false;
        if (!error.empty()) FError = std::move(error);
        if (FOrder.empty()) FIdle.notify_all();
    }
    FIdle.notify_all();
}

}  // namespace orvane
