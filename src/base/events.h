// The object root and the event types shared by every subsystem.
#pragma once

#include <functional>

namespace orvane {

// Root of objects that are passed as the sender of events.
class TObject {
public:
    virtual ~TObject() = default;
};

// An event taking its sender; an empty function means no handler is set.
using TNotifyEvent = std::function<void(TObject* Sender)>;

}  // namespace orvane
