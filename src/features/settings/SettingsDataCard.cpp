#include "features/settings/SettingsDataCard.h"

#include "app/AppModel.h"
#include "features/settings/SettingsText.h"
#include "models/Csv.h"
#include "models/CsvExport.h"
#include "ui/ChunkyButton.h"
#include "ui/ItemRowLayout.h"
#include "ui/OverlayCenter.h"
#include "ui/SaveDialog.h"
#include "ui/ThemedLabel.h"

#include <QDir>
#include <QFileInfo>
#include <QLayout>
#include <QStandardPaths>

namespace {

// Buttons side by side while they fit, the rest on further lines: a narrow column keeps every
// button whole instead of being held wide by them.
class WrapRow : public ItemRowLayout
{
public:
    using ItemRowLayout::ItemRowLayout;

    Qt::Orientations expandingDirections() const override { return {}; }
    QSize minimumSize() const override
    {
        QSize least;
        for (const QLayoutItem *item : m_items)
            least = least.expandedTo(item->sizeHint());
        return least.grownBy(contentsMargins());
    }

protected:
    int place(const QRect &rect, bool apply) const override
    {
        const QRect area = rect.marginsRemoved(contentsMargins());
        int x = area.left();
        int y = area.top();
        int lineHeight = 0;
        for (QLayoutItem *item : m_items) {
            const QSize size = item->sizeHint();
            if (x > area.left() && x + size.width() > area.right() + 1) {
                x = area.left();
                y += lineHeight + m_spacing;
                lineHeight = 0;
            }
            if (apply)
                item->setGeometry(QRect(QPoint(x, y), size));
            x += size.width() + m_spacing;
            lineHeight = qMax(lineHeight, size.height());
        }
        return y + lineHeight - area.top() + contentsMargins().top() + contentsMargins().bottom();
    }
};

QString progressText(int percent)
{
    return QStringLiteral("Exporting\u2026 %1%").arg(percent);
}

// The export button: one width before, during and after an export, so the buttons beside it and
// the card below never move; as wide as the widest of every text it shows.
class ExportButton : public ChunkyButton
{
public:
    ExportButton() : ChunkyButton(QStringLiteral("Export CSV\u2026"), Theme::card, Theme::ink, true)
    {
        // Measured by the button itself, with the texts it will show.
        const QString shown = text();
        int widest = ChunkyButton::sizeHint().width();
        for (int percent = 0; percent <= 100; ++percent) {
            setText(progressText(percent));
            widest = qMax(widest, ChunkyButton::sizeHint().width());
        }
        setText(shown);
        m_width = widest;
    }

    QSize sizeHint() const override { return {m_width, ChunkyButton::sizeHint().height()}; }

private:
    int m_width = 0;
};

} // namespace

SettingsDataCard::SettingsDataCard(AppModel &model, ChooseFile chooseFile, QWidget *parent)
    : SettingsPanel(QStringLiteral("Data"), parent), m_model(model), m_chooseFile(std::move(chooseFile)),
      m_export(new ExportButton),
      m_addDemo(new ChunkyButton(QStringLiteral("Add demo data"), Theme::card, Theme::ink, true)),
      m_removeDemo(new ChunkyButton(QStringLiteral("Remove demo data"), Theme::card, Theme::ink, true)),
      m_erase(new ChunkyButton(QStringLiteral("Erase everything\u2026"), Theme::card, Theme::red, true)),
      m_problem(problemNote())
{
    auto *row = new WrapRow(10);
    row->addWidget(m_export);
    row->addWidget(m_addDemo);
    row->addWidget(m_removeDemo);
    add(row);
    add(m_problem);
    add(m_erase);
    layout()->setAlignment(m_erase, Qt::AlignLeft);
    add(note(
        QStringLiteral("Automation: open grumblix://log?trigger=build&note=hi from a launcher, a script, "
                       "a Stream Deck or a suspicious ESP32 button.")));

    connect(m_export, &QAbstractButton::clicked, this, &SettingsDataCard::exportCsv);
    connect(m_addDemo, &QAbstractButton::clicked, this, [this] { m_model.addDemoData(); });
    connect(m_removeDemo, &QAbstractButton::clicked, this, [this] { m_model.removeDemoData(); });
    connect(m_erase, &QAbstractButton::clicked, this, &SettingsDataCard::confirmErase);

    // An export started on an earlier visit of the page: its progress, or how it ended.
    if (CsvExport *job = m_model.csvExport()) {
        if (job->isRunning())
            follow(job);
        else if (job->isFinished())
            exportEnded(job);
    }
}

QString SettingsDataCard::suggestedPath(const QDateTime &now)
{
    QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        folder = QDir::homePath();
    return QDir(folder).filePath(Csv::suggestedFileName(now));
}

void SettingsDataCard::exportCsv()
{
    if (isExporting())
        return;
    const QString suggested = suggestedPath(m_model.now().toTimeZone(m_model.timeZone()));
    const QString path =
        m_chooseFile
            ? m_chooseFile(window(), suggested)
            : SaveDialog::ask(window(), QStringLiteral("Export CSV"), suggested,
                              {QStringLiteral("CSV files (*.csv)"), QStringLiteral("All files (*)")});
    if (path.isEmpty() || isExporting())
        return;
    CsvExport *job = m_model.startCsvExport(path);
    m_problem->hide();
    follow(job);
}

bool SettingsDataCard::isExporting() const
{
    const CsvExport *job = m_model.csvExport();
    return job && job->isRunning();
}

void SettingsDataCard::follow(CsvExport *job)
{
    connect(job, &CsvExport::percentChanged, this, &SettingsDataCard::showProgress);
    connect(job, &CsvExport::finished, this, [this, job] { exportEnded(job); });
    m_export->setEnabled(false);
    showProgress(job->percent());
}

void SettingsDataCard::showProgress(int percent)
{
    m_export->setText(progressText(percent));
}

void SettingsDataCard::exportEnded(CsvExport *job)
{
    m_export->setText(QStringLiteral("Export CSV\u2026"));
    m_export->setEnabled(true);
    if (job->succeeded() || job->wasCancelled()) {
        m_problem->hide();
    } else {
        m_problem->setText(SettingsText::exportFailed(QFileInfo(job->path()).fileName(), job->errorString()));
        m_problem->show();
    }
    m_model.forgetCsvExport();
}

void SettingsDataCard::confirmErase()
{
    OverlayCenter *overlay = OverlayCenter::of(this);
    if (!overlay)
        return;
    overlay->setPopup(std::nullopt);
    AppModel *model = &m_model;
    overlay->setDialog(OverlayCenter::Dialog{SettingsText::eraseTitle(m_model.allEvents().size()),
                                             QStringLiteral("A clean slate. This can't be undone."),
                                             QStringLiteral("Erase everything"), true,
                                             [model] { model->eraseEverything(); }});
    overlay->watchEscape();
}
