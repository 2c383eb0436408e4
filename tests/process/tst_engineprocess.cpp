#include "LoopbackHttpServer.h"
#include "TempWorkingDir.h"
#include "TestMain.h"
#include "process/EngineProcess.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTcpSocket>

namespace {

// The program starts its engine and loads its home page in a second or two;
// the bound is for a busy machine.
constexpr int StartTimeoutMs = 30000;
constexpr int ConnectTimeoutMs = 1000;

// The program as built, beside the tests' folder.
QString programPath()
{
    return QDir(QCoreApplication::applicationDirPath()).absoluteFilePath("../corvane");
}

} // namespace

class tst_EngineProcess : public QObject {
    Q_OBJECT

private slots:
    void initTestCase()
    {
        QVERIFY2(m_server.isListening(), qPrintable(m_server.errorString()));
        QVERIFY2(QFile::exists(programPath()), "the program is built with the tests");
        m_server.setRoute("/home", "<!doctype html><title>Home</title><link rel=icon href='data:,'>"
                                   "<script>onload = () => fetch('/loaded');</script>");
        // The program starts here, in the test's own home, at the server's page.
        writeFile("home.ad", m_server.url("/home").toEncoded() + "\r\n");
    }

    void flagsThatOpenRemoteDebuggingAreDropped_data()
    {
        QTest::addColumn<QByteArray>("given");
        QTest::addColumn<QByteArrayList>("kept");

        QTest::newRow("port") << QByteArray("--remote-debugging-port=9222") << QByteArrayList();
        QTest::newRow("quoted, with one dash, among others")
            << QByteArray("--disable-gpu \"-remote-debugging-port=9\" --lang=en")
            << QByteArrayList{"--disable-gpu", "--lang=en"};
        QTest::newRow("pipe, in capitals")
            << QByteArray("--REMOTE-DEBUGGING-PIPE") << QByteArrayList();
        QTest::newRow("quoted, with a space")
            << QByteArray("\"--user-agent=a b\"") << QByteArrayList{"\"--user-agent=a b\""};
#if QT_VERSION < QT_VERSION_CHECK(6, 6, 0)
        QTest::newRow("features the user switches off")
            << QByteArray("--disable-blink-features=Foo")
            << QByteArrayList{"--disable-blink-features=Foo,WebTransport"};
#endif
    }
    void flagsThatOpenRemoteDebuggingAreDropped()
    {
        QFETCH(QByteArray, given);
        QFETCH(QByteArrayList, kept);
#if QT_VERSION < QT_VERSION_CHECK(6, 6, 0)
        if (!given.contains("disable-blink-features"))
            kept << "--disable-blink-features=WebTransport";
#endif
        QCOMPARE(engineFlags(given), kept.join(' '));
    }

    void noRemoteDebuggingPortIsOpened_data()
    {
        QTest::addColumn<QStringList>("environment");
        QTest::addColumn<QStringList>("arguments");

        QTest::newRow("debugging variable")
            << QStringList{"QTWEBENGINE_REMOTE_DEBUGGING=127.0.0.1:PORT"} << QStringList();
        QTest::newRow("engine flag")
            << QStringList{"QTWEBENGINE_CHROMIUM_FLAGS=--remote-debugging-port=PORT"}
            << QStringList();
        QTest::newRow("command line")
            << QStringList() << QStringList{"--webEngineArgs", "--remote-debugging-port=PORT"};
    }
    void noRemoteDebuggingPortIsOpened()
    {
        QFETCH(QStringList, environment);
        QFETCH(QStringList, arguments);
        const QString port = QString::number(LoopbackHttpServer::freePort());
        QVERIFY(port != "0");
        environment.replaceInStrings("PORT", port);
        arguments.replaceInStrings("PORT", port);

        QProcessEnvironment processEnvironment = QProcessEnvironment::systemEnvironment();
        for (const QString &variable : environment)
            processEnvironment.insert(variable.section('=', 0, 0), variable.section('=', 1));
        QProcess program;
        program.setProcessEnvironment(processEnvironment);
        m_server.clearLog();

        program.start(programPath(), arguments);

        QTRY_VERIFY_WITH_TIMEOUT(m_server.requestCount("/loaded") == 1, StartTimeoutMs);
        QCOMPARE(program.state(), QProcess::Running);
        QTcpSocket debugger;
        debugger.connectToHost(QHostAddress::LocalHost, port.toUShort());
        QVERIFY2(!debugger.waitForConnected(ConnectTimeoutMs), "a debugging port is open");
        program.kill();
        QVERIFY(program.waitForFinished(ConnectTimeoutMs));
    }

private:
    LoopbackHttpServer m_server;
};

CORVANE_TEST_MAIN(tst_EngineProcess)
#include "tst_engineprocess.moc"
