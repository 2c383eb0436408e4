#include "FileOpenDialog.h"

#include <QFileDialog>

bool CommonDialog::ShowOpen()
{
    const QString chosen =
        QFileDialog::getOpenFileName(qobject_cast<QWidget *>(parent()), QString(), m_fileName);
    if (chosen.isEmpty())
        return false;
    m_fileName = chosen;
    return true;
}
