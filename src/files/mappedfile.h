// Reading a large file through a memory mapping, without copying it.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <type_traits>

namespace orvane {

// A regular file's bytes mapped for reading. Another program may cut the file short while it is
// mapped; touching a page past the new end raises SIGBUS, which would end the program. So the
// bytes are only read inside Read, which turns that into an exception.
class TMappedFile {
public:
    // Maps the first Size bytes of the open file Fd (which stays the caller's). Path names it
    // in messages. Some file systems cannot map files: Mapped() tells, and the caller reads
    // the file instead.
    TMappedFile(int Fd, std::size_t Size, const std::string& Path);
    bool Mapped() const noexcept { return FData || FSize == 0; }
    ~TMappedFile();
    TMappedFile(const TMappedFile&) = delete;
    TMappedFile& operator=(const TMappedFile&) = delete;

    // Calls Fn(Context, Bytes) with the mapped bytes. Throws orvane::Exception when the file
    // shrank below them while Fn ran: Fn is then left where it was, so it must not allocate
    // or own anything that needs a destructor (it should only scan and copy into memory that
    // belongs to its caller).
    void Read(void (*Fn)(void* Context, std::string_view Bytes), void* Context) const;
    // Gives back the pages of the bytes before Upto that were read: they are read again from the
    // page cache should they be touched, so a long scan keeps little of the file resident.
    void Forget(std::size_t Upto) const noexcept;
    template <class F>
    void Read(F&& Fn) const {
        using TFn = std::remove_reference_t<F>;
        Read([](void* C, std::string_view B) { (*static_cast<TFn*>(C))(B); }, &Fn);
    }

private:
    const char* FData = nullptr;
    std::size_t FSize = 0;
    std::string FPath;
};

}  // namespace orvane
