// The translations are complete: every text of the sources has a finished English and German
// translation that keeps its placeholders and its keyboard accelerator, and the accelerators of
// each menu stay unique. The sources are scanned afresh, so a text added to the code without a
// translation fails here.

#include <QFile>
#include <QMap>
#include <QProcess>
#include <QRegularExpression>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace {

struct Message {
    QString context;
    QString source;
    QString translation;
    bool finished = false;
};

QList<Message> ReadTs(const QString& path)
{
    QList<Message> messages;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return messages;
    }
    QXmlStreamReader xml(&file);
    QString context;
    Message current;
    while (!xml.atEnd()) {
        xml.readNext();
        if (!xml.isStartElement()) {
            continue;
        }
        if (xml.name() == QLatin1String("name")) {
            context = xml.readElementText();
        } else if (xml.name() == QLatin1String("message")) {
            current = Message{context, {}, {}, false};
        } else if (xml.name() == QLatin1String("source")) {
            current.source = xml.readElementText();
        } else if (xml.name() == QLatin1String("translation")) {
            const QString type = xml.attributes().value(QLatin1String("type")).toString();
            current.finished = type.isEmpty();
            current.translation = xml.readElementText();
            if (type != QLatin1String("vanished") && type != QLatin1String("obsolete")) {
                messages << current;
            }
        }
    }
    return messages;
}

QStringList Placeholders(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("%(\\d+|n|s|d)"));
    QStringList found;
    for (auto it = pattern.globalMatch(text); it.hasNext();) {
        found << it.next().captured(0);
    }
    found.sort();
    return found;
}

// The accelerator letter of a menu text ("&Otwórz..." -> 'o'), or none.
QChar Accelerator(const QString& text)
{
    for (int i = 0; i + 1 < text.size(); ++i) {
        if (text.at(i) == QLatin1Char('&')) {
            if (text.at(i + 1) == QLatin1Char('&')) {
                ++i;
                continue;
            }
            return text.at(i + 1).toLower();
        }
    }
    return {};
}

// The menus as the program builds them, by their Polish texts.
const QList<QStringList>& Menus()
{
    static const QList<QStringList> menus{
        {QStringLiteral("&Plik"), QStringLiteral("&Alarm"), QStringLiteral("&Opcje"), QStringLiteral("Pomo&c")},
        {QStringLiteral("&Nowy"), QStringLiteral("&Otwórz..."), QStringLiteral("&Zapisz"),
         QStringLiteral("Zapisz &jako..."), QStringLiteral("&Wyjście")},
        {QStringLiteral("&Nowy"), QStringLiteral("&Edytuj"), QStringLiteral("&Usuń"),
         QStringLiteral("&Wstrzymaj komputer"), QStringLiteral("&Potwierdź"),
         QStringLiteral("Wyczyść &komunikaty"), QStringLiteral("&Drzemka")},
        {QStringLiteral("&Ustawienia"), QStringLiteral("&Język"), QStringLiteral("&Sprawdź wybudzanie…"),
         QStringLiteral("U&kryj"), QStringLiteral("&Przywróć")},
        {QStringLiteral("&Tematy pomocy"), QStringLiteral("Pomoc &kontekstowa"), QStringLiteral("&Porada dnia"),
         QStringLiteral("&O programie...")},
    };
    return menus;
}

struct Dialog {
    const char* context;
    QStringList texts;
};

