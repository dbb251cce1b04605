#pragma once

#include <QFileDialog>

// The save dialog of every export. Qt's own dialog reads a '"' in the typed name as quoting for
// several files and would save under some other name in its current folder; this one takes a
// name with a '"' exactly as typed, so the file lands where the user pointed.
class SaveFileDialog : public QFileDialog
{
    Q_OBJECT
public:
    // `filters` as for setNameFilters; `defaultSuffix` (no dot) is added to a name without one.
    SaveFileDialog(QWidget *parent, const QString &caption, const QString &suggestedPath,
                   const QStringList &filters, const QString &defaultSuffix = {});

    // After the dialog was accepted: the absolute path to write.
    QString chosenPath() const;

    void accept() override;

private:
    QString m_chosen;
};

namespace SaveDialog {

// Runs the dialog modally; the path to write, or empty when the user cancelled.
QString ask(QWidget *parent, const QString &caption, const QString &suggestedPath, const QStringList &filters,
            const QString &defaultSuffix = {});

} // namespace SaveDialog
