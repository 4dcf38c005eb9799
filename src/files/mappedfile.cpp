// Mapped files, with SIGBUS from a file cut short turned into an exception.
#include "files/mappedfile.h"

#include "base/exceptions.h"

#include <algorithm>
#include <csetjmp>
#include <csignal>
#include <cstring>
#include <mutex>
#include <sys/mman.h>
#include <unistd.h>

namespace orvane {

namespace {

// The mapped range the current thread is reading, and where to go back to should it vanish.
struct TReadGuard {
    const char* Begin;
    const char* End;
    sigjmp_buf Back;
};
thread_local TReadGuard* tGuard = nullptr;
struct sigaction gBefore;  // the SIGBUS action installed before ours

void OnBusError(int Signal, siginfo_t* Info, void* Context) {
    TReadGuard* guard = tGuard;
    const char* at = static_cast<const char*>(Info->si_addr);
    if (guard && Info->si_code > 0 && at >= guard->Begin && at < guard->End) siglongjmp(guard->Back, 1);
    // Not a page of ours: what was there before handles it.
    if ((gBefore.sa_flags & SA_SIGINFO) && gBefore.sa_sigaction) {
        gBefore.sa_sigaction(Signal, Info, Context);
        return;
    }
    if (gBefore.sa_handler != SIG_DFL && gBefore.sa_handler != SIG_IGN) {
        gBefore.sa_handler(Signal);
        return;
    }
    // The default action: a fault happens again when this returns; a sent signal is sent again.
    ::sigaction(Signal, &gBefore, nullptr);
    if (Info->si_code <= 0) ::raise(Signal);
}

void InstallHandler() {
    static std::once_flag once;
    std::call_once(once, [] {
        struct sigaction a;
        std::memset(&a, 0, sizeof a);
        a.sa_sigaction = OnBusError;
        a.sa_flags = SA_SIGINFO;
        sigemptyset(&a.sa_mask);
        ::sigaction(SIGBUS, &a, &gBefore);
    });
}

}  // namespace

TMappedFile::TMappedFile(int Fd, std::size_t Size, const std::string& Path) : FSize(Size), FPath(Path) {
    if (Size == 0) return;
    void* p = ::mmap(nullptr, Size, PROT_READ, MAP_PRIVATE, Fd, 0);
    if (p == MAP_FAILED) return;
    FData = static_cast<const char*>(p);
    ::madvise(p, Size, MADV_SEQUENTIAL);
}

TMappedFile::~TMappedFile() {
    if (FData) ::munmap(const_cast<char*>(FData), FSize);
}

void TMappedFile::Forget(std::size_t Upto) const noexcept {
    const std::size_t page = std::size_t(::sysconf(_SC_PAGESIZE));
    const std::size_t end = std::min(Upto, FSize) / page * page;
    if (FData && end) ::madvise(const_cast<char*>(FData), end, MADV_DONTNEED);
}

void TMappedFile::Read(void (*Fn)(void* Context, std::string_view Bytes), void* Context) const {
    if (!FData) {
        if (FSize) throw Exception("ファイルを読めません: " + FPath + ": 対応付けできません");
        Fn(Context, {});
        return;
    }
    InstallHandler();
    TReadGuard guard;
    guard.Begin = FData;
    guard.End = FData + FSize;
    TReadGuard* const outer = tGuard;
    // The signal mask is saved too: the jump leaves the handler, which runs with SIGBUS blocked.
    if (sigsetjmp(guard.Back, 1) != 0) {
        tGuard = outer;
        throw Exception("ファイルを読めません: " + FPath + ": 読んでいる間に別のプログラムがファイルを短くしました");
    }
    tGuard = &guard;
    Fn(Context, {FData, FSize});
    tGuard = outer;
}

}  // namespace orvane
