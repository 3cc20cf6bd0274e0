#pragma once

// What the alert window needs to know of the schedule: which alarm comes next and when, so
// that it can count down the last minutes before a power alarm. The document tells it after
// every arming or cancelling of the wake timer, always from the user-interface thread, with a
// value copy: the alert window lives on another thread and never sees the schedule itself.

#include "model/CAlarm.h"

#include <optional>

namespace zembra {

class INextAlarmSink {
public:
    virtual ~INextAlarmSink() = default;
    // `next` is empty when no alarm is pending; `firingUtc` is then meaningless.
    virtual void SetNextAlarm(const std::optional<CAlarm>& next, FileTime firingUtc) = 0;
};

} // namespace zembra
