#include "app/AppModel.h"
#include "features/dashboard/DashboardView.h"
#include "features/report/ReportPreview.h"
#include "features/report/ReportThemeChip.h"
#include "features/report/ReportView.h"
#include "models/Prefs.h"
#include "support/FakeAppServices.h"
#include "support/TestSupport.h"
#include "ui/ChunkyButton.h"
#include "ui/OverlayCenter.h"
#include "ui/SpringAnimator.h"
#include "ui/Theme.h"

#include <QDir>
#include <QScrollArea>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestSupport;

// The report page of the dashboard with demo data in a real X server, in light and dark, at the
// window's minimum size and a large one and in every theme: saved as PNGs under the build folder
// (screens/) for a look, and probed where the layout must hold.
class TestReportScreens : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void page_data();
    void page();
    void shareMenuAndHint();

private:
    QString m_out;
    QTimeZone m_zone{QByteArrayLiteral("Europe/Berlin")};
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Prefs> m_prefs;
    std::unique_ptr<AppModel> m_model;
    FakeServices m_fakes;
};

void TestReportScreens::initTestCase()
{
    TestSupport::isolateFolders();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    SpringAnimator::setAnimationsEnabled(false);
    m_out = QStringLiteral(GRUMBLIX_BINARY_DIR "/screens");
    QDir().mkpath(m_out);
    m_dir = std::make_unique<QTemporaryDir>();
    m_prefs = std::make_unique<Prefs>(m_dir->filePath(QStringLiteral("Grumblix.conf")));
    m_prefs->setHasOnboarded(true);
    m_model = std::make_unique<AppModel>(m_dir->filePath(QStringLiteral("Grumblix.store")), *m_prefs);
    QVERIFY(m_model->isValid());
    // A Friday afternoon, so most of the week has happened.
    const QDateTime now(QDate(2025, 3, 7), QTime(16, 0), m_zone);
    m_model->setClock([now] { return now; });
    m_model->setTimeZone(m_zone);
    m_fakes.install(*m_model);
    m_model->bootstrap({QStringLiteral("grumblix")});
    m_model->addDemoData();
}

void TestReportScreens::cleanupTestCase()
{
    m_model.reset();
    m_prefs.reset();
}

void TestReportScreens::page_data()
{
    QTest::addColumn<bool>("dark");
    QTest::addColumn<QSize>("size");
    QTest::addColumn<QString>("theme");
    for (const bool dark : {false, true}) {
        const char *scheme = dark ? "dark" : "light";
        QTest::addRow("min %s", scheme) << dark << QSize(960, 660) << QStringLiteral("midnight");
        QTest::addRow("default %s", scheme) << dark << QSize(1120, 780) << QStringLiteral("midnight");
        QTest::addRow("large %s", scheme) << dark << QSize(1600, 1040) << QStringLiteral("midnight");
    }
    for (const QString &theme : {QStringLiteral("paper"), QStringLiteral("hazard"), QStringLiteral("receipt"),
                                 QStringLiteral("tabloid"), QStringLiteral("synthwave"),
                                 QStringLiteral("blueprint"), QStringLiteral("incident")})
        QTest::addRow("%s", qPrintable(theme)) << false << QSize(1280, 900) << theme;
}

