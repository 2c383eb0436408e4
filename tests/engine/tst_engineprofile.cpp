#include "EngineUnderTest.h"
#include "LoopbackHttpServer.h"
#include "TempWorkingDir.h"
#include "TestMain.h"

#include <QDirIterator>
#include <QRegularExpression>
#include <QStandardPaths>

namespace {

// Whether a file below folder holds text.
bool anyFileHolds(const QString &folder, const QByteArray &text)
{
    QDirIterator it(folder, QDir::Files | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        QFile file(it.next());
        if (file.open(QIODevice::ReadOnly) && file.readAll().contains(text))
            return true;
    }
    return false;
}

} // namespace

class tst_EngineProfile : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();

    void cookiesOutliveTheEngineLikeABrowsers();

private:
    LoopbackHttpServer m_server;
};

void tst_EngineProfile::initTestCase()
{
    QVERIFY2(m_server.isListening(), qPrintable(m_server.errorString()));
    // As the program names itself, before it makes its engine.
    QCoreApplication::setApplicationName(QStringLiteral("corvane"));
    m_server.setRoute("/set",
                      page("Set", "<script>document.cookie = 'fromScript=2; max-age=3600';"
                                  "document.cookie = 'forTheSession=3';</script>"),
                      "text/html; charset=utf-8", 200,
                      {{"Set-Cookie", "fromServer=1; Max-Age=3600; Path=/"}});
    m_server.setRoute("/show", page("Showing", "<script>document.title = 'cookies: ' + "
                                               "document.cookie;</script>"));
}

void tst_EngineProfile::cookiesOutliveTheEngineLikeABrowsers()
{
    // The profile goes after its page, without a word.
    QTest::failOnWarning(QRegularExpression("Release of profile"));
    const TempWorkingDir workingDir;
    QVERIFY(workingDir.isValid());
    const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
    QVERIFY2(data.startsWith(qEnvironmentVariable("XDG_DATA_HOME") + "/corvane"), qPrintable(data));

    {
        EngineUnderTest first;
        QVERIFY(first.isExposed());
        first.browser->Navigate(m_server.url("/set").toString());
        QTRY_COMPARE_WITH_TIMEOUT(first.title(), QString("Set"), LoadTimeoutMs);
    }
    // Written where the user's data is kept once the engine has let go of it.
    QTRY_VERIFY_WITH_TIMEOUT(anyFileHolds(data, "fromServer") && anyFileHolds(data, "fromScript"),
                             LoadTimeoutMs);

    EngineUnderTest second;
    QVERIFY(second.isExposed());
    second.browser->Navigate(m_server.url("/show").toString());

    // Lasting cookies stay; one for the session ended with it.
    QTRY_VERIFY_WITH_TIMEOUT(second.title().startsWith("cookies: "), LoadTimeoutMs);
    QCOMPARE(second.title(), QString("cookies: fromServer=1; fromScript=2"));
    QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                       QDir::NoDotAndDotDot),
             QStringList());
}

CORVANE_TEST_MAIN(tst_EngineProfile)
#include "tst_engineprofile.moc"
