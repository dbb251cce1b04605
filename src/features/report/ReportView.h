#pragma once

#include "features/report/ReportShareLinks.h"
#include "features/report/ReportTheme.h"
#include "services/WeeklyReport.h"

#include <QImage>
#include <QUrl>
#include <QWidget>
#include <functional>

class AppModel;
class ChunkyButton;
class PageHeader;
class QBoxLayout;
class QScrollArea;
class QTimer;
class ReportCard;
class ReportFieldNotes;
class ReportPreview;
class ReportThemeChip;
class ThemedLabel;

// The Friday Report page: one week's report card in the chosen theme, the week navigation, the theme
// chips, and the ways out for the image (copy, export, share, post). The report is built once per
// refresh and everything on the page shows that one value.
class ReportView : public QWidget
{
    Q_OBJECT
public:
    explicit ReportView(AppModel &model, QWidget *parent = nullptr);

    // Platform steps, replaceable for tests. The save asker gets the suggested path and answers the
    // chosen one, or nothing when the user cancelled; the opener hands a URL (a web page or a
    // folder) to the desktop.
    using SavePathAsker = std::function<QString(QWidget *parent, const QString &suggested)>;
    using UrlOpener = std::function<bool(const QUrl &url)>;
    void setSavePathAsker(SavePathAsker ask) { m_askSavePath = std::move(ask); }
    void setUrlOpener(UrlOpener open) { m_openUrl = std::move(open); }

    int weekOffset() const { return m_weekOffset; }
    void stepBack();
    void stepForward();
    ReportTheme theme() const { return m_theme; }
    // The chip's action: stores the theme, which the page then shows.
    void pickTheme(ReportTheme theme);
    const WeeklyReport &report() const { return m_report; }
    // The shown report in the shown theme, as the preview draws it.
    ReportCard card() const;
    // The shareable image of the shown card.
    QImage image() const;

    // The actions.
    void copyImage();
    void exportPng();
    void post(ReportShareLinks::Network network);
    // Writes the image to the private share folder and opens that folder in the file manager.
    void showInFileManager();
    void openShareMenu();

    bool isCopied() const { return m_copied; }
    bool isPasteHintShown() const;
    // The last failure said to the user, empty when the last action went well.
    QString problem() const;

    // Rebuilds the report from the store and shows it.
    void refresh();

    // Parts, for tests and screenshots.
    PageHeader *header() const { return m_header; }
    ChunkyButton *previousButton() const { return m_previous; }
    ChunkyButton *nextButton() const { return m_next; }
    QString weekLabel() const;
    ReportPreview *preview() const { return m_preview; }
    const QList<ReportThemeChip *> &chips() const { return m_chips; }
    ChunkyButton *exportButton() const { return m_export; }
    ChunkyButton *copyButton() const { return m_copy; }
    ChunkyButton *shareButton() const { return m_share; }
    ChunkyButton *xButton() const { return m_postX; }
    ChunkyButton *linkedInButton() const { return m_postLinkedIn; }
    ReportFieldNotes *fieldNotes() const { return m_notes; }
    // Whether the column sits under the card (a narrow page) rather than beside it.
    bool isStacked() const;

    // The smallest the on-screen card is drawn beside the column before the column goes under it.
    static constexpr qreal minimumPreviewScale = 0.5;
    static constexpr int kCopiedMs = 1500;
    static constexpr int kPasteHintMs = 6000;

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    QWidget *buildNavigation();
    // Card and column side by side, or the column under the card when the page is too narrow.
    void arrangeBody();
    QWidget *buildRightColumn();
    QWidget *buildActions();
    void applyTheme(bool animate);
    void setCopied(bool copied);
    void setPasteHint(bool shown);
    void showProblem(const QString &message);
    // A single-shot reset owned by the page; each call makes its own, none cancels another.
    void later(int ms, const char *name, std::function<void()> reset);

    AppModel &m_model;
    int m_weekOffset;
    ReportTheme m_theme;
    WeeklyReport m_report;
    bool m_copied = false;
    bool m_pasteHintShown = false;
    SavePathAsker m_askSavePath;
    UrlOpener m_openUrl;

    QScrollArea *m_scroll = nullptr;
    QBoxLayout *m_body = nullptr;
    QWidget *m_right = nullptr;
    bool m_arranged = false;
    PageHeader *m_header = nullptr;
    ChunkyButton *m_previous = nullptr;
    ChunkyButton *m_next = nullptr;
    ThemedLabel *m_weekLabel = nullptr;
    ReportPreview *m_preview = nullptr;
    QList<ReportThemeChip *> m_chips;
    ChunkyButton *m_export = nullptr;
    ChunkyButton *m_copy = nullptr;
    ChunkyButton *m_share = nullptr;
    ChunkyButton *m_postX = nullptr;
    ChunkyButton *m_postLinkedIn = nullptr;
    ThemedLabel *m_pasteHint = nullptr;
    ThemedLabel *m_problem = nullptr;
    ReportFieldNotes *m_notes = nullptr;
    QTimer *m_refreshTimer = nullptr;
};
