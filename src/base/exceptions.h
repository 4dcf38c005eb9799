// Exceptions with a message, as every operation of the program raises them.
#pragma once

#include <stdexcept>
#include <string>

namespace orvane {

// Base of every error the program raises; the message is UTF-8 and is shown to the user as is.
class Exception : public std::runtime_error {
public:
    explicit Exception(const std::string& message) : std::runtime_error(message) {}
    std::string Message() const { return what(); }
};

class EListError : public Exception {
public:
    using Exception::Exception;
};

// Raised by string lists for an index out of range.
class EStringListError : public Exception {
public:
    using Exception::Exception;
};

// Raised by Assign between settings objects of unrelated classes.
class EConvertError : public Exception {
public:
    using Exception::Exception;
};

// The list index error's message.
inline constexpr const char* kListIndexError = "リストのインデックスが範囲を超えています";

[[noreturn]] inline void ThrowListIndexError() { throw EStringListError(kListIndexError); }

}  // namespace orvane