// The labels and buttons of each dialog, by their Polish texts; OK and Cancel go without a key
// of their own (Enter and Escape reach them). The play button of the alarm dialog reads "Stop"
// while a sound plays, so it is checked against the rest in both its texts.
const QList<Dialog>& Dialogs()
{
    static const QStringList alarm{
        QStringLiteral("&Raz"),         QStringLiteral("&Codziennie"),  QStringLiteral("&Dni robocze"),
        QStringLiteral("&Weekend"),     QStringLiteral("Co &tydzień"),  QStringLiteral("Co &miesiąc"),
        QStringLiteral("Co ro&k"),      QStringLiteral("&Godzina:"),    QStringLiteral("D&ata:"),
        QStringLiteral("&Budzenie"),    QStringLiteral("Wstrzyma&nie"), QStringLiteral("&Hibernacja"),
        QStringLiteral("Wy&łączenie"),  QStringLiteral("K&omentarz:"),  QStringLiteral("Kom&unikat"),
        QStringLiteral("Dźw&ięk"),      QStringLiteral("&Program"),     QStringLiteral("Akt&ywny")};
    static const QList<Dialog> dialogs{
        {"zembra::CAlarmDialog", alarm + QStringList{QStringLiteral("Gra&j")}},
        {"zembra::CAlarmDialog", alarm + QStringList{QStringLiteral("&Stop")}},
        {"zembra::CDialogSettings",
         {QStringLiteral("&Startuj z systemem"), QStringLiteral("Ustaw &maksymlaną głośność przy budzeniu"),
          QStringLiteral("&Powtarzaj dźwięk aż do wyłączenia"), QStringLiteral("&Drzemka:"),
          QStringLiteral("&Ukrywaj okno przy starcie"), QStringLiteral("&Otwieraj ostatnią konfigurację po starcie"),
          QStringLiteral("P&rzycisk uśpienia:"), QStringLiteral("Prz&eźroczystość okienka powiadamiania:"),
          QStringLiteral("&Język:")}},
        {"zembra::CTipsDialog", {QStringLiteral("&Pokazuj porady przy starcie"), QStringLiteral("&Następna")}},
        {"zembra::CWakeTestDialog", {QStringLiteral("&Rozpocznij"), QStringLiteral("&Zamknij")}},
    };
    return dialogs;
}

// The texts of one context in a language, by their Polish source.
QMap<QString, QString> TextsOf(const QString& language, const QString& context)
{
    QMap<QString, QString> texts;
    // Polish is the sources' own language: each text stands for itself.
    const QString file = language == QLatin1String("pl") ? QStringLiteral("en") : language;
    for (const Message& message : ReadTs(QStringLiteral(ZEMBRA_SOURCE_DIR "/res/translations/zembra_%1.ts").arg(file))) {
        if (message.context == context) {
            texts.insert(message.source, language == QLatin1String("pl") ? message.source : message.translation);
        }
    }
    return texts;
}

} // namespace

class TestTranslations : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everySourceTextIsInTheTranslationFiles();
    void translationsAreFinishedAndKeepTheirMarks_data();
    void translationsAreFinishedAndKeepTheirMarks();
    void menuAcceleratorsStayUnique_data();
    void menuAcceleratorsStayUnique();
    void dialogAcceleratorsArePresentAndUnique_data();
    void dialogAcceleratorsArePresentAndUnique();
};

void TestTranslations::everySourceTextIsInTheTranslationFiles()
{
    QTemporaryDir dir;
    const QString fresh = dir.filePath(QStringLiteral("fresh.ts"));
    QProcess lupdate;
    lupdate.setWorkingDirectory(QStringLiteral(ZEMBRA_SOURCE_DIR));
    lupdate.start(QStringLiteral(LUPDATE_PATH),
                  {QStringLiteral("-no-obsolete"), QStringLiteral("-locations"), QStringLiteral("none"),
                   QStringLiteral("src"), QStringLiteral("-ts"), fresh});
    QVERIFY(lupdate.waitForFinished(120000));
    QCOMPARE(lupdate.exitCode(), 0);
    QSet<QString> inSources;
    for (const Message& message : ReadTs(fresh)) {
        inSources << message.context + QLatin1Char('|') + message.source;
    }
    QVERIFY(inSources.size() > 100);
    for (const char* language : {"en", "de"}) {
        QSet<QString> translated;
        for (const Message& message :
             ReadTs(QStringLiteral(ZEMBRA_SOURCE_DIR "/res/translations/zembra_%1.ts").arg(QLatin1String(language)))) {
            translated << message.context + QLatin1Char('|') + message.source;
        }
        QStringList missing = (inSources - translated).values();
        missing.sort();
        QVERIFY2(missing.isEmpty(), qPrintable(QStringLiteral("%1 lacks: %2 (run the lupdate target)")
                                                   .arg(QLatin1String(language), missing.join(QStringLiteral("; ")))));
    }
}

