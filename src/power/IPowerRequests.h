#pragma once

// The requests by which the program changes the power state of the computer. Each returns
// whether the system accepted it and, when not, the system's own explanation, so that no
// request can fail silently.

#include <string>

namespace zembra {

struct PowerResult {
    bool ok = true;
    std::string error; // the system's text when !ok

    static PowerResult Ok() { return {}; }
    static PowerResult Failed(std::string text) { return {false, std::move(text)}; }
};

class IPowerRequests {
public:
    virtual ~IPowerRequests() = default;

    virtual PowerResult Standby() = 0;
    virtual PowerResult Hibernate() = 0;
    // Switches the computer off; running programs are not asked.
    virtual PowerResult Shutdown() = 0;
    // Turns the display on after the machine woke for an alarm.
    virtual PowerResult DisplayOn() = 0;
};

} // namespace zembra
