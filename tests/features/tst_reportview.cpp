#include "app/AppModel.h"
#include "app/AppNotifications.h"
#include "features/dashboard/DashboardView.h"
#include "features/report/ReportCard.h"
#include "features/report/ReportFieldNotes.h"
#include "features/report/ReportFiles.h"
#include "features/report/ReportPreview.h"
#include "features/report/ReportThemeChip.h"
#include "features/report/ReportView.h"
#include "models/Prefs.h"
#include "models/Store.h"
#include "services/NotificationService.h"
#include "support/FakeNotifier.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "support/WriteStandIns.h"
#include "ui/ChunkyButton.h"
#include "ui/OverlayCenter.h"
#include "ui/Paint.h"
#include "ui/SpringAnimator.h"
#include "ui/ThemedLabel.h"

#include <QClipboard>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

using namespace TestSupport;

// The report page offscreen over a real store: week steps, themes, the live report, and every way
// the image leaves the page.
class TestReportView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void weekButtons();
    void opensWeeksBack_data();
    void opensWeeksBack();
    void themeChipsAndStoredTheme();
    void chipTitlesShrinkBeforeTheyAreCut();
    void chipLooks_data();
    void chipLooks();
    void logWhileOpenUpdatesEverything();
    void copiedLastsPerClick();
    void postCopiesOpensAndHints_data();
    void postCopiesOpensAndHints();
    void exportWritesTheChosenFile();
    void exportFailureIsSaidAndKeepsTheOldFile();
    void exportToAFullDiskSaysTheSystemsReason();
    void showInFileManagerWritesPrivately();
    void shareMenuInTheDashboard();
    void otherPlacesOpenThePage();
    void fieldNoteOfAMegabyteNameShowsItsStart();

private:
    std::unique_ptr<ReportView> page();
    // The page's pending resets named `name`, soonest first.
    static QList<QTimer *> resets(QObject *page, const QString &name);
    // Lets one reset run now.
    static void fire(QTimer *timer);

    // Wednesday 9 December 2026: this week starts on 7 December.
    std::unique_ptr<ModelFixture> m_fixture;
    AppModel *m_model = nullptr;
    Prefs *m_prefs = nullptr;
    QList<QUrl> m_opened;
    QStringList m_asked;
    QString m_answer;
};

void TestReportView::initTestCase()
{
    TestSupport::isolateFolders();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    SpringAnimator::setAnimationsEnabled(false);
}

void TestReportView::init()
{
    m_fixture = std::make_unique<ModelFixture>();
    m_model = m_fixture->model.get();
    m_prefs = m_fixture->prefs.get();
    m_opened.clear();
    m_asked.clear();
    m_answer.clear();
}

void TestReportView::cleanup()
{
    m_fixture.reset();
}

std::unique_ptr<ReportView> TestReportView::page()
{
    auto view = std::make_unique<ReportView>(*m_model);
    view->setUrlOpener([this](const QUrl &url) {
        m_opened << url;
        return true;
    });
    view->setSavePathAsker([this](QWidget *, const QString &suggested) {
        m_asked << suggested;
        return m_answer;
    });
    view->resize(1100, 800);
    view->show();
    return view;
}

QList<QTimer *> TestReportView::resets(QObject *page, const QString &name)
{
    QList<QTimer *> timers;
    for (QTimer *t : page->findChildren<QTimer *>(name))
        if (t->isActive())
            timers << t;
    std::sort(timers.begin(), timers.end(),
              [](QTimer *a, QTimer *b) { return a->remainingTime() < b->remainingTime(); });
    return timers;
}

void TestReportView::fire(QTimer *timer)
{
    // Restarting with no interval makes it run on the next turn of the event loop.
    // A reset removes its timer once it has run.
    QPointer<QTimer> guard(timer);
    timer->setInterval(0);
    QTRY_VERIFY(!guard || !guard->isActive());
}

