#include "RunTimeError.h"
#include "TempWorkingDir.h"
#include "settings/SettingsFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <future>
#include <memory>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

using namespace SettingsFiles;

namespace {

// The message of the RunTimeError that call throws, or "<no error>".
template <typename Call> QString errorOf(Call call)
{
    try {
        call();
    } catch (const RunTimeError &error) {
        return error.message();
    }
    return QStringLiteral("<no error>");
}

// Makes an entry of the given kind named name in the current directory.
bool makeEntry(const QString &name, const QString &kind)
{
    const QByteArray path = QFile::encodeName(name);
    if (kind == "regular")
        return QFile(name).open(QIODevice::WriteOnly) && QFile(name).resize(5);
    if (kind == "empty")
        return QFile(name).open(QIODevice::WriteOnly);
    if (kind == "directory")
        return QDir().mkdir(name);
    if (kind == "fifo")
        return ::mkfifo(path.constData(), 0600) == 0;
    if (kind == "symlink to file")
        return QFile("target").open(QIODevice::WriteOnly) && QFile::link("target", name);
    if (kind == "dangling symlink")
        return QFile::link("nowhere", name);
    return kind == "absent";
}

// The type of what path leads to (S_IFREG, S_IFIFO, ...), 0 for nothing.
mode_t typeAt(const QString &path)
{
    struct stat status;
    return ::stat(QFile::encodeName(path).constData(), &status) == 0 ? status.st_mode & S_IFMT : 0;
}

} // namespace

class TestSettingsFiles : public QObject {
    Q_OBJECT

    std::unique_ptr<TempWorkingDir> m_dir;

private slots:
    void init()
    {
        m_dir = std::make_unique<TempWorkingDir>();
        QVERIFY(m_dir->isValid());
    }

    void cleanup() { m_dir.reset(); }

