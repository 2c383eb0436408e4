#include "Dialogs.h"

#include <QInputDialog>
#include <QMessageBox>

#include <cstdio>

void tellUser(Dialogs &dialogs, QWidget *owner, const QString &message)
{
    std::fprintf(stderr, "corvane: %s\n", qPrintable(message));
    dialogs.reportError(owner, message);
}

std::optional<QString> StandardDialogs::askText(QWidget *owner, const QString &title,
                                                const QString &prompt)
{
    bool confirmed = false;
    const QString text =
        QInputDialog::getText(owner, title, prompt, QLineEdit::Normal, QString(), &confirmed);
    if (!confirmed)
        return std::nullopt;
    return text;
}

void StandardDialogs::reportError(QWidget *owner, const QString &message)
{
    QMessageBox::critical(owner, QStringLiteral("Corvane"), message);
}