void TestReportView::weekButtons()
{
    auto view = page();
    QCOMPARE(view->weekOffset(), 0);
    QCOMPARE(view->weekLabel(), QStringLiteral("This week"));
    QVERIFY(!view->nextButton()->isEnabled());
    QTest::mouseClick(view->nextButton(), Qt::LeftButton);
    QCOMPARE(view->weekOffset(), 0);

    QTest::mouseClick(view->previousButton(), Qt::LeftButton);
    QCOMPARE(view->weekLabel(), QStringLiteral("Last week"));
    QVERIFY(view->nextButton()->isEnabled());
    QCOMPARE(view->report().interval.start, QDateTime(QDate(2026, 11, 30), QTime(0, 0), m_fixture->zone));

    QTest::mouseClick(view->previousButton(), Qt::LeftButton);
    QCOMPARE(view->weekLabel(), QStringLiteral("NOV 23 \u2013 NOV 29"));
    // The preview shows the same week as the label.
    QCOMPARE(view->preview()->card()->report().interval, view->report().interval);

    // However far back, the previous button keeps working.
    for (int i = 0; i < 60; ++i)
        QTest::mouseClick(view->previousButton(), Qt::LeftButton);
    QCOMPARE(view->weekOffset(), -62);
    QVERIFY(view->previousButton()->isEnabled());

    for (int i = 0; i < 62; ++i)
        QTest::mouseClick(view->nextButton(), Qt::LeftButton);
    QCOMPARE(view->weekOffset(), 0);
    QCOMPARE(view->weekLabel(), QStringLiteral("This week"));
    QVERIFY(!view->nextButton()->isEnabled());
}

