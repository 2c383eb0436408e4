#include "EngineTestCase.h"
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

class tst_EngineProfile : public EngineTestCase {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        // As the program names itself, before it makes its engine.
        QCoreApplication::setApplicationName(QStringLiteral("corvane"));
        serveCookies(server);
        server.setRoute("/show", page("Showing", "<script>document.title = 'cookies: ' + "
                                                 "document.cookie;</script>"));
    }

    void cookiesOutliveTheEngineLikeABrowsers()
    {
        // The profile goes after its page, without a word.
        QTest::failOnWarning(QRegularExpression("Release of profile"));
        const TempWorkingDir workingDir;
        QVERIFY(workingDir.isValid());
        const QString data = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
        QVERIFY2(data.startsWith(qEnvironmentVariable("XDG_DATA_HOME") + "/corvane"),
                 qPrintable(data));

        QVERIFY(openEngine()); // its profile made with this directory the current one
        show("/set");
        closeEngine();
        // Written where the user's data is kept once the engine has let go of it.
        QTRY_VERIFY_WITH_TIMEOUT(
            anyFileHolds(data, "fromServer") && anyFileHolds(data, "fromScript"), LoadTimeoutMs);

        QVERIFY(openEngine());
        show("/show");

        // Lasting cookies stay; one for the session ended with it.
        QTRY_VERIFY_WITH_TIMEOUT(title().startsWith("cookies: "), LoadTimeoutMs);
        QCOMPARE(title(), QString("cookies: fromServer=1; fromScript=2"));
        QCOMPARE(QDir::current().entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                           QDir::NoDotAndDotDot),
                 QStringList());
    }
};

CORVANE_TEST_MAIN(tst_EngineProfile)
#include "tst_engineprofile.moc"
