// Mouse cursor ids and the process-wide table of cursors registered by resource name.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace orvane {

// A cursor id: the standard cursors are negative, crDefault is 0, registered cursors are 1 up.
using TCursor = std::int16_t;

inline constexpr TCursor crDefault = 0;
inline constexpr TCursor crNone = -1;
inline constexpr TCursor crArrow = -2;
inline constexpr TCursor crCross = -3;
inline constexpr TCursor crIBeam = -4;
inline constexpr TCursor crSizeNESW = -6;
inline constexpr TCursor crSizeNS = -7;
inline constexpr TCursor crSizeNWSE = -8;
inline constexpr TCursor crSizeWE = -9;
inline constexpr TCursor crUpArrow = -10;
inline constexpr TCursor crHourGlass = -11;
inline constexpr TCursor crDrag = -12;
inline constexpr TCursor crNoDrop = -13;
inline constexpr TCursor crHSplit = -14;
inline constexpr TCursor crVSplit = -15;
inline constexpr TCursor crMultiDrag = -16;
inline constexpr TCursor crSQLWait = -17;
inline constexpr TCursor crNo = -18;
inline constexpr TCursor crAppStart = -19;
inline constexpr TCursor crHelp = -20;
inline constexpr TCursor crHandPoint = -21;
inline constexpr TCursor crSizeAll = -22;

// Puts the cursor named ResourceName into the first free slot of the table, counting from 1,
// and returns that slot; a name registered before gets its slot back. An empty name, or a full
// table, yields crDefault. Safe to call from any thread.
TCursor RegisterCursor(std::string_view ResourceName);

// The resource name registered at Cursor; empty for the standard cursors and free slots.
std::string CursorResourceName(TCursor Cursor);

}  // namespace orvane