void TestReportView::opensWeeksBack_data()
{
    QTest::addColumn<QVariant>("stored");
    QTest::addColumn<int>("offset");
    QTest::addColumn<QString>("label");
    QTest::newRow("three back") << QVariant(3) << -3 << QStringLiteral("NOV 16 \u2013 NOV 22");
    QTest::newRow("negative") << QVariant(-2) << 0 << QStringLiteral("This week");
    QTest::newRow("not a number") << QVariant(QStringLiteral("lots")) << 0 << QStringLiteral("This week");
    QTest::newRow("absurd") << QVariant(2'000'000'000) << -52'000 << QString();
}

void TestReportView::opensWeeksBack()
{
    QFETCH(QVariant, stored);
    QFETCH(int, offset);
    QFETCH(QString, label);
    m_prefs->setValue(PrefKey::reportWeeksBack, stored);
    auto view = page();
    QCOMPARE(view->weekOffset(), offset);
    QVERIFY(view->report().interval.start.isValid());
    if (!label.isEmpty())
        QCOMPARE(view->weekLabel(), label);
    else
        QVERIFY(view->weekLabel().contains(QStringLiteral(" \u2013 ")));
    // Stepping from there still works and the page never writes the key.
    QTest::mouseClick(view->previousButton(), Qt::LeftButton);
    QVERIFY(view->report().interval.start.isValid());
    QCOMPARE(m_prefs->value(PrefKey::reportWeeksBack), stored);
}

void TestReportView::themeChipsAndStoredTheme()
{
    m_prefs->setReportTheme(QStringLiteral("vaporwave"));
    auto view = page();
    QCOMPARE(view->theme(), ReportTheme::midnight);
    QCOMPARE(view->chips().size(), 8);
    auto selected = [&] {
        QStringList names;
        for (ReportThemeChip *chip : view->chips())
            if (chip->isSelected())
                names << chip->objectName();
        return names;
    };
    QCOMPARE(selected(), QStringList{QStringLiteral("midnight")});
    // Showing the fallback does not rewrite what is stored.
    QCOMPARE(m_prefs->reportTheme(), std::optional<QString>(QStringLiteral("vaporwave")));

    // Two rows of four, in the themes' order.
    const QList<ReportThemeChip *> &chips = view->chips();
    QCOMPARE(chips[0]->y(), chips[3]->y());
    QVERIFY(chips[4]->y() > chips[3]->y());
    QCOMPARE(chips[4]->x(), chips[0]->x());
    QCOMPARE(chips[7]->text(), QStringLiteral("Incident Form"));

    QTest::mouseClick(chips[3], Qt::LeftButton);
    QCOMPARE(view->theme(), ReportTheme::receipt);
    QCOMPARE(selected(), QStringList{QStringLiteral("receipt")});
    QCOMPARE(m_prefs->reportTheme(), std::optional<QString>(QStringLiteral("receipt")));
    QCOMPARE(view->preview()->card()->theme(), ReportTheme::receipt);
    QCOMPARE(view->card().theme(), ReportTheme::receipt);

    // The choice outlives the page.
    view.reset();
    auto again = page();
    QCOMPARE(again->theme(), ReportTheme::receipt);
    QCOMPARE(again->preview()->card()->theme(), ReportTheme::receipt);
}

void TestReportView::chipTitlesShrinkBeforeTheyAreCut()
{
    auto view = page();
    ReportThemeChip *incident = view->chips()[7];
    const qreal natural = incident->sizeHint().width();
    QCOMPARE(incident->titleSize(natural + 20), ReportThemeChip::kFontSize);
    const qreal squeezed = incident->titleSize(natural * 0.85);
    QVERIFY(squeezed < ReportThemeChip::kFontSize);
    QVERIFY(squeezed > ReportThemeChip::kFontSize * ReportThemeChip::kMinimumScale);
    QCOMPARE(incident->titleSize(20), ReportThemeChip::kFontSize * ReportThemeChip::kMinimumScale);
    // In a narrow page every chip stays one 30-high line.
    view->resize(900, 700);
    QTRY_COMPARE(incident->height(), ReportThemeChip::kHeight);
}

void TestReportView::chipLooks_data()
{
    QTest::addColumn<bool>("selected");
    QTest::addColumn<bool>("hovered");
    QTest::addColumn<QColor>("fill");
    QTest::addColumn<qreal>("borderOpacity");
    QTest::newRow("plain") << false << false << QColor(Theme::card) << 0.5;
    QTest::newRow("hovered") << false << true << QColor(Theme::well) << 1.0;
    QTest::newRow("selected") << true << false << QColor(Theme::ink) << 1.0;
    QTest::newRow("selected and hovered") << true << true << QColor(Theme::ink) << 1.0;
}

void TestReportView::chipLooks()
{
    QFETCH(bool, selected);
    QFETCH(bool, hovered);
    QFETCH(QColor, fill);
    QFETCH(qreal, borderOpacity);
    QWidget window;
    window.resize(200, 60);
    auto *chip = new ReportThemeChip(ReportTheme::paper, &window);
    chip->setGeometry(10, 10, 90, ReportThemeChip::kHeight);
    chip->setSelected(selected);
    window.show();
    if (hovered) {
        QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15));
        QApplication::sendEvent(chip, &enter);
        QVERIFY(chip->isHovering());
    }
    QImage image(chip->size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    chip->render(&image);
    // Inside the border, away from the title.
    QCOMPARE(image.pixelColor(4, chip->height() / 2).rgb(), fill.rgb());
    // On the 1.2 border of the left edge, over white.
    const QColor border = Paint::mix(Qt::white, QColor(Theme::stroke), borderOpacity);
    const QColor edge = image.pixelColor(0, chip->height() / 2);
    QVERIFY2(qAbs(edge.red() - border.red()) < 40, qPrintable(edge.name()));
}

