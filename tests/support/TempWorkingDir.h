#pragma once

#include <QDir>
#include <QTemporaryDir>
#include <QTest>

// Makes a fresh temporary directory the current one for the lifetime of the
// object, so that each test function meets its own settings files.
class TempWorkingDir {
public:
    TempWorkingDir()
        : m_previous(QDir::currentPath())
    {
        QDir::setCurrent(m_dir.path());
    }
    ~TempWorkingDir() { QDir::setCurrent(m_previous); }

    bool isValid() const
    {
        return m_dir.isValid() && QDir::currentPath() == QDir(m_dir.path()).canonicalPath();
    }
    QString path() const { return m_dir.path(); }

private:
    QString m_previous;
    QTemporaryDir m_dir;
};

inline void writeFile(const QString &name, const QByteArray &bytes)
{
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    QCOMPARE(file.write(bytes), bytes.size());
}

inline QByteArray fileBytes(const QString &name)
{
    QFile file(name);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<absent>");
}
