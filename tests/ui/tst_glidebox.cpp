#include "ui/GlideBox.h"

#include <QVBoxLayout>
#include <QtTest>

// A box between a layout and a content whose height changes: the layout sees the box glide from
// the old height to the new one, the content keeps its full height throughout.
class TestGlideBox : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void init();
    void cleanup();
    void glidesFromWhereItStoodToTheContent_data();
    void glidesFromWhereItStoodToTheContent();
    void holdingMidGlideStartsFromTheHeightReached();

private:
    void settle();

    std::unique_ptr<QWidget> m_window;
    GlideBox *m_box = nullptr;
    QWidget *m_grow = nullptr;  // the part of the content whose height changes
    QWidget *m_below = nullptr; // laid out under the box
};

namespace {

QWidget *block(int height)
{
    auto *w = new QWidget;
    w->setFixedHeight(height);
    return w;
}

} // namespace

void TestGlideBox::init()
{
    m_window = std::make_unique<QWidget>();
    auto *column = new QVBoxLayout(m_window.get());
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    auto *content = new QWidget;
    auto *inner = new QVBoxLayout(content);
    inner->setContentsMargins(0, 0, 0, 0);
    inner->setSpacing(0);
    inner->addWidget(block(40));
    m_grow = block(60);
    inner->addWidget(m_grow);
    m_box = new GlideBox(content);
    column->addWidget(m_box);
    m_below = block(20);
    column->addWidget(m_below);
    column->addStretch(1);
    m_window->resize(200, 400);
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    settle();
}

void TestGlideBox::cleanup()
{
    m_window.reset();
}

void TestGlideBox::settle()
{
    for (int i = 0; i < 6; ++i)
        QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
}

void TestGlideBox::glidesFromWhereItStoodToTheContent_data()
{
    QTest::addColumn<qreal>("progress");
    QTest::addColumn<int>("height");
    QTest::newRow("start") << 0.0 << 100;
    QTest::newRow("a quarter") << 0.25 << 125;
    QTest::newRow("half way") << 0.5 << 150;
    QTest::newRow("there") << 1.0 << 200;
    QTest::newRow("a spring's overshoot") << 1.1 << 200;
}

void TestGlideBox::glidesFromWhereItStoodToTheContent()
{
    QFETCH(qreal, progress);
    QFETCH(int, height);
    QCOMPARE(m_box->height(), 100);

    m_box->hold();
    m_grow->setFixedHeight(160);
    m_box->glide(progress);
    settle();
    QCOMPARE(m_box->height(), height);
    QCOMPARE(m_box->content()->height(), 200); // never squeezed
    QCOMPARE(m_grow->height(), 160);
    QCOMPARE(m_below->y(), height);

    m_box->release();
    settle();
    QCOMPARE(m_box->height(), 200);
    QCOMPARE(m_below->y(), 200);
}

void TestGlideBox::holdingMidGlideStartsFromTheHeightReached()
{
    m_box->hold();
    m_grow->setFixedHeight(160);
    m_box->glide(0.5);
    settle();
    QCOMPARE(m_box->height(), 150);

    // The content shrinks back before the first glide is over: the second starts at 150.
    m_box->hold();
    m_grow->setFixedHeight(60);
    m_box->glide(0);
    settle();
    QCOMPARE(m_box->height(), 150);
    m_box->glide(0.5);
    settle();
    QCOMPARE(m_box->height(), 125);
    // A part of the content still to grow by itself on the same progress: headed for its end.
    m_box->glide(0.5, 40);
    settle();
    QCOMPARE(m_box->height(), 145);
}

QTEST_MAIN(TestGlideBox)
#include "tst_glidebox.moc"
