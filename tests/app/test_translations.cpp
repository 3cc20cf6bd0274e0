// The translations are complete: the translation files, brought up to date with the sources
// afresh (in copies), hold every text of the code with a finished English and German translation
// that keeps its placeholders and its keyboard accelerator. A text added to the code, or changed,
// comes out unfinished, and so does one nobody translated.

#include <QtGui>
#include <QtTest>

using namespace Qt::StringLiterals;

// The %1, %n... of a text, sorted.
static QStringList Placeholders(const QString& text)
{
    static const QRegularExpression pattern(u"%(\\d+|n|s|d)"_s);
    QStringList found;
    for (const QRegularExpressionMatch& match : pattern.globalMatch(text))
        found << match.captured(0);
    found.sort();
    return found;
}

class TestTranslations : public QObject {
    Q_OBJECT

private Q_SLOTS:
    void everyTextIsTranslatedWithItsMarks_data()
    {
        QTest::addColumn<QString>("language");
        QTest::newRow("English") << u"en"_s;
        QTest::newRow("German") << u"de"_s;
    }
    void everyTextIsTranslatedWithItsMarks()
    {
        QFETCH(QString, language);
        QTemporaryDir dir;
        const QString name = u"zembra_%1.ts"_s.arg(language);
        const QString ts = dir.filePath(name);
        QVERIFY(QFile::copy(QStringLiteral(ZEMBRA_SOURCE_DIR "/res/translations/") + name, ts));
        // Brought up to date with the sources, as the lupdate target does; texts gone from the
        // code are dropped.
        const QString sources = QStringLiteral(ZEMBRA_SOURCE_DIR "/src");
        const QStringList args{sources, u"-no-obsolete"_s, u"-ts"_s, ts};
        QCOMPARE(QProcess::execute(QStringLiteral(LUPDATE_PATH), args), 0);

        QFile file(ts);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QString context;
        QString source;
        int messages = 0;
        while (!xml.atEnd()) {
            if (xml.readNext() != QXmlStreamReader::StartElement)
                continue;
            if (xml.name() == u"name")
                context = xml.readElementText();
            else if (xml.name() == u"source")
                source = xml.readElementText();
            else if (xml.name() == u"translation") {
                ++messages;
                const QString where = context + u": "_s + source;
                const bool unfinished = xml.attributes().hasAttribute(u"type"_s);
                const QString text = xml.readElementText();
                QVERIFY2(!unfinished && !text.isEmpty(),
                         qPrintable(u"missing or unfinished (run the lupdate target): "_s + where));
                QVERIFY2(Placeholders(source) == Placeholders(text),
                         qPrintable(u"placeholders differ: "_s + where));
                QVERIFY2(QKeySequence::mnemonic(source).isEmpty()
                             == QKeySequence::mnemonic(text).isEmpty(),
                         qPrintable(u"accelerator lost or added: "_s + where));
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(messages > 100);
    }
};

QTEST_GUILESS_MAIN(TestTranslations)
#include "test_translations.moc"
