#pragma once

// A power back end for tests: carries nothing out, records each request (from whichever thread
// asks), and refuses them all with `refusal` while that is set.

#include "IPowerRequests.h"

#include <QMutex>
#include <QMutexLocker>
#include <QStringList>

namespace zembra::test {

class RecordingPower : public IPowerRequests {
public:
    PowerResult Standby() override { return Record("standby"); }
    PowerResult Hibernate() override { return Record("hibernate"); }
    PowerResult Shutdown() override { return Record("shutdown"); }
    PowerResult DisplayOn() override { return Record("display-on"); }

    QStringList Requests() const
    {
        QMutexLocker lock(&m_mutex);
        return m_requests;
    }
    void Clear()
    {
        QMutexLocker lock(&m_mutex);
        m_requests.clear();
        m_refusal.clear();
    }
    void Refuse(const std::string& refusal)
    {
        QMutexLocker lock(&m_mutex);
        m_refusal = refusal;
    }

private:
    PowerResult Record(const char* what)
    {
        QMutexLocker lock(&m_mutex);
        m_requests << QString::fromLatin1(what);
        return m_refusal.empty() ? PowerResult::Ok() : PowerResult::Failed(m_refusal);
    }

    mutable QMutex m_mutex;
    QStringList m_requests;
    std::string m_refusal;
};

} // namespace zembra::test
