// Persistent objects and the notifying base.
#include "base/notify.h"

#include "base/exceptions.h"

#include <typeinfo>

namespace orvane {

void TPersistent::Assign(const TPersistent& Source) { AssignError(Source); }

void TPersistent::AssignError(const TPersistent& Source) const {
    throw EConvertError(std::string(typeid(Source).name()) + " を " + typeid(*this).name() +
                        " に代入できません");
}

void TNotifyPersistent::Changed() {
    if (FUpdateCount == 0 && OnChange) OnChange(this);
}

void TNotifyPersistent::EndUpdate() {
    --FUpdateCount;
    Changed();
}

void TNotifyPersistent::ChildChanged(TObject* Sender) {
    if (Sender != this) Changed();
}

}  // namespace orvane