void TestTranslations::translationsAreFinishedAndKeepTheirMarks_data()
{
    QTest::addColumn<QString>("language");
    QTest::newRow("English") << QStringLiteral("en");
    QTest::newRow("German") << QStringLiteral("de");
}

void TestTranslations::translationsAreFinishedAndKeepTheirMarks()
{
    QFETCH(QString, language);
    const QList<Message> messages = ReadTs(QStringLiteral(ZEMBRA_SOURCE_DIR "/res/translations/zembra_%1.ts").arg(language));
    QVERIFY(!messages.isEmpty());
    for (const Message& message : messages) {
        const QString where = message.context + QStringLiteral(": ") + message.source;
        QVERIFY2(message.finished && !message.translation.isEmpty(), qPrintable(QStringLiteral("unfinished: ") + where));
        QVERIFY2(Placeholders(message.source) == Placeholders(message.translation),
                 qPrintable(QStringLiteral("placeholders differ: ") + where));
        QVERIFY2(Accelerator(message.source).isNull() == Accelerator(message.translation).isNull(),
                 qPrintable(QStringLiteral("accelerator lost or added: ") + where));
    }
}

void TestTranslations::menuAcceleratorsStayUnique_data()
{
    translationsAreFinishedAndKeepTheirMarks_data();
    QTest::newRow("Polish") << QStringLiteral("pl");
}

void TestTranslations::menuAcceleratorsStayUnique()
{
    QFETCH(QString, language);
    QMap<QString, QString> frame;
    // Polish is the sources' own language: each text stands for itself.
    const QString file = language == QLatin1String("pl") ? QStringLiteral("en") : language;
    for (const Message& message : ReadTs(QStringLiteral(ZEMBRA_SOURCE_DIR "/res/translations/zembra_%1.ts").arg(file))) {
        if (message.context == QLatin1String("zembra::CMainFrame")) {
            frame.insert(message.source, language == QLatin1String("pl") ? message.source : message.translation);
        }
    }
    for (const QStringList& menu : Menus()) {
        QSet<QChar> letters;
        for (const QString& item : menu) {
            QVERIFY2(frame.contains(item), qPrintable(QStringLiteral("no translation of ") + item));
            const QChar letter = Accelerator(frame.value(item));
            QVERIFY2(!letters.contains(letter), qPrintable(QStringLiteral("accelerator used twice: ") + frame.value(item)));
            letters << letter;
        }
    }
}

void TestTranslations::dialogAcceleratorsArePresentAndUnique_data()
{
    menuAcceleratorsStayUnique_data();
}

void TestTranslations::dialogAcceleratorsArePresentAndUnique()
{
    QFETCH(QString, language);
    for (const Dialog& dialog : Dialogs()) {
        const QMap<QString, QString> texts = TextsOf(language, QLatin1String(dialog.context));
        QSet<QChar> letters;
        for (const QString& item : dialog.texts) {
            QVERIFY2(texts.contains(item), qPrintable(QStringLiteral("no translation of ") + item));
            const QString text = texts.value(item);
            const QChar letter = Accelerator(text);
            QVERIFY2(!letter.isNull(), qPrintable(QStringLiteral("no accelerator: ") + text));
            QVERIFY2(!letters.contains(letter), qPrintable(QStringLiteral("accelerator used twice: ") + text));
            letters << letter;
        }
    }
}

QTEST_GUILESS_MAIN(TestTranslations)
#include "test_translations.moc"
