// Questions to the user (yes/no/cancel, ok/cancel) through one service that tests can answer.
#pragma once

#include <functional>
#include <string>

class QWidget;

namespace orvane {

enum class TAnswer { Yes, No, Cancel, Ok };
// OkCancelDefaultCancel: the default button (Return) and Escape both give Cancel.
// YesNoDefaultNo: Yes and No only; Return and Escape both give No.
enum class TQuestion { YesNoCancel, OkCancel, OkCancelDefaultCancel, YesNoDefaultNo };

// Shows Message (UTF-8; "\r" is a line break) with a question icon and the buttons of Kind, with
// Japanese texts; Escape gives Cancel. While a hook is set, it answers instead.
TAnswer Ask(QWidget* Parent, const std::string& Message, TQuestion Kind);
void SetQuestionHook(std::function<TAnswer(const std::string& Message, TQuestion Kind)> Hook);

// An information box with an OK button (hooks see it as an OkCancel question whose answer is ignored).
void Inform(QWidget* Parent, const std::string& Message);

}  // namespace orvane
