#pragma once

// The desktop program as zembractl reaches it while it runs (over the session bus on Linux).
// While the program has a list open, zembractl changes that list through the program, so that
// the window shows the change at once, the timer is armed for it and no later save from the
// window erases it. Qt-free: zembractl's commands only see this interface.

#include "model/CAlarm.h"

#include <optional>
#include <string>
#include <vector>

namespace zembra {

// How a request to the program ended.
struct ProgramReply {
    enum class Kind {
        Done,
        NotRunning,   // no desktop program runs (or none can be reached)
        BadArgument,  // the program refused an argument (its words in `message`)
        FileError,    // a file could not be read or written
        NotAlarmList, // a file that is not an alarm list
        Failed,       // anything else the program refused (an alarm being edited...)
    };
    Kind kind = Kind::Done;
    std::string message;

    bool Ok() const { return kind == Kind::Done; }
};

// The program's next firing.
struct ProgramNextAlarm {
    int index = -1;
    std::string frequency;
    std::string comment;
    std::string local; // ISO 8601 local time
    std::string utc;   // ISO 8601 UTC, with Z
};

class IRunningProgram {
public:
    struct State {
        std::string path; // the open list; empty for a list never saved
        bool modified = false;
    };

    virtual ~IRunningProgram() = default;

    // The running program's list; nullopt when no program runs.
    virtual std::optional<State> OpenList() = 0;
    // The alarms in list order, each with its own time (local) and texts.
    virtual ProgramReply ListAlarms(std::vector<CAlarm>& alarms) = 0;
    // The alarm the program's timer is armed for; nullopt in `next` when none is pending.
    virtual ProgramReply NextAlarm(std::optional<ProgramNextAlarm>& next) = 0;
    // Appends the alarm (its frequency, type, comment, switched-on actions and switch) firing
    // at `time` (as zembractl takes TIME); `index` receives its position.
    virtual ProgramReply AddAlarm(const std::string& time, const CAlarm& alarm, int& index) = 0;
    virtual ProgramReply RemoveAlarm(int index) = 0;
    virtual ProgramReply SetAlarmActive(int index, bool active) = 0;
    // Saves the open list to its file.
    virtual ProgramReply Save() = 0;
    virtual ProgramReply Show() = 0;
    // Silences a ringing alarm; `wasRinging` tells whether one rang.
    virtual ProgramReply Silence(bool& wasRinging) = 0;
    // 0 minutes: the program's own snooze time.
    virtual ProgramReply Snooze(unsigned minutes) = 0;
};

} // namespace zembra
