#pragma once

// Alarm lists as the tests write them to disk before the program under test reads them.

#include "model/CScheduler.h"

#include <QFile>
#include <QString>

#include <vector>

namespace zembra::test {

// An active alarm at a local time.
inline CAlarm Alarm(const SystemTime& local, const char* comment,
                    const char* frequency = kFrequencyOnce, const char* type = kTypeWakeup)
{
    CAlarm alarm;
    alarm.m_time = local;
    alarm.m_strComment = comment;
    alarm.m_strFrequency = frequency;
    alarm.m_strType = type;
    alarm.m_bActive = true;
    return alarm;
}

inline bool WriteList(const QString& path, const std::vector<CAlarm>& alarms)
{
    CScheduler list;
    for (const CAlarm& alarm : alarms) {
        list.AddAlarm(std::make_unique<CAlarm>(alarm));
    }
    return list.SaveToFile(QFile::encodeName(path).toStdString()) == 0;
}

// The alarms of a list file (none when it cannot be read).
inline std::vector<CAlarm> ReadList(const QString& path)
{
    CScheduler list;
    std::vector<CAlarm> alarms;
    if (list.LoadFromFile(QFile::encodeName(path).toStdString()) == 0) {
        for (const auto& alarm : list.Alarms()) {
            alarms.push_back(*alarm);
        }
    }
    return alarms;
}

} // namespace zembra::test
