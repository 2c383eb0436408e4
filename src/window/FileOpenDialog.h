#pragma once

#include <QObject>
#include <QString>

// The file-open dialog component. It keeps the chosen file's name from one use
// to the next, so the dialog opens where the user last was.
class FileOpenDialog : public QObject {
public:
    using QObject::QObject;

    // Shows the dialog modally; true when the user chose a file.
    virtual bool ShowOpen() = 0;
    // The full path of the file last chosen; empty until one was chosen.
    virtual QString FileName() const = 0;
};

// The platform's standard file-open dialog, owned by the window it opens over.
class CommonDialog : public FileOpenDialog {
public:
    using FileOpenDialog::FileOpenDialog;

    bool ShowOpen() override;
    QString FileName() const override { return m_fileName; }

private:
    QString m_fileName;
};
