// Test helper: UTF-8 literals to code page 932 bytes, so Japanese test data stays readable.
#pragma once

#include <iconv.h>

#include <stdexcept>
#include <string>
#include <string_view>

namespace orvane::test {

inline std::string sj(std::string_view utf8) {
    iconv_t cd = iconv_open("CP932", "UTF-8");
    if (cd == iconv_t(-1)) throw std::runtime_error("iconv CP932 unavailable");
    std::string out(utf8.size() * 2 + 4, '\0');
    char* in = const_cast<char*>(utf8.data());
    std::size_t inLeft = utf8.size();
    char* o = out.data();
    std::size_t outLeft = out.size();
    const std::size_t r = iconv(cd, &in, &inLeft, &o, &outLeft);
    iconv_close(cd);
    if (r == std::size_t(-1)) throw std::runtime_error("not convertible to CP932");
    out.resize(out.size() - outLeft);
    return out;
}

}  // namespace orvane::test
