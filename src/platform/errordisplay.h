// The default error display: an operation that fails shows its message and is abandoned. Event
// handlers run inside GuardedEvent so that no exception crosses the Qt event loop.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace orvane {

// The program's name, as window titles and message-box captions show it.
inline constexpr const char* kProgramName = "Orvane";

// Shows Message (UTF-8) in a modal message box over Parent, or hands it to the installed hook.
void ShowErrorMessage(QWidget* Parent, const std::string& Message);
// Tests answer error displays themselves: every message goes to Hook while it is set.
void SetErrorDisplayHook(std::function<void(const std::string& Message)> Hook);

// Runs Handler; an exception it raises is shown and the handler's work abandoned.
template <class Fn>
void GuardedEvent(QWidget* Parent, Fn&& Handler) noexcept {
    try {
        Handler();
    } catch (const std::exception& e) {
        ShowErrorMessage(Parent, e.what());
    } catch (...) {
        ShowErrorMessage(Parent, "予期しないエラーが発生しました");
    }
}

}  // namespace orvane