void TestReportView::logWhileOpenUpdatesEverything()
{
    auto view = page();
    QCOMPARE(view->report().total, 0);
    QCOMPARE(view->preview()->card()->report().total, 0);
    // An empty week has its own notes ("Suspicious.").
    QCOMPARE(view->fieldNotes()->isHidden(), view->report().observations.isEmpty());
    QCOMPARE(view->fieldNotes()->lines(), view->report().observations);
    const QStringList quiet = view->report().observations;

    for (int i = 0; i < 12; ++i)
        m_model->log(EventSource::menuBar);
    QTRY_COMPARE(view->report().total, 12);
    // One report for everything on the page.
    QCOMPARE(view->preview()->card()->report().total, 12);
    QCOMPARE(view->card().report().total, 12);
    QVERIFY(view->report().observations != quiet);
    QCOMPARE(view->fieldNotes()->isHidden(), view->report().observations.isEmpty());
    QCOMPARE(view->fieldNotes()->lines(), view->report().observations);

    // A log from an earlier week changes that week only.
    QTest::mouseClick(view->previousButton(), Qt::LeftButton);
    QCOMPARE(view->report().total, 0);
    m_fixture->seed(QDateTime(QDate(2026, 12, 1), QTime(10, 0), m_fixture->zone));
    QTRY_COMPARE(view->report().total, 1);
    QCOMPARE(view->weekLabel(), QStringLiteral("Last week"));
}

void TestReportView::copiedLastsPerClick()
{
    auto view = page();
    QGuiApplication::clipboard()->setText(QStringLiteral("old"));
    QCOMPARE(view->copyButton()->text(), QStringLiteral("Copy image"));

    QTest::mouseClick(view->copyButton(), Qt::LeftButton);
    QVERIFY(view->isCopied());
    QCOMPARE(view->copyButton()->text(), QStringLiteral("Copied!"));
    QCOMPARE(view->copyButton()->symbol(), QStringLiteral("checkmark"));
    const QMimeData *data = QGuiApplication::clipboard()->mimeData();
    QVERIFY(data && data->hasImage());
    QCOMPARE(qvariant_cast<QImage>(data->imageData()).size(), view->image().size());
    QVERIFY(data->data(QStringLiteral("image/png")).startsWith("\x89PNG"));

    QList<QTimer *> pending = resets(view.get(), QStringLiteral("copiedReset"));
    QCOMPARE(pending.size(), 1);
    QCOMPARE(pending[0]->interval(), 1500);

    // A second click schedules its own reset; the first is not cancelled, so the label returns
    // when the first one runs out.
    QTest::mouseClick(view->copyButton(), Qt::LeftButton);
    pending = resets(view.get(), QStringLiteral("copiedReset"));
    QCOMPARE(pending.size(), 2);
    fire(pending[0]);
    QVERIFY(!view->isCopied());
    QCOMPARE(view->copyButton()->text(), QStringLiteral("Copy image"));
    QCOMPARE(view->copyButton()->symbol(), QStringLiteral("doc.on.doc"));
    QVERIFY(pending[1]->isActive());
    fire(pending[1]);
    QVERIFY(!view->isCopied());
}

void TestReportView::postCopiesOpensAndHints_data()
{
    QTest::addColumn<bool>("linkedIn");
    QTest::newRow("X") << false;
    QTest::newRow("LinkedIn") << true;
}

void TestReportView::postCopiesOpensAndHints()
{
    QFETCH(bool, linkedIn);
    auto view = page();
    QGuiApplication::clipboard()->setText(QStringLiteral("old"));
    bool imageFirst = false;
    view->setUrlOpener([&](const QUrl &url) {
        imageFirst = QGuiApplication::clipboard()->mimeData()->hasImage();
        m_opened << url;
        return false; // a browser that did not start changes nothing
    });
    QVERIFY(!view->isPasteHintShown());
    QTest::mouseClick(linkedIn ? view->linkedInButton() : view->xButton(), Qt::LeftButton);

    const auto network = linkedIn ? ReportShareLinks::Network::linkedIn : ReportShareLinks::Network::x;
    QCOMPARE(m_opened, QList<QUrl>{ReportShareLinks::postUrl(network)});
    QVERIFY(imageFirst);
    QVERIFY(view->isPasteHintShown());
    auto *hint = view->findChild<ThemedLabel *>(QStringLiteral("pasteHint"));
    QVERIFY(hint);
    QTRY_VERIFY(hint->isVisibleTo(view.get()));
    QCOMPARE(hint->text(), QStringLiteral("Image copied. Paste it into the post with Ctrl+V."));
    QList<QTimer *> pending = resets(view.get(), QStringLiteral("pasteHintReset"));
    QCOMPARE(pending.size(), 1);
    QCOMPARE(pending[0]->interval(), 6000);
    fire(pending[0]);
    QVERIFY(!view->isPasteHintShown());
    QTRY_VERIFY(!hint->isVisibleTo(view.get()));
}

