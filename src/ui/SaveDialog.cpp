#include "ui/SaveDialog.h"

#include <QDir>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>

SaveFileDialog::SaveFileDialog(QWidget *parent, const QString &caption, const QString &suggestedPath,
                               const QStringList &filters, const QString &defaultSuffix)
    : QFileDialog(parent, caption)
{
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    setNameFilters(filters);
    setDefaultSuffix(defaultSuffix);
    const QFileInfo suggested(suggestedPath);
    setDirectory(suggested.absolutePath());
    selectFile(suggested.fileName());
}

QString SaveFileDialog::chosenPath() const
{
    if (!m_chosen.isEmpty())
        return m_chosen;
    return selectedFiles().value(0);
}

void SaveFileDialog::accept()
{
    m_chosen.clear();
    // Only Qt's own dialog has the name field; a platform dialog hands over the path it chose.
    auto *field = findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    const QString typed = field ? field->text() : QString();
    if (!typed.contains(QLatin1Char('"'))) {
        QFileDialog::accept();
        return;
    }

    QString path = typed;
    if (path == QLatin1String("~") || path.startsWith(QLatin1String("~/")))
        path.replace(0, 1, QDir::homePath());
    path = QDir::cleanPath(directory().absoluteFilePath(path));
    QFileInfo info(path);
    if (info.isDir()) {
        setDirectory(path);
        field->clear();
        return;
    }
    if (!defaultSuffix().isEmpty() && !info.fileName().contains(QLatin1Char('.'))) {
        path += QLatin1Char('.') + defaultSuffix();
        info.setFile(path);
    }
    if (!info.absoluteDir().exists()) {
        QMessageBox::warning(
            this, windowTitle(),
            tr("The folder %1 does not exist.").arg(QDir::toNativeSeparators(info.absolutePath())));
        return;
    }
    if (info.exists() && !testOption(QFileDialog::DontConfirmOverwrite) &&
        QMessageBox::warning(this, windowTitle(),
                             tr("%1 already exists.\nDo you want to replace it?").arg(info.fileName()),
                             QMessageBox::Yes | QMessageBox::No, QMessageBox::No) != QMessageBox::Yes)
        return;
    m_chosen = path;
    QDialog::accept();
}

namespace SaveDialog {

QString ask(QWidget *parent, const QString &caption, const QString &suggestedPath, const QStringList &filters,
            const QString &defaultSuffix)
{
    SaveFileDialog dialog(parent, caption, suggestedPath, filters, defaultSuffix);
    if (dialog.exec() != QDialog::Accepted)
        return {};
    return dialog.chosenPath();
}

} // namespace SaveDialog
