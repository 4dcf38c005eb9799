// Persistent objects that copy on Assign, and the notifying base of every settings object.
#pragma once

#include "base/events.h"

namespace orvane {

class TPersistent : public TObject {
public:
    // Copies the settings of Source; fails with EConvertError unless the class knows Source's.
    virtual void Assign(const TPersistent& Source);

protected:
    [[noreturn]] void AssignError(const TPersistent& Source) const;
};

// A persistent with a change event and an update counter. Setters of derived classes store a
// value and call Changed only when it differs; EndUpdate always notifies once.
class TNotifyPersistent : public TPersistent {
public:
    TNotifyEvent OnChange;

    virtual void Changed();
    virtual void BeginUpdate() { ++FUpdateCount; }
    virtual void EndUpdate();
    // Sub-objects point their OnChange here so that their changes reach the owner's listeners.
    virtual void ChildChanged(TObject* Sender);

    int UpdateCount() const noexcept { return FUpdateCount; }

private:
    int FUpdateCount = 0;
};

}  // namespace orvane
