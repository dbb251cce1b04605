#include "features/history/EventDetailView.h"
#include "features/overview/OverviewCards.h"
#include "features/triggers/TriggerRow.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "support/TriggerFixtures.h"
#include "ui/BarRow.h"
#include "ui/FlapCounter.h"
#include "ui/ThemedLabel.h"

#include <QLayout>
#include <QPainter>
#include <QtTest>

using namespace TestSupport;

namespace {

enum class Place
{
    RankingCount,
    TriggerCount,
    FlapTiles,
    DangerRange,
    IncidentTime,
};

// Ink weight (0 to 1) of each pixel of `image`, as an alpha-only picture.
using Ink = std::function<qreal(QRgb)>;

qreal alphaInk(QRgb pixel)
{
    return qAlpha(pixel) / 255.0;
}

// The flap's tiles are grey; its letters here are red.
qreal redInk(QRgb pixel)
{
    return qBound(0, qRed(pixel) - qGreen(pixel) - 8, 255) / 255.0;
}

QImage render(QWidget &widget)
{
    QImage image(widget.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    widget.render(&image, QPoint(), QRegion(), QWidget::DrawChildren);
    return image.convertToFormat(QImage::Format_ARGB32);
}

// The horizontal centres of the separate marks (runs of inked columns) in `box` of `image`.
QList<qreal> markCentres(const QImage &image, const QRect &box, const Ink &ink)
{
    QList<qreal> centres;
    qreal sum = 0, weight = 0;
    const QRect area = box.intersected(image.rect());
    for (int x = area.left(); x <= area.right() + 1; ++x) {
        qreal column = 0;
        if (x <= area.right())
            for (int y = area.top(); y <= area.bottom(); ++y)
                column += ink(image.pixel(x, y));
        if (column > 0.05) {
            sum += column * (x + 0.5);
            weight += column;
        } else if (weight > 0) {
            centres << sum / weight;
            sum = weight = 0;
        }
    }
    return centres;
}

struct Drawn
{
    QList<qreal> centres;
    int boxWidth = -1; // the width the widget lays the text out in, where it depends on the text
};

Drawn ofLabel(ThemedLabel *label)
{
    label->resize(label->sizeHint());
    return {markCentres(render(*label), label->rect(), alphaInk), label->sizeHint().width()};
}

ThemedLabel *labelShowing(QWidget &parent, const QString &text)
{
    for (ThemedLabel *label : parent.findChildren<ThemedLabel *>())
        if (label->text() == text)
            return label;
    return nullptr;
}

} // namespace

// Numbers and times that change in place keep each digit on its own column: two values differing
// only in digits of different natural width put their marks at the same places.
class TestFigureColumns : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { isolateFolders(); }

    void digitsKeepTheirColumns_data();
    void digitsKeepTheirColumns();

private:
    Drawn draw(Place place, const QString &value);
};

Drawn TestFigureColumns::draw(Place place, const QString &value)
{
    Theme::ScopedScheme light(ColorScheme::Light);
    switch (place) {
    case Place::RankingCount: {
        BarRow row(1, nullptr, QStringLiteral("Meetings"), value.toInt(), 0.5, false);
        row.resize(300, row.sizeHint().height());
        const QRectF count = row.countRect();
        // Everything right of the name, above the bar.
        const QRect box(200, 0, 100, qFloor(count.bottom()));
        return {markCentres(render(row), box, alphaInk), qCeil(count.width())};
    }
    case Place::TriggerCount: {
        TriggerRow row;
        row.setTrigger(Fixtures::builtInTriggers().first(), 0, 10, value.toInt());
        row.resize(560, row.sizeHint().height());
        row.layout()->activate();
        return {markCentres(render(row), row.countRect().toAlignedRect(), alphaInk)};
    }
    case Place::FlapTiles: {
        FlapCounter counter(value.toInt(), 24, 2, Theme::red);
        counter.resize(counter.sizeHint());
        return {markCentres(render(counter), counter.rect(), redInk), counter.sizeHint().width()};
    }
    case Place::DangerRange: {
        DangerZoneCard card;
        QList<int> hours(24, 0);
        hours[value.toInt()] = 3;
        card.setHours(hours);
        ThemedLabel *label = labelShowing(card, card.rangeText());
        if (!label)
            return {};
        return ofLabel(label);
    }
    case Place::IncidentTime: {
        ModelFixture fx;
        const QTime time = QTime::fromString(value, QStringLiteral("HH:mm"));
        const VorpEvent event = fx.seed(QDateTime(QDate(2026, 12, 8), time, fx.zone));
        EventDetailView view(*fx.model, event, fx.model->allTriggers(), [] {});
        ThemedLabel *label = labelShowing(view, view.timeText());
        if (!label)
            return {};
        return ofLabel(label);
    }
    }
    return {};
}

void TestFigureColumns::digitsKeepTheirColumns_data()
{
    QTest::addColumn<int>("place");
    QTest::addColumn<QString>("narrow");
    QTest::addColumn<QString>("wide");
    // One is the narrowest figure of both faces, four and zero among the widest.
    QTest::newRow("ranking count") << int(Place::RankingCount) << "11"
                                   << "44";
    QTest::newRow("ranking count, three digits") << int(Place::RankingCount) << "111"
                                                 << "404";
    QTest::newRow("trigger count") << int(Place::TriggerCount) << "11"
                                   << "44";
    QTest::newRow("flap tiles") << int(Place::FlapTiles) << "11"
                                << "44";
    QTest::newRow("danger range") << int(Place::DangerRange) << "11"
                                  << "4";
    QTest::newRow("incident time") << int(Place::IncidentTime) << "11:11"
                                   << "10:48";
}

void TestFigureColumns::digitsKeepTheirColumns()
{
    QFETCH(int, place);
    QFETCH(QString, narrow);
    QFETCH(QString, wide);
    const Drawn a = draw(Place(place), narrow);
    const Drawn b = draw(Place(place), wide);
    QVERIFY2(!a.centres.isEmpty(), "no text drawn");
    QCOMPARE(a.centres.size(), b.centres.size());
    // A mark's ink need not centre on its advance: allow a little over a pixel.
    for (qsizetype i = 0; i < a.centres.size(); ++i)
        QVERIFY2(
            qAbs(a.centres[i] - b.centres[i]) < 1.6,
            qPrintable(QStringLiteral("mark %1 at %2 and at %3").arg(i).arg(a.centres[i]).arg(b.centres[i])));
    // The box the text is laid out in does not change with the digits either.
    QCOMPARE(a.boxWidth, b.boxWidth);
}

QTEST_MAIN(TestFigureColumns)
#include "tst_figurecolumns.moc"
