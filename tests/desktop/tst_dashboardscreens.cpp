#include "app/AppModel.h"
#include "features/achievements/AchievementsView.h"
#include "features/dashboard/DashboardView.h"
#include "features/overview/OverviewView.h"
#include "models/Prefs.h"
#include "support/FakeAppServices.h"
#include "support/TestSupport.h"
#include "ui/Theme.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

using namespace TestSupport;

// The dashboard with a demo week in a real X server, in light and dark: saved as PNGs under
// the build folder (screens/) for a look, and probed where the drawing must show a given colour.
class TestDashboardScreens : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void pages_data();
    void pages();
    void firstRunCard();

private:
    QImage render(DashboardView &view, int height = 800);
    QString m_out;
    QTimeZone m_zone{QByteArrayLiteral("Europe/Berlin")};
    QDateTime m_now;
    std::unique_ptr<QTemporaryDir> m_dir;
    std::unique_ptr<Prefs> m_prefs;
    std::unique_ptr<AppModel> m_model;
    FakeServices m_fakes;
};

void TestDashboardScreens::initTestCase()
{
    TestSupport::isolateFolders();
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    m_out = QStringLiteral(GRUMBLIX_BINARY_DIR "/screens");
    QDir().mkpath(m_out);
    m_dir = std::make_unique<QTemporaryDir>();
    m_prefs = std::make_unique<Prefs>(m_dir->filePath(QStringLiteral("Grumblix.conf")));
    m_prefs->setValue(PrefKey::hasOnboarded, true);
    m_now = QDateTime(QDate(2025, 3, 5), QTime(15, 0), m_zone);
    m_model = std::make_unique<AppModel>(m_dir->filePath(QStringLiteral("Grumblix.store")), *m_prefs);
    QVERIFY(m_model->isValid());
    m_model->setClock([this] { return m_now; });
    m_model->setTimeZone(m_zone);
    m_fakes.install(*m_model);
    m_model->bootstrap({QStringLiteral("grumblix")});
    m_model->addDemoData();
}

void TestDashboardScreens::cleanupTestCase()
{
    m_model.reset();
    m_prefs.reset();
}

QImage TestDashboardScreens::render(DashboardView &view, int height)
{
    view.resize(1280, height);
    view.show();
    QTest::qWait(1200); // the coalesced refresh, the first layout and the counters' roll
    return view.grab().toImage();
}

void TestDashboardScreens::pages_data()
{
    QTest::addColumn<int>("tab");
    QTest::addColumn<bool>("dark");
    QTest::addColumn<int>("height");
    for (const bool dark : {false, true}) {
        const char *scheme = dark ? "dark" : "light";
        QTest::addRow("overview %s", scheme) << int(DashboardTab::overview) << dark << 800;
        QTest::addRow("overview-full %s", scheme) << int(DashboardTab::overview) << dark << 1500;
        QTest::addRow("achievements %s", scheme) << int(DashboardTab::achievements) << dark << 800;
        QTest::addRow("history %s", scheme) << int(DashboardTab::history) << dark << 800;
    }
}

void TestDashboardScreens::pages()
{
    QFETCH(int, tab);
    QFETCH(bool, dark);
    QFETCH(int, height);
    Theme::ScopedScheme scheme(dark ? ColorScheme::Dark : ColorScheme::Light);
    m_model->setDashboardTab(DashboardTab(tab));
    DashboardView view(*m_model);
    const QImage image = render(view, height);
    const QString name = rawValue(DashboardTab(tab)) + (height > 800 ? QStringLiteral("-full") : QString()) +
                         (dark ? QStringLiteral("-dark") : QStringLiteral("-light"));
    QVERIFY(image.save(m_out + QLatin1Char('/') + name + QStringLiteral(".png")));

    // The sidebar is card-coloured, the page paper-coloured.
    QCOMPARE(image.pixelColor(6, image.height() / 2).rgb(), QColor(Theme::card.resolve()).rgb());
    QCOMPARE(image.pixelColor(image.width() - 20, 20).rgb(), QColor(Theme::paper.resolve()).rgb());
    if (DashboardTab(tab) == DashboardTab::overview) {
        // The "Today" counter tile is red in both schemes.
        auto *overview = qobject_cast<OverviewView *>(view.page());
        QVERIFY(overview);
        QVERIFY(overview->tileValues().at(2) > 0);
    }
}

void TestDashboardScreens::firstRunCard()
{
    m_prefs->setValue(PrefKey::hasOnboarded, false);
    for (const bool dark : {false, true}) {
        Theme::ScopedScheme scheme(dark ? ColorScheme::Dark : ColorScheme::Light);
        DashboardView view(*m_model);
        view.setPermissionRequest([] {});
        const QImage image = render(view);
        QVERIFY(image.save(
            m_out + (dark ? QStringLiteral("/firstrun-dark.png") : QStringLiteral("/firstrun-light.png"))));
        // Dimmed: the sidebar's corner is darker than the card colour.
        QVERIFY(image.pixelColor(6, 6).lightness() < QColor(Theme::card.resolve()).lightness());
    }
    m_prefs->setValue(PrefKey::hasOnboarded, true);
}

QTEST_MAIN(TestDashboardScreens)
#include "tst_dashboardscreens.moc"
