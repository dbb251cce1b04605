#pragma once

#include "features/settings/SettingsPanel.h"

#include <QDateTime>
#include <QString>
#include <functional>

class AppModel;
class ChunkyButton;
class CsvExport;
class ThemedLabel;

// The "Data" card: export every incident as CSV, add or remove demo data, erase everything after
// a confirmation, and the automation URL.
class SettingsDataCard : public SettingsPanel
{
    Q_OBJECT
public:
    using ChooseFile = std::function<QString(QWidget *parent, const QString &suggestedPath)>;

    // `chooseFile` asks where to save (empty answer: cancelled); empty means the file dialog.
    SettingsDataCard(AppModel &model, ChooseFile chooseFile, QWidget *parent = nullptr);

    // Asks for a file, then writes every incident as stored now, oldest first, on a worker thread
    // while the button shows the progress; a failure shows under the buttons. Does nothing while
    // an export runs.
    void exportCsv();
    // Whether an export is under way.
    bool isExporting() const;
    // Opens the erase confirmation with the count stored now.
    void confirmErase();

    ChunkyButton *exportButton() const { return m_export; }
    ChunkyButton *addDemoButton() const { return m_addDemo; }
    ChunkyButton *removeDemoButton() const { return m_removeDemo; }
    ChunkyButton *eraseButton() const { return m_erase; }
    ThemedLabel *problem() const { return m_problem; }

    // Where the save dialog starts: the documents folder and the dated file name for `now`.
    static QString suggestedPath(const QDateTime &now);

private:
    // Shows `job`'s progress on the button until it ends, then its outcome.
    void follow(CsvExport *job);
    void showProgress(int percent);
    void exportEnded(CsvExport *job);

    AppModel &m_model;
    ChooseFile m_chooseFile;
    ChunkyButton *m_export;
    ChunkyButton *m_addDemo;
    ChunkyButton *m_removeDemo;
    ChunkyButton *m_erase;
    ThemedLabel *m_problem;
};
