// The byte classes and escapes of the XML model, shared by its nodes and its parser.
#pragma once

#include <string>
#include <string_view>

namespace orvane::xmlchars {

// Every byte tested here is below 0x40, so testing bytes one at a time never mistakes the trail
// byte of a two-byte character (0x40 and above) for markup.
constexpr bool IsBlank(unsigned char C) noexcept { return C <= 0x20; }
constexpr bool IsNameByte(unsigned char C) noexcept {
    return C > 0x20 && C != '"' && C != '\'' && C != '&' && C != '<' && C != '>' && C != '=' && C != '/' &&
           C != ';' && C != '?';
}
constexpr bool IsNameByte(char C) noexcept { return IsNameByte(static_cast<unsigned char>(C)); }
constexpr bool IsBlank(char C) noexcept { return IsBlank(static_cast<unsigned char>(C)); }

// The character an entity name stands for ("amp" -> "&"), or empty when it is not one we know.
std::string_view EntityText(std::string_view Name) noexcept;
// An attribute value as read: the entities we know become their characters, any other "&"
// stays as it is.
std::string DecodeValue(std::string_view Raw);
// Appends Value escaped for a double-quoted attribute: & < > " as entities.
void AppendEscapedValue(std::string& Out, std::string_view Value);
// Appends character data with "&" and "<" escaped, so that it reads back as text.
void AppendEscapedText(std::string& Out, std::string_view Text);

}  // namespace orvane::xmlchars