void TestReportView::exportWritesTheChosenFile()
{
    auto view = page();
    QTest::mouseClick(view->previousButton(), Qt::LeftButton);
    const QString target = m_fixture->dir.filePath(QStringLiteral("exported.png"));

    // Cancelled: nothing written, nothing shown.
    m_answer.clear();
    QTest::mouseClick(view->exportButton(), Qt::LeftButton);
    QCOMPARE(m_asked.size(), 1);
    QCOMPARE(QFileInfo(m_asked[0]).fileName(), QStringLiteral("grumblix-week-2026-11-30.png"));
    QVERIFY(!QFile::exists(target));
    QVERIFY(view->problem().isEmpty());
    QVERIFY(!view->isCopied());

    m_answer = target;
    QTest::mouseClick(view->exportButton(), Qt::LeftButton);
    QImage written;
    QVERIFY(written.load(target, "PNG"));
    const QSizeF card = view->card().size();
    QCOMPARE(written.width(), qCeil(2 * (card.width() + 48)));
    QVERIFY(view->problem().isEmpty());
}

void TestReportView::exportFailureIsSaidAndKeepsTheOldFile()
{
    auto view = page();
    // A folder that is a file cannot take the image, not even for root.
    const QString blocker = m_fixture->dir.filePath(QStringLiteral("pictures"));
    QFile file(blocker);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write("old");
    file.close();
    m_answer = blocker + QStringLiteral("/week.png");
    QTest::mouseClick(view->exportButton(), Qt::LeftButton);
    QVERIFY(view->problem().startsWith(QStringLiteral("Could not save")));
    QVERIFY(view->findChild<QWidget *>(QStringLiteral("problem"))->isVisibleTo(view.get()));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("old"));
    file.close();

    // The next action that works clears the message.
    m_answer = m_fixture->dir.filePath(QStringLiteral("fine.png"));
    QTest::mouseClick(view->exportButton(), Qt::LeftButton);
    QVERIFY(view->problem().isEmpty());
    QVERIFY(QFile::exists(m_answer));
}

void TestReportView::exportToAFullDiskSaysTheSystemsReason()
{
    auto view = page();
    FullFolder disk;
    QVERIFY(disk.isReady());
    QVERIFY(disk.place(QStringLiteral("week.png"), "old"));
    // Room for the start of the image only.
    QVERIFY(disk.fill(4096));
    m_answer = disk.filePath(QStringLiteral("week.png"));
    QTest::mouseClick(view->exportButton(), Qt::LeftButton);
    QCOMPARE(view->problem(), QStringLiteral("Could not save week.png: No space left on device. Nothing was "
                                             "changed; pick another folder."));
    QFile file(m_answer);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), QByteArray("old"));
    QCOMPARE(disk.entries(), QStringList{QStringLiteral("week.png")});
}

void TestReportView::showInFileManagerWritesPrivately()
{
    auto view = page();
    view->showInFileManager();
    QCOMPARE(m_opened.size(), 1);
    QVERIFY(m_opened[0].isLocalFile());
    const QDir folder(m_opened[0].toLocalFile());
    const QString png = folder.filePath(QStringLiteral("grumblix-week-2026-12-07.png"));
    QImage image;
    QVERIFY(image.load(png, "PNG"));
    QCOMPARE(image.size(), view->image().size());
    QCOMPARE(QFileInfo(folder.path()).permissions() &
                 (QFile::ReadOther | QFile::WriteOther | QFile::ReadGroup),
             QFile::Permissions());
    QCOMPARE(folder.path(), ReportFiles::shareFolder());
}

