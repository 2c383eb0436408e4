#include "EngineTestCase.h"
#include "TempWorkingDir.h"
#include "TestMain.h"

#include <QDirIterator>
#include <QPointer>
#include <QStandardPaths>
#include <QWebEngineDownloadRequest>
#include <QWebEngineProfile>

namespace {

const QByteArray Report = "date,amount\r\n2024-01-01,12.50\r\n";

// Every byte value, in an order no buffering keeps by accident, and more of
// them than one network read brings.
QByteArray binaryBody()
{
    QByteArray bytes;
    for (quint32 i = 0; i < 300000; ++i)
        bytes.append(char((i * 7919 + i / 256) % 256));
    return bytes;
}

QString proposed(const QString &fileName)
{
    return QDir(QStandardPaths::writableLocation(QStandardPaths::DownloadLocation))
        .filePath(fileName);
}

// The files in the user's home, the engine's data and cache aside.
QStringList filesAtHome()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    const QString cache = QStandardPaths::writableLocation(QStandardPaths::GenericCacheLocation);
    QStringList files;
    QDirIterator it(QDir::homePath(), QDir::Files | QDir::Hidden | QDir::System,
                    QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString file = it.next();
        if (!file.startsWith(data + '/') && !file.startsWith(cache + '/'))
            files << file;
    }
    files.sort();
    return files;
}

} // namespace

class tst_Downloads : public EngineTestCase {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        server.setRoute("/export", Report, "text/csv", 200,
                        {{"Content-Disposition", "attachment; filename=\"report.csv\""}});
        server.setRoute("/archive.bin", binaryBody(), "application/octet-stream");
        QVERIFY(QDir().mkpath("chosen"));
    }

    void downloadIsSavedWhereTheUserChose_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QString>("serverName");
        QTest::addColumn<QByteArray>("body");

        QTest::newRow("attachment") << "/export"
                                    << "report.csv" << Report;
        QTest::newRow("type the engine cannot show") << "/archive.bin"
                                                     << "archive.bin" << binaryBody();
    }
    void downloadIsSavedWhereTheUserChose()
    {
        QFETCH(QString, path);
        QFETCH(QString, serverName);
        QFETCH(QByteArray, body);
        const QString chosen = QDir::current().absoluteFilePath("chosen/" + serverName + ".saved");
        dialogs->savePath = chosen;

        download(path);

        QTRY_COMPARE_WITH_TIMEOUT(dialogs->shown.size(), 3, LoadTimeoutMs);
        QCOMPARE(dialogs->shown, QStringList({"save as " + proposed(serverName),
                                              "progress " + serverName + ".saved",
                                              "succeeded: Downloaded " + chosen}));
        QCOMPARE(fileBytes(chosen), body);
    }

    void downloadThatIsNotSavedLeavesNothing_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<bool>("silent");
        QTest::addColumn<QString>("chosen");
        QTest::addColumn<QStringList>("expectedShownStarts");

        // A place no one can write to, root included: below a file.
        const QString unwritable = QDir::current().absoluteFilePath("blocker/report.csv");
        QTest::newRow("cancelled")
            << "/export" << false << QString() << QStringList{"save as " + proposed("report.csv")};
        QTest::newRow("silent") << "/export" << true << unwritable << QStringList();
        QTest::newRow("folder that cannot be made")
            << "/export" << false << unwritable
            << QStringList{"save as " + proposed("report.csv"),
                           "failed: The download of " + unwritable +
                               " failed: its folder cannot be made"};
        // Longer than a file system takes, so the engine fails to write it.
        const QString tooLong(300, 'x');
        const QString chosen = QDir::current().absoluteFilePath("chosen/" + tooLong);
        QTest::newRow("name too long")
            << "/export" << false << chosen
            << QStringList{"save as " + proposed("report.csv"), "progress " + tooLong,
                           "failed: The download of " + chosen + " failed: "};
    }
    void downloadThatIsNotSavedLeavesNothing()
    {
        QFETCH(QString, path);
        QFETCH(bool, silent);
        QFETCH(QString, chosen);
        QFETCH(QStringList, expectedShownStarts);
        writeFile("blocker", "");
        if (!chosen.isEmpty())
            dialogs->savePath = chosen;
        browser->setSilent(silent);
        const QStringList filesBefore = filesAtHome();
        server.clearLog();

        download(path);

        QCOMPARE(server.requestCount(path), 1);
        QTRY_COMPARE_WITH_TIMEOUT(dialogs->shown.size(), expectedShownStarts.size(), LoadTimeoutMs);
        for (qsizetype i = 0; i < expectedShownStarts.size(); ++i)
            QVERIFY2(dialogs->shown[i].startsWith(expectedShownStarts[i]),
                     qPrintable(dialogs->shown[i]));
        QCOMPARE(filesAtHome(), filesBefore);
    }

private:
    // Starts the download of path over a page shown, and waits for its end.
    void download(const QString &path)
    {
        show("/one");
        QPointer<QWebEngineDownloadRequest> download;
        const QObject watcher;
        // Connected after the engine's own answer, so it sees the download answered.
        connect(webPage()->profile(), &QWebEngineProfile::downloadRequested, &watcher,
                [&download](QWebEngineDownloadRequest *request) { download = request; });

        browser->Navigate(location(path));

        QTRY_VERIFY_WITH_TIMEOUT(download && download->isFinished(), LoadTimeoutMs);
        // The page shown stays, and the view goes on working.
        QTRY_VERIFY_WITH_TIMEOUT(!browser->Busy(), LoadTimeoutMs);
        QCOMPARE(title(), QString("One"));
        QCOMPARE(browser->LocationURL(), location("/one"));
    }
};

CORVANE_TEST_MAIN(tst_Downloads)
#include "tst_downloads.moc"
