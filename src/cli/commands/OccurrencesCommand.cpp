#include "OccurrencesCommand.h"

#include "Json.h"
#include "model/CScheduler.h"

namespace zembra::cli {

namespace {

// Above this the output would be useless anyway; the bound keeps a typo from running for hours.
constexpr long long kMaxCount = 100'000;

struct Firing {
    SystemTime local;
    FileTime utc = 0;
};

} // namespace

COccurrencesCommand::COccurrencesCommand()
    : CCliCommand(
        {"occurrences",
         {"FILE"},
         {{"from", "TIME", "first moment searched (default: now)"},
          {"to", "TIME", "last moment searched (default: no end)"},
          {"count", "N", "firings shown per alarm (default: 5)"},
          kJsonOption},
         "show the next firings of every alarm",
         "For every alarm in list order shows its next N firings at or after --from, up to\n"
         "and including --to when given. A switched-off alarm, and one with an unknown\n"
         "frequency, never fires; a one-time alarm fires at most once.\n"
         "With --json: an array of {\"index\", \"active\", \"occurrences\": [{\"local\", "
         "\"utc\"},\n"
         "...]}.\n"})
{
}

int COccurrencesCommand::Run(Invocation& call) const
{
    FileTime from = 0;
    if (const int status = ReadTimeOrNow(call, "from", from); status != kExitOk) {
        return status;
    }
    std::optional<FileTime> to;
    if (const std::string* text = call.Value("to")) {
        TimeArgument time;
        if (const int status = ReadTime(call, "to", *text, time); status != kExitOk) {
            return status;
        }
        to = time.utc;
    }
    unsigned long long count = 5;
    if (const std::string* text = call.Value("count")) {
        if (ReadUnsigned(*text, count) != NumberRead::Ok || count < 1
            || count > static_cast<unsigned long long>(kMaxCount)) {
            return call.UsageError("--count: N must be a whole number from 1 to "
                                   + std::to_string(kMaxCount) + ", not '" + *text + "'");
        }
    }
    CScheduler schedule;
    if (const int status = LoadList(call, schedule); status != kExitOk) {
        return status;
    }

    std::vector<std::vector<Firing>> perAlarm;
    for (const auto& alarm : schedule.Alarms()) {
        std::vector<Firing>& firings = perAlarm.emplace_back();
        FileTime searchFrom = from;
        // A switched-off alarm never fires, whatever its frequency says.
        while (alarm->m_bActive && firings.size() < count) {
            FileTime occurrence = 0;
            if (alarm->NextOccurrenceUtc(searchFrom, to ? &*to : nullptr, occurrence) != 1) {
                break;
            }
            const auto local = FiringLocal(*alarm, occurrence);
            if (!local) {
                break;
            }
            firings.push_back({*local, occurrence});
            if (alarm->m_strFrequency == kFrequencyOnce) {
                break;
            }
            // Firings are whole seconds apart at least; a millisecond on finds the next one.
            searchFrom = occurrence + kTicksPerMillisecond;
        }
    }

    if (call.Has("json")) {
        JsonWriter json(call.out);
        json.BeginArray();
        for (std::size_t i = 0; i < perAlarm.size(); ++i) {
            json.BeginObject()
                .Field("index", static_cast<std::int64_t>(i))
                .Field("active", schedule.At(i)->m_bActive)
                .Key("occurrences");
            json.BeginArray();
            for (const auto& firing : perAlarm[i]) {
                json.BeginObject()
                    .Field("local", FormatIso(firing.local, false))
                    .Field("utc", UtcText(firing.utc))
                    .EndObject();
            }
            json.EndArray().EndObject();
        }
        json.EndArray();
        call.out << '\n';
        return kExitOk;
    }
    if (perAlarm.empty()) {
        call.out << call.File() << ": no alarms\n";
        return kExitOk;
    }
    for (std::size_t i = 0; i < perAlarm.size(); ++i) {
        const CAlarm& alarm = *schedule.At(i);
        call.out << "alarm " << i << " (" << Printable(alarm.m_strFrequency)
                 << (alarm.m_bActive ? "" : ", off") << ')';
        if (!alarm.m_strComment.empty()) {
            call.out << ": " << Printable(alarm.m_strComment);
        }
        call.out << '\n';
        if (!alarm.m_bActive) {
            call.out << "  switched off: no firing\n";
        } else if (perAlarm[i].empty()) {
            call.out << "  no firing\n";
        }
        for (const auto& firing : perAlarm[i]) {
            call.out << "  " << FormatIso(firing.local, false) << "  " << UtcText(firing.utc)
                     << '\n';
        }
    }
    return kExitOk;
}

} // namespace zembra::cli