void TestReportView::shareMenuInTheDashboard()
{
    m_model->setDashboardTab(DashboardTab::report);
    DashboardView dashboard(*m_model);
    dashboard.setPermissionRequest([] {});
    dashboard.resize(1200, 800);
    dashboard.show();
    auto *view = qobject_cast<ReportView *>(dashboard.page());
    QVERIFY(view);
    view->setUrlOpener([this](const QUrl &url) {
        m_opened << url;
        return true;
    });
    OverlayCenter *center = OverlayCenter::of(view);
    QVERIFY(center);

    // The menu's entries, opened afresh.
    auto openMenu = [&] {
        QTest::mouseClick(view->shareButton(), Qt::LeftButton);
        return center->popup() ? center->popup()->content->findChildren<QAbstractButton *>()
                               : QList<QAbstractButton *>();
    };
    QList<QAbstractButton *> entries = openMenu();
    QStringList texts;
    for (QAbstractButton *b : entries)
        texts << b->text();
    QCOMPARE(texts, (QStringList{QStringLiteral("Copy image"), QStringLiteral("Save PNG…"),
                                 QStringLiteral("Show in file manager")}));

    QGuiApplication::clipboard()->setText(QStringLiteral("old"));
    QTest::mouseClick(entries[0], Qt::LeftButton);
    QTRY_VERIFY(!center->popup());
    QVERIFY(QGuiApplication::clipboard()->mimeData()->hasImage());
    QVERIFY(view->isCopied());

    entries = openMenu();
    QCOMPARE(entries.size(), 3);
    QTest::mouseClick(entries[2], Qt::LeftButton);
    QTRY_VERIFY(!center->popup());
    QCOMPARE(m_opened.size(), 1);
    QVERIFY(QFile::exists(
        QDir(m_opened[0].toLocalFile()).filePath(QStringLiteral("grumblix-week-2026-12-07.png"))));
}

void TestReportView::otherPlacesOpenThePage()
{
    DashboardView dashboard(*m_model);
    dashboard.setPermissionRequest([] {});
    dashboard.resize(1200, 800);
    dashboard.show();
    QVERIFY(!qobject_cast<ReportView *>(dashboard.page()));

    // The tray menu's link and a grumblix://report URL.
    m_model->handle(QStringLiteral("grumblix://report"));
    QVERIFY(qobject_cast<ReportView *>(dashboard.page()));
    m_model->setDashboardTab(DashboardTab::overview);
    QVERIFY(!qobject_cast<ReportView *>(dashboard.page()));

    // The weekly notice's click.
    FakeNotifier notifier;
    NotificationService service(notifier, *m_prefs);
    AppNotifications notices(*m_model, service);
    notices.openDashboard(QStringLiteral("report"));
    QVERIFY(qobject_cast<ReportView *>(dashboard.page()));
}

void TestReportView::fieldNoteOfAMegabyteNameShowsItsStart()
{
    // A trigger name from a hand-edited store, as the week's first observation names it.
    const QString line = QString(1 << 20, u'W') + QStringLiteral("s accounted for 100% of the chaos.");
    ReportFieldNotes notes;
    notes.setLines({line, QStringLiteral("Short one.")});
    notes.resize(420, notes.heightForWidth(420));
    notes.show();
    QCOMPARE(notes.lines().first(), line); // what the page was given stays whole
    QStringList shown;
    for (const ThemedLabel *label : notes.findChildren<ThemedLabel *>())
        shown << label->text();
    QVERIFY(shown.contains(QStringLiteral("Short one.")));
    for (const QString &text : shown)
        QVERIFY(text.size() <= 1001);
    QVERIFY(shown.contains(QString(1000, u'W') + QChar(0x2026)));
    QVERIFY(!notes.grab().isNull());
}

QTEST_MAIN(TestReportView)
#include "tst_reportview.moc"