    void writeHomeAddress_data()
    {
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QString>("text");
        QTest::newRow("empty text") << QByteArray() << "";
        QTest::newRow("blanks kept") << QByteArray() << "  a b \t ";
        QTest::newRow("non-ASCII") << QByteArray() << u"https://bücher.example/ß€"_s;
        QTest::newRow("replaces longer") << QByteArray(1000, 'x') + "\r\nmore\r\n"
                                         << "a";
    }
    void writeHomeAddress()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, text);
        if (!before.isNull())
            writeFile("home.ad", before);
        WriteHomeAddress(text);
        QCOMPARE(fileBytes("home.ad"), text.toLocal8Bit() + "\r\n");
        QVERIFY(HomeAddressFileExists());
        QCOMPARE(ReadHomeAddress(), text);
        QCOMPARE(QDir().entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"home.ad"});
    }

    void readHomeAddress_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("several lines") << QByteArray("first\r\nsecond\r\n") << "first";
        QTest::newRow("empty first line") << QByteArray("\r\nsecond\r\n") << "";
        QTest::newRow("no line end") << QByteArray("http://a/") << "http://a/";
        QTest::newRow("LF-only lines") << QByteArray("a\nb\n") << "a\nb\n";
        QTest::newRow("LF then CR LF") << QByteArray("a\nb\r\nc") << "a\nb";
        QTest::newRow("CR alone") << QByteArray("a\rb\r\n") << "a";
        QTest::newRow("blanks kept") << QByteArray("  a b \t\r\n") << "  a b \t";
        QTest::newRow("non-ASCII") << u"ß€\r\n"_s.toLocal8Bit() << u"ß€"_s;
        QTest::newRow("exactly MaxLineBytes")
            << QByteArray(MaxLineBytes, 'a') << QString(MaxLineBytes, 'a');
        QTest::newRow("exactly MaxLineBytes, then CR LF")
            << QByteArray(MaxLineBytes, 'a') + "\r\nb" << QString(MaxLineBytes, 'a');
    }
    void readHomeAddress()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        writeFile("home.ad", bytes);
        QCOMPARE(ReadHomeAddress(), expected);
    }

    void readHomeAddressFails_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("message");
        QTest::newRow("missing") << QByteArray() << "home.ad: No such file or directory";
        QTest::newRow("zero bytes")
            << QByteArray("") << "home.ad: the file is empty, it holds no line";
        const QString tooLong = "home.ad: the first line is longer than 2097152 bytes";
        QTest::newRow("MaxLineBytes + 1, no CR") << QByteArray(MaxLineBytes + 1, 'a') << tooLong;
        QTest::newRow("MaxLineBytes + 1, then CR") << QByteArray(MaxLineBytes + 1, 'a') + "\r\n"
                                                   << tooLong;
    }
    void readHomeAddressFails()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, message);
        if (!bytes.isNull())
            writeFile("home.ad", bytes);
        QCOMPARE(errorOf(ReadHomeAddress), message);
    }

    void readNotRegularFile_data()
    {
        QTest::addColumn<QString>("kind");
        QTest::newRow("directory") << "directory";
        QTest::newRow("fifo") << "fifo";
    }
    void readNotRegularFile()
    {
        QFETCH(QString, kind);
        QVERIFY(makeEntry("home.ad", kind));
        auto result = std::async(std::launch::async, [] { return errorOf(ReadHomeAddress); });
        if (result.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
            // The read hangs in open(): a writer releases it, then the test fails.
            const int fd = ::open("home.ad", O_WRONLY | O_NONBLOCK);
            result.wait();
            ::close(fd);
            QFAIL("ReadHomeAddress() hangs on a FIFO");
        }
        QCOMPARE(result.get(), "home.ad: not a regular file");
        QVERIFY(QFileInfo("home.ad").isDir() == (kind == "directory"));
    }

    void exists_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("kind");
        QTest::addColumn<bool>("expected");
        const std::pair<const char *, bool> kinds[] = {
            {"absent", false},          {"regular", true}, {"empty", true},
            {"directory", false},       {"fifo", false},   {"symlink to file", true},
            {"dangling symlink", false}};
        for (const char *name : {"home.ad", "max.dat"})
            for (const auto &[kind, expected] : kinds)
                QTest::addRow("%s, %s", name, kind) << name << kind << expected;
    }
    void exists()
    {
        QFETCH(QString, name);
        QFETCH(QString, kind);
        QFETCH(bool, expected);
        QVERIFY(makeEntry(name, kind));
        QCOMPARE(name == "home.ad" ? HomeAddressFileExists() : StartMaxMarkerExists(), expected);
    }

    void writeOverDirectoryFails_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("home.ad") << "home.ad";
        QTest::newRow("max.dat") << "max.dat";
    }
    void writeOverDirectoryFails()
    {
        QFETCH(QString, name);
        QVERIFY(QDir().mkpath(name + "/inside"));
        const QString message = name == "home.ad" ? errorOf([] { WriteHomeAddress("x"); })
                                                  : errorOf(CreateStartMaxMarker);
        QVERIFY2(message.startsWith(name + ": ") && message.size() > name.size() + 2,
                 qPrintable(message));
        QVERIFY(QFileInfo(name + "/inside").isDir());
        QCOMPARE(QDir().entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{name});
    }

    // A link is followed to a regular file only; nothing else it leads to, in
    // this directory or beyond it, is ever replaced.
    void writeThroughLink_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("target");
        QTest::addColumn<QString>("message");
        const std::pair<const char *, const char *> targets[] = {
            {"elsewhere/regular", ""},
            {"elsewhere/fifo", "not a regular file"},
            {"elsewhere/directory", "not a regular file"},
            {"elsewhere/nothing", "a link to a file that does not exist"},
            {"", "not a regular file"}}; // a FIFO of that name, no link
        for (const char *name : {"home.ad", "max.dat"})
            for (const auto &[target, message] : targets)
                QTest::addRow("%s -> %s", name, target)
                    << name << target << (*message ? name + QString(": ") + message : "<no error>");
    }
    void writeThroughLink()
    {
        QFETCH(QString, name);
        QFETCH(QString, target);
        QFETCH(QString, message);
        QVERIFY(QDir().mkdir("elsewhere") && QDir().mkdir("elsewhere/directory"));
        writeFile("elsewhere/regular", "old\r\n");
        QCOMPARE(::mkfifo("elsewhere/fifo", 0600), 0);
        QVERIFY(target.isEmpty() ? ::mkfifo(qPrintable(name), 0600) == 0
                                 : QFile::link(QDir::current().filePath(target), name));
        const QString where = target.isEmpty() ? name : target;
        const mode_t before = typeAt(where);

        QCOMPARE(name == "home.ad" ? errorOf([] { WriteHomeAddress("new"); })
                                   : errorOf(CreateStartMaxMarker),
                 message);
        QCOMPARE(QFileInfo(name).isSymLink(), !target.isEmpty());
        if (message == "<no error>")
            QCOMPARE(fileBytes(name), name == "home.ad" ? QByteArray("new\r\n")
                                                        : QByteArray("Maximised on start-up\r\n"));
        else
            QCOMPARE(typeAt(where), before);
        QCOMPARE(QDir().entryList(QDir::NoDotAndDotDot | QDir::AllEntries | QDir::System),
                 (QStringList{"elsewhere", name}));
    }

    void failedWriteKeepsOldContent_data()
    {
        QTest::addColumn<QString>("how");
        QTest::newRow("unwritable current directory") << "unwritable";
        QTest::newRow("file size limit") << "size limit";
    }
    void failedWriteKeepsOldContent()
    {
        QFETCH(QString, how);
        writeFile("home.ad", "old\r\n");
        QString message;
        if (how == "unwritable") {
            if (::geteuid() == 0)
                QSKIP("root writes into a read-only directory");
            QVERIFY(QFile::setPermissions(".", QFile::ReadOwner | QFile::ExeOwner));
            message = errorOf([] { WriteHomeAddress("new"); });
            QFile::setPermissions(".", QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
        } else {
            // Beyond 16 bytes write() fails with EFBIG, for root too.
            rlimit old;
            QCOMPARE(::getrlimit(RLIMIT_FSIZE, &old), 0);
            rlimit limit = old;
            limit.rlim_cur = 16;
            const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
            QCOMPARE(::setrlimit(RLIMIT_FSIZE, &limit), 0);
            message = errorOf([] { WriteHomeAddress(QString(100, 'n')); });
            ::setrlimit(RLIMIT_FSIZE, &old);
            std::signal(SIGXFSZ, oldHandler);
        }
        QVERIFY2(message.startsWith("home.ad: ") && message.size() > 9, qPrintable(message));
        QCOMPARE(fileBytes("home.ad"), QByteArray("old\r\n"));
        QCOMPARE(QDir().entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList{"home.ad"});
    }

    void deleteStartMaxMarker()
    {
        CreateStartMaxMarker();
        DeleteStartMaxMarker();
        QVERIFY(!StartMaxMarkerExists());
        QVERIFY(!QFileInfo::exists("max.dat"));
        QCOMPARE(errorOf(DeleteStartMaxMarker), "max.dat: No such file or directory");
    }

    void currentDirectoryAtEachCall()
    {
        WriteHomeAddress("in A");
        CreateStartMaxMarker();
        QTemporaryDir dirB;
        QVERIFY(QDir::setCurrent(dirB.path()));
        QVERIFY(!HomeAddressFileExists());
        QVERIFY(!StartMaxMarkerExists());
        WriteHomeAddress("in B");
        QCOMPARE(ReadHomeAddress(), "in B");
        QVERIFY(QDir::setCurrent(m_dir->path()));
        QCOMPARE(ReadHomeAddress(), "in A");
        DeleteStartMaxMarker();
        QCOMPARE(fileBytes(dirB.filePath("home.ad")), QByteArray("in B\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsFiles)
#include "tst_settingsfiles.moc"
