#include "models/Prefs.h"
#include "support/TestSupport.h"
#include "ui/ButtonSkin.h"
#include "ui/ChosenSkin.h"

#include <QSet>
#include <QTemporaryDir>
#include <QtTest>

class TestButtonSkin : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void casesInOrderWithTexts();
    void effective_data();
    void effective();
    void chosenSkinFollowsPreference();
    void paletteShapeHoldsForEverySkin();
    void paletteValues();
    void hexesSplitsComponents();
};

void TestButtonSkin::initTestCase()
{
    TestSupport::isolateFolders();
}

void TestButtonSkin::casesInOrderWithTexts()
{
    const QStringList raws{"classic", "executive", "zen",    "toxic", "stealth", "arcade",
                           "beige",   "synthwave", "budget", "frost", "molten"};
    const auto &all = ButtonSkin::allCases();
    QCOMPARE(all.size(), 11);
    QSet<QString> names;
    for (int i = 0; i < all.size(); ++i) {
        QCOMPARE(all[i].rawValue(), raws[i]);
        QCOMPARE(all[i].id(), raws[i]);
        QCOMPARE(ButtonSkin::fromRawValue(raws[i]), std::optional(all[i]));
        names.insert(all[i].name());
        QVERIFY(!all[i].tagline().isEmpty());
    }
    QCOMPARE(names.size(), 11);
    QCOMPARE(ButtonSkin(ButtonSkin::classic).name(), QStringLiteral("Classic E-Stop"));
    QCOMPARE(ButtonSkin(ButtonSkin::beige).tagline(),
             QStringLiteral("Have you tried turning it off and on?"));
    QCOMPARE(ButtonSkin(ButtonSkin::molten).name(), QStringLiteral("Meltdown"));
}

void TestButtonSkin::effective_data()
{
    QTest::addColumn<QVariant>("stored"); // invalid = absent
    QTest::addColumn<int>("expected");
    QTest::newRow("absent") << QVariant() << int(ButtonSkin::classic);
    QTest::newRow("empty") << QVariant(QString()) << int(ButtonSkin::classic);
    QTest::newRow("capital C") << QVariant(QStringLiteral("Classic")) << int(ButtonSkin::classic);
    QTest::newRow("trailing blank") << QVariant(QStringLiteral("zen ")) << int(ButtonSkin::classic);
    QTest::newRow("display name") << QVariant(QStringLiteral("Meltdown")) << int(ButtonSkin::classic);
    QTest::newRow("zen") << QVariant(QStringLiteral("zen")) << int(ButtonSkin::zen);
    QTest::newRow("molten") << QVariant(QStringLiteral("molten")) << int(ButtonSkin::molten);
}

void TestButtonSkin::effective()
{
    QFETCH(QVariant, stored);
    QFETCH(int, expected);
    const std::optional<QString> raw =
        stored.isValid() ? std::optional<QString>(stored.toString()) : std::nullopt;
    QCOMPARE(int(ButtonSkin::effective(raw).value()), expected);
}

void TestButtonSkin::chosenSkinFollowsPreference()
{
    QTemporaryDir dir;
    Prefs prefs(dir.filePath(QStringLiteral("Grumblix.conf")));
    QCOMPARE(chosenSkin(prefs), ButtonSkin(ButtonSkin::classic));

    QList<int> applied;
    auto context = std::make_unique<QObject>();
    followChosenSkin(prefs, context.get(), [&applied](ButtonSkin skin) { applied << int(skin.value()); });
    QCOMPARE(applied, QList<int>{ButtonSkin::classic});
    prefs.setButtonSkin(QStringLiteral("synthwave"));
    prefs.setShowHUD(false); // another key changes nothing
    prefs.setButtonSkin(QStringLiteral("nope"));
    QCOMPARE(applied, (QList<int>{ButtonSkin::classic, ButtonSkin::synthwave, ButtonSkin::classic}));
    // Once the owner is gone nothing more is handed out.
    context.reset();
    prefs.setButtonSkin(QStringLiteral("zen"));
    QCOMPARE(applied.size(), 3);
}

void TestButtonSkin::paletteShapeHoldsForEverySkin()
{
    QSet<QRgb> caps;
    for (ButtonSkin skin : ButtonSkin::allCases()) {
        const auto p = skin.palette();
        QCOMPARE(p.skirt.size(), 5);
        QCOMPARE(p.collarSide.size(), 3);
        QCOMPARE(p.baseTop.size(), 2);
        QCOMPARE(p.baseSide.size(), 3);
        QCOMPARE(p.collarSide.first(), p.collarSide.last());
        QCOMPARE(p.baseSide.first(), p.baseSide.last());
        QCOMPARE(p.skirt[1], p.skirt[3]);
        caps.insert(p.cap.rgba());
        QCOMPARE(skin.palette(), p); // a fresh, equal record on every call
    }
    QCOMPARE(caps.size(), 11);
}

void TestButtonSkin::paletteValues()
{
    const auto classic = ButtonSkin(ButtonSkin::classic).palette();
    QCOMPARE(classic.cap, QColor(0xE8, 0x32, 0x2B));
    QCOMPARE(classic.label, QColor(Qt::white));
    QCOMPARE(classic.rim.rgb(), QColor(Qt::white).rgb());
    QVERIFY(qAbs(classic.rim.alphaF() - 0.14) < 1e-4);
    QCOMPARE(classic.skirt[2], QColor(0xC9, 0x23, 0x1C));

    const auto executive = ButtonSkin(ButtonSkin::executive).palette();
    QCOMPARE(executive.collarA, executive.collarB);
    QCOMPARE(executive.collarA, QColor(0x1B, 0x17, 0x14));
    QVERIFY(qAbs(executive.labelShadow.alphaF() - 0.7) < 1e-4);
    const auto beige = ButtonSkin(ButtonSkin::beige).palette();
    QCOMPARE(beige.collarA, beige.collarB);
    QCOMPARE(beige.rim.rgb(), QColor(0x3B, 0xD1, 0x6F).rgb());

    const auto molten = ButtonSkin(ButtonSkin::molten).palette();
    QCOMPARE(molten.capDark.blue(), 0);
    QCOMPARE(molten.label.blue(), 0);
    QCOMPARE(molten.collarA.blue(), 0);
    QCOMPARE(molten.baseTop, hexes({0x3A2620, 0x120A07}));

    const auto zen = ButtonSkin(ButtonSkin::zen).palette();
    QCOMPARE(zen.rim.rgb(), QColor(Qt::black).rgb());
    QVERIFY(qAbs(zen.rim.alphaF() - 0.08) < 1e-4);
}

void TestButtonSkin::hexesSplitsComponents()
{
    const auto colours = hexes({0x123456, 0xFF0001});
    QCOMPARE(colours.size(), 2);
    QCOMPARE(colours[0], QColor(0x12, 0x34, 0x56));
    QCOMPARE(colours[1], QColor(0xFF, 0x00, 0x01));
    QCOMPARE(colours[1].alpha(), 255);
    QVERIFY(hexes({}).isEmpty());
}

QTEST_GUILESS_MAIN(TestButtonSkin)
#include "tst_buttonskin.moc"