void TestReportScreens::page()
{
    QFETCH(bool, dark);
    QFETCH(QSize, size);
    QFETCH(QString, theme);
    Theme::ScopedScheme scheme(dark ? ColorScheme::Dark : ColorScheme::Light);
    m_prefs->setReportTheme(theme);
    m_model->setDashboardTab(DashboardTab::report);
    DashboardView view(*m_model);
    view.setPermissionRequest([] {});
    view.resize(size);
    view.show();
    QVERIFY(QTest::qWaitForWindowExposed(&view));
    auto *report = qobject_cast<ReportView *>(view.page());
    QVERIFY(report);
    QTRY_COMPARE(report->preview()->size(), report->preview()->sizeHint());
    const QImage image = view.grab().toImage();
    const QString name = QStringLiteral("report-%1-%2x%3-%4.png")
                             .arg(theme, QString::number(size.width()), QString::number(size.height()),
                                  dark ? QStringLiteral("dark") : QStringLiteral("light"));
    QVERIFY(image.save(m_out + QLatin1Char('/') + name));
    // The whole scrolling column as well, for what lies below the fold.
    auto *scroll = report->findChild<QScrollArea *>();
    QVERIFY(scroll && scroll->widget());
    QImage column(scroll->widget()->size(), QImage::Format_ARGB32_Premultiplied);
    column.fill(QColor(Theme::paper)); // the column itself is see-through
    scroll->widget()->render(&column);
    QVERIFY(column.save(m_out + QLatin1Char('/') + QString(name).replace(".png", "-column.png")));

    // Every action is whole across the window, however narrow (the page scrolls only up and down).
    for (ChunkyButton *button : {report->exportButton(), report->copyButton(), report->shareButton(),
                                 report->xButton(), report->linkedInButton()}) {
        const QRect frame(button->mapTo(&view, QPoint(0, 0)), button->size());
        QVERIFY2(frame.left() >= 0 && frame.right() < view.width(), qPrintable(button->text()));
        QCOMPARE(button->size(), button->sizeHint());
    }
    // Beside the card at every window size, the card drawn smaller where the page is narrow; its
    // top and the chips and Export / Copy are in view without scrolling.
    QVERIFY(!report->isStacked());
    QCOMPARE(report->preview()->scale() < 1, size.width() < 1100);
    for (const QWidget *w :
         {static_cast<QWidget *>(report->exportButton()), static_cast<QWidget *>(report->copyButton()),
          static_cast<QWidget *>(report->chips().constLast())})
        QVERIFY(view.rect().contains(QRect(w->mapTo(&view, QPoint(0, 0)), w->size())));
    // The card sits at the page's left padding, like the header's title.
    const QPoint card = report->preview()->mapTo(report, report->preview()->cardRect().topLeft().toPoint());
    QCOMPARE(card.x(), 32);
    // The card floats: on light paper its shadow darkens the paper just below it, and no more than a
    // shadow would (black at a quarter barely shows on the dark paper).
    const QRectF cardRect = report->preview()->cardRect();
    const QPoint below =
        report->preview()->mapTo(&view, QPoint(int(cardRect.center().x()), int(cardRect.bottom()) + 10));
    if (!dark && view.rect().contains(below)) {
        const int paper = QColor(Theme::paper).lightness();
        const int shaded = image.pixelColor(below * image.devicePixelRatio()).lightness();
        QVERIFY2(shaded < paper - 6 && shaded > paper - 80, qPrintable(QString::number(shaded)));
    }
    // The chosen chip is filled with ink.
    for (ReportThemeChip *chip : report->chips()) {
        const QPoint probe = chip->mapTo(&view, QPoint(4, chip->height() / 2));
        if (!view.rect().contains(probe))
            continue; // scrolled out of sight on a short page
        const QColor expected = chip->isSelected() ? QColor(Theme::ink) : QColor(Theme::card);
        QCOMPARE(image.pixelColor(probe * image.devicePixelRatio()).rgb(), expected.rgb());
    }
}

void TestReportScreens::shareMenuAndHint()
{
    for (const bool dark : {false, true}) {
        Theme::ScopedScheme scheme(dark ? ColorScheme::Dark : ColorScheme::Light);
        m_model->setDashboardTab(DashboardTab::report);
        DashboardView view(*m_model);
        view.setPermissionRequest([] {});
        view.resize(1280, 800);
        view.show();
        QVERIFY(QTest::qWaitForWindowExposed(&view));
        auto *report = qobject_cast<ReportView *>(view.page());
        QVERIFY(report);
        report->setUrlOpener([](const QUrl &) { return true; });
        report->post(ReportShareLinks::Network::x);
        QTest::mouseClick(report->shareButton(), Qt::LeftButton);
        OverlayCenter *center = OverlayCenter::of(report);
        QVERIFY(center && center->popup());
        QTRY_VERIFY(center->popup()->content->isVisible());
        const QImage image = view.grab().toImage();
        QVERIFY(image.save(m_out + (dark ? QStringLiteral("/report-share-dark.png")
                                         : QStringLiteral("/report-share-light.png"))));
        // The menu opens under the button, inside the window.
        const QRect menu(center->popup()->content->mapTo(&view, QPoint(0, 0)),
                         center->popup()->content->size());
        const QRect button(report->shareButton()->mapTo(&view, QPoint(0, 0)), report->shareButton()->size());
        QVERIFY(menu.top() > button.top());
        QVERIFY(view.rect().contains(menu));
    }
}

QTEST_MAIN(TestReportScreens)
#include "tst_reportscreens.moc"
