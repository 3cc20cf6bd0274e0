// A power alarm's countdown ends the moment the alarm stops coming: switched off, deleted,
// postponed out of the last five minutes, or carried out. Both places that count down are
// checked, the warning window and the pop-up beside the clock, through the real frame,
// document and alerter thread with a test clock.

#include "../alert/RecordingSound.h"
#include "CAlerterThread.h"
#include "CMainFrame.h"
#include "CMessageBox.h"
#include "CPower.h"
#include "CPowerCountdown.h"
#include "CSettings.h"
#include "CTaskbarNotifier.h"
#include "CZembracfgDoc.h"
#include "IPowerRequests.h"
#include "QuietTimer.h"
#include "model/CScheduler.h"
#include "time/Clock.h"

#include <QMutex>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <atomic>

using namespace zembra;
using namespace Qt::StringLiterals;

namespace {

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

private:
    PowerResult Record(const char* what)
    {
        QMutexLocker lock(&m_mutex);
        m_requests << QString::fromLatin1(what);
        return PowerResult::Ok();
    }
    mutable QMutex m_mutex;
    QStringList m_requests;
};

FileTime Local(int hour, int minute)
{
    SystemTime local{};
    local.wYear = 2026;
    local.wMonth = 6;
    local.wDay = 2;
    local.wHour = static_cast<std::uint16_t>(hour);
    local.wMinute = static_cast<std::uint16_t>(minute);
    return LocalSystemTimeToUtc(local).value();
}

} // namespace

class TestCountdownEnd : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void init();
    void cleanup();
    void endsWhenTheAlarmStopsComing_data();
    void endsWhenTheAlarmStopsComing();

private:
    // Returns once the alerter thread has handled what was sent to it, and what it sent back
    // has arrived.
    void WaitForAlerter();

    std::atomic<FileTime> m_now{0};
    std::unique_ptr<QTemporaryDir> m_dir;
    test::SoundLog m_sound;
    RecordingPower m_powerRequests;
    std::unique_ptr<CSettings> m_settings;
    std::unique_ptr<CPower> m_power;
    std::unique_ptr<CAlerterThread> m_alerter;
    std::unique_ptr<CZembracfgDoc> m_doc;
    std::unique_ptr<CMainFrame> m_frame;
};

void TestCountdownEnd::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    qputenv("XDG_CONFIG_HOME", m_dir->filePath(u"config"_s).toUtf8());
    CSettings::SetStorePath(m_dir->filePath(u"settings.ini"_s));
    CMessageBox::SetTestMode(true);
    Clock::SetForTesting([this] { return m_now.load(); });
    m_settings = std::make_unique<CSettings>();
    m_settings->m_regMaxRingVolume = 0;
    m_power = std::make_unique<CPower>(std::make_unique<test::QuietTimer>());
    m_power->Init();
    m_alerter = std::make_unique<CAlerterThread>(
        *m_settings, &m_powerRequests, nullptr,
        [this] { return std::make_unique<test::RecordingSound>(&m_sound); });
    m_alerter->Start();
    m_doc = std::make_unique<CZembracfgDoc>(*m_power, *m_settings, &m_powerRequests, m_alerter.get());
    connect(m_doc.get(), &CZembracfgDoc::AlarmsDue, m_alerter.get(),
            [this](const FiringPass& pass) { m_alerter->CarryOut(pass); });
    m_frame = std::make_unique<CMainFrame>(*m_doc, *m_settings, m_alerter.get());
}

void TestCountdownEnd::cleanup()
{
    m_frame.reset();
    m_doc.reset();
    m_alerter.reset();
    m_power.reset();
    m_settings.reset();
    Clock::SetForTesting({});
    CSettings::SetStorePath({});
    CMessageBox::SetTestMode(false);
    m_dir.reset();
}

void TestCountdownEnd::WaitForAlerter()
{
    QMetaObject::invokeMethod(m_alerter->Window(), [] {}, Qt::BlockingQueuedConnection);
    QCoreApplication::processEvents();
}

void TestCountdownEnd::endsWhenTheAlarmStopsComing_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("switched off") << u"off"_s;
    QTest::newRow("deleted") << u"delete"_s;
    QTest::newRow("postponed") << u"postpone"_s;
    QTest::newRow("carried out") << u"carried out"_s;
}

void TestCountdownEnd::endsWhenTheAlarmStopsComing()
{
    QFETCH(QString, how);
    const FileTime standbyAt = Local(22, 0);
    m_now = standbyAt - 50 * kTicksPerSecond;
    {
        CScheduler schedule;
        auto alarm = std::make_unique<CAlarm>();
        alarm->m_strFrequency = kFrequencyOnce;
        alarm->m_strType = kTypeStandby;
        alarm->m_time = UtcToLocalSystemTime(standbyAt).value();
        alarm->m_bActive = true;
        alarm->m_strComment = "przerwa";
        schedule.AddAlarm(std::move(alarm));
        const QString list = m_dir->filePath(u"alarms.zmb"_s);
        QCOMPARE(schedule.SaveToFile(list.toStdString()), 0);
        QVERIFY(m_doc->OnOpenDocument(list));
    }
    WaitForAlerter();

    // Both count down: the warning window has its row, the pop-up has risen with the time left.
    CPowerCountdown* window = m_frame->Countdown();
    CTaskbarNotifier* popUp = m_alerter->Notifier();
    QCOMPARE(window->Shown().size(), std::size_t(1));
    QVERIFY(window->isVisible());
    QCOMPARE(popUp->Text(), u"Do uśpienia zostało: 00:50"_s);
    for (int i = 0; i < 1000 && popUp->State() != CTaskbarNotifier::StateWaiting; ++i)
        popUp->OnTimer(CTaskbarNotifier::TimerSlideIn);
    QCOMPARE(popUp->State(), CTaskbarNotifier::StateWaiting);

    if (how == u"off") {
        m_doc->SetAlarmActive(m_doc->Scheduler().At(0), false);
    } else if (how == u"delete") {
        QVERIFY(m_doc->RemoveAlarmAt(0));
    } else if (how == u"postpone") {
        const QList<QWidget*> rows = window->findChildren<QWidget*>(u"countdownRow"_s);
        QCOMPARE(rows.size(), 1);
        QTest::mouseClick(rows[0]->findChild<QPushButton*>(u"postpone5"_s), Qt::LeftButton);
    } else {
        m_now = standbyAt + kTicksPerSecond;
        m_doc->Resync();
    }
    WaitForAlerter();

    QVERIFY(window->Shown().empty());
    QVERIFY(!window->isVisible());
    // The pop-up leaves at once rather than after its stay.
    QVERIFY(popUp->IsTimerActive(CTaskbarNotifier::TimerSlideOut));
    QVERIFY(!popUp->IsTimerActive(CTaskbarNotifier::TimerStay));
    QCOMPARE(m_powerRequests.Requests(),
             how == u"carried out" ? QStringList{u"standby"_s} : QStringList{});
}

QTEST_MAIN(TestCountdownEnd)
#include "test_countdown_end.moc"
