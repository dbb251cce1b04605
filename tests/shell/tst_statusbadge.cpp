#include "shell/StatusBadge.h"
#include "ui/ButtonSkin.h"

#include <QDir>
#include <QPainter>
#include <QTest>

// The tray badge drawn into an image and probed at known pixels. With GRUMBLIX_GALLERY_DIR set the
// images are also written there for a look.
class StatusBadgeTest : public QObject
{
    Q_OBJECT

    static BadgeLook look(bool filled, bool dark, int count)
    {
        const ButtonSkin::Palette palette = ButtonSkin(ButtonSkin::classic).palette();
        return {filled, dark ? QColor(Qt::white) : QColor(Qt::black), palette.cap, palette.label, count};
    }

    static bool isBlank(const QImage &image)
    {
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x) {
                if (image.pixelColor(x, y).alpha() > 0)
                    return false;
            }
        }
        return true;
    }

    static void keep(const QImage &image, const QString &name)
    {
        const QByteArray dir = qgetenv("GRUMBLIX_GALLERY_DIR");
        if (!dir.isEmpty())
            image.save(QDir(QString::fromLocal8Bit(dir)).filePath(name + QStringLiteral(".png")));
    }

private Q_SLOTS:
    // Every look draws something, and no two looks draw the same picture (a field the painter
    // ignored would make two of them equal).
    void everyLookDrawsItsOwnPicture()
    {
        for (bool dark : {false, true}) {
            QList<QImage> seen; // a filled badge shows the skin's colours, whatever the ink
            QImage sheet(6 * 72, 72, QImage::Format_ARGB32_Premultiplied);
            sheet.fill(dark ? QColor(0x2b2b2b) : QColor(0xeeeeee));
            QPainter p(&sheet);
            int x = 4;
            for (const BadgeLook &l : {look(false, dark, 0), look(true, dark, 0), look(false, dark, 7),
                                       look(false, dark, 128), look(true, dark, 7)}) {
                const QImage image = StatusBadge::paint(l, 64);
                QVERIFY(!StatusBadgeTest::isBlank(image));
                QVERIFY2(!seen.contains(image),
                         qPrintable(QStringLiteral("look %1 repeats").arg(seen.size())));
                seen << image;
                p.drawImage(x, 4, image);
                x += 72;
            }
            p.drawImage(x, 20, StatusBadge::paint(look(false, dark, 3), 22));
            p.end();
            keep(sheet, dark ? QStringLiteral("badge-dark") : QStringLiteral("badge-light"));
        }
    }

    void outlineAtRestFilledDuringFlash()
    {
        const QImage rest = StatusBadge::paint(look(false, false, 0), 48);
        // Outline on the left edge of the rounded rectangle, nothing inside its empty middle-left.
        QCOMPARE(rest.pixelColor(2, 24).alpha() > 200, true);
        QCOMPARE(rest.pixelColor(2, 24).red() < 60, true);
        QCOMPARE(rest.pixelColor(7, 24).alpha(), 0);
        // Outside the badge's 24 × 16 box the canvas stays clear.
        QCOMPARE(rest.pixelColor(24, 2).alpha(), 0);

        const QImage flash = StatusBadge::paint(look(true, false, 0), 48);
        QCOMPARE(flash.pixelColor(7, 24), ButtonSkin(ButtonSkin::classic).palette().cap);
    }

    void inkFollowsThePanel()
    {
        const QImage dark = StatusBadge::paint(look(false, true, 0), 48);
        QVERIFY(dark.pixelColor(2, 24).red() > 200);
    }

    void countPillOnlyFromOne()
    {
        const QImage none = StatusBadge::paint(look(false, false, 0), 48);
        const QImage seven = StatusBadge::paint(look(false, false, 7), 48);
        // The lower-right corner is empty without a count and inked with one.
        QCOMPARE(none.pixelColor(44, 44).alpha(), 0);
        QVERIFY(seven.pixelColor(44, 42).alpha() > 200);
    }

    void sharpAtRatioTwo()
    {
        const QImage image = StatusBadge::paint(look(false, false, 5), 22, 2.0);
        QCOMPARE(image.size(), QSize(44, 44));
        QCOMPARE(image.devicePixelRatio(), 2.0);
    }
};

QTEST_MAIN(StatusBadgeTest)
#include "tst_statusbadge.moc"
