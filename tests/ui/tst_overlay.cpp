#include "support/TestSupport.h"
#include "ui/ChunkyButton.h"
#include "ui/DialogCard.h"
#include "ui/OverlayCenter.h"
#include "ui/OverlayHost.h"
#include "ui/SpringAnimator.h"

#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>
#include <QtTest>

namespace {

// A window's content with a host, a button and a line edit that records the keys it gets.
struct Window
{
    QWidget content;
    QLineEdit *edit;
    QPushButton *button;
    OverlayHost *host;
    OverlayCenter *center;
    QStringList keys;

    Window()
    {
        content.resize(800, 600);
        auto *layout = new QVBoxLayout(&content);
        edit = new QLineEdit;
        button = new QPushButton(QStringLiteral("Under"));
        layout->addWidget(edit);
        layout->addWidget(button);
        layout->addStretch(1);
        host = OverlayHost::install(&content);
        center = host->center();
        content.show();
        QVERIFY(QTest::qWaitForWindowExposed(&content));
        content.activateWindow();
        edit->setFocus();
    }
};

// The reasons with which the watched widgets got the keyboard.
struct FocusReasons : QObject
{
    QList<Qt::FocusReason> reasons;
    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::FocusIn)
            reasons << static_cast<QFocusEvent *>(event)->reason();
        return false;
    }
};

QWidget *popupContent()
{
    auto *w = new QWidget;
    w->setMinimumSize(100, 80);
    return w;
}

OverlayCenter::Dialog dialog(int *runs, OverlayCenter *center = nullptr, bool *clearedFirst = nullptr)
{
    return {QStringLiteral("Delete it?"), QStringLiteral("Gone for good."), QStringLiteral("Delete"), true,
            [=] {
                ++*runs;
                if (clearedFirst && center)
                    *clearedFirst = !center->dialog().has_value();
            }};
}

} // namespace

class TestOverlay : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        TestSupport::isolateFolders();
        SpringAnimator::setAnimationsEnabled(false);
    }

    void placement_data();
    void placement();
    void emptyHostIsOutOfTheWay();
    void popupOpensAndClickOutsideCloses();
    void escapeClosesEverythingAndIsConsumed();
    void returnWithoutDialogReachesControl();
    void returnConfirmsDialogOnce();
    void returnInAnotherWindowDoesNotConfirm();
    void dialogButtons();
    void cardClicksStayOnCard();
    void watchingIsSingle();
    void modalAndFrames();
    void animatedOpenAndClose();
    void reopeningShowsOnlyTheNewPopup();
    void closingGivesTheKeyboardBack_data();
    void closingGivesTheKeyboardBack();
};

void TestOverlay::placement_data()
{
    QTest::addColumn<QRectF>("anchor");
    QTest::addColumn<qreal>("width");
    QTest::addColumn<bool>("trailing");
    QTest::addColumn<qreal>("x");
    QTest::addColumn<qreal>("y");
    QTest::newRow("left margin") << QRectF(4, 10, 100, 32) << 200.0 << false << 12.0 << 48.0;
    QTest::newRow("right margin") << QRectF(770, 10, 30, 32) << 200.0 << false << 588.0 << 48.0;
    QTest::newRow("trailing") << QRectF(400, 100, 100, 32) << 240.0 << true << 260.0 << 138.0;
    QTest::newRow("wider than host") << QRectF(50, 0, 10, 20) << 790.0 << false << -2.0 << 26.0;
    QTest::newRow("bottom is not clamped") << QRectF(50, 590, 100, 32) << 100.0 << false << 50.0 << 628.0;
}

void TestOverlay::placement()
{
    QFETCH(QRectF, anchor);
    QFETCH(qreal, width);
    QFETCH(bool, trailing);
    QFETCH(qreal, x);
    QFETCH(qreal, y);
    QCOMPARE(OverlayCenter::popupOrigin(anchor, width, trailing, QSizeF(800, 600)), QPointF(x, y));
}

void TestOverlay::emptyHostIsOutOfTheWay()
{
    Window w;
    QVERIFY(!w.host->isVisible());
    QSignalSpy clicked(w.button, &QPushButton::clicked);
    QTest::mouseClick(w.button, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
    QCOMPARE(OverlayCenter::of(w.edit), w.center);
    QCOMPARE(OverlayCenter::of(&w.content), w.center);
    QWidget orphan;
    QCOMPARE(OverlayCenter::of(&orphan), nullptr);
}

void TestOverlay::popupOpensAndClickOutsideCloses()
{
    Window w;
    QPointer<QWidget> content = popupContent();
    w.center->show(w.center->frameOf(w.edit), 150, false, content);
    QVERIFY(w.host->isVisible());
    QVERIFY(content->isVisible());
    QCOMPARE(content->width(), 150);
    QCOMPARE(content->y(), qRound(w.center->frameOf(w.edit).bottom()) + 6);
    QVERIFY(w.center->isWatching());
    // A click on the button under the backdrop closes the popup and never reaches the button.
    QSignalSpy clicked(w.button, &QPushButton::clicked);
    const QPoint at = w.button->mapTo(&w.content, w.button->rect().center());
    QWidget *target = w.content.childAt(at);
    QVERIFY(target != w.button);
    QTest::mouseClick(target, Qt::LeftButton, {}, target->mapFrom(&w.content, at));
    QVERIFY(!w.center->popup());
    QCOMPARE(clicked.count(), 0);
    QVERIFY(!w.center->isWatching());
    QTRY_VERIFY(content.isNull());
    QVERIFY(!w.host->isVisible());
    // Now clicks reach the content again.
    QTest::mouseClick(w.button, Qt::LeftButton);
    QCOMPARE(clicked.count(), 1);
}

void TestOverlay::escapeClosesEverythingAndIsConsumed()
{
    Window w;
    int runs = 0;
    QVERIFY(QTest::qWaitForWindowActive(&w.content));
    w.edit->setFocus();
    w.center->show(QRectF(10, 10, 50, 20), 120, false, popupContent());
    w.center->openDialog(dialog(&runs));
    QVERIFY(!w.edit->hasFocus()); // the dialog holds the keyboard while it is open
    w.edit->setText(QStringLiteral("abc"));
    w.edit->selectAll();
    QTest::keyClick(w.edit, Qt::Key_Escape);
    QVERIFY(!w.center->popup());
    QVERIFY(!w.center->dialog());
    QCOMPARE(runs, 0);
    // The keyboard goes back where it was before the overlay opened; typing reaches the field.
    QVERIFY(w.edit->hasFocus());
    QTest::keyClick(w.edit, Qt::Key_X);
    QCOMPARE(w.edit->text(), QStringLiteral("x"));
}

void TestOverlay::returnWithoutDialogReachesControl()
{
    Window w;
    QSignalSpy returned(w.edit, &QLineEdit::returnPressed);
    w.center->show(QRectF(10, 10, 50, 20), 120, false, popupContent());
    QTest::keyClick(w.edit, Qt::Key_Return);
    QCOMPARE(returned.count(), 1);
    QVERIFY(w.center->popup());
    w.center->dismiss();
    w.center->present(popupContent());
    QTest::keyClick(w.edit, Qt::Key_Return);
    QCOMPARE(returned.count(), 2);
    QVERIFY(w.center->modal());
}

void TestOverlay::returnConfirmsDialogOnce()
{
    Window w;
    int runs = 0;
    bool clearedFirst = false;
    QSignalSpy returned(w.edit, &QLineEdit::returnPressed);
    w.center->openDialog(dialog(&runs, w.center, &clearedFirst));
    QTest::keyClick(w.edit, Qt::Key_Return);
    QCOMPARE(runs, 1);
    QVERIFY(clearedFirst);
    QCOMPARE(returned.count(), 0);
    QVERIFY(!w.center->dialog());
    // A second Return is an ordinary key again.
    QTest::keyClick(w.edit, Qt::Key_Return);
    QCOMPARE(runs, 1);
    QCOMPARE(returned.count(), 1);
}

void TestOverlay::returnInAnotherWindowDoesNotConfirm()
{
    Window w;
    int runs = 0;
    w.center->openDialog(dialog(&runs));
    // Another window of the program (the tray panel, say) with its own text field.
    QWidget panel;
    auto *field = new QLineEdit(&panel);
    QSignalSpy returned(field, &QLineEdit::returnPressed);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QTest::keyClick(field, Qt::Key_Return);
    QTest::keyClick(field, Qt::Key_Escape);
    QCOMPARE(runs, 0);
    QVERIFY(w.center->dialog());
    QCOMPARE(returned.count(), 1);
    // The dialog's own window still answers.
    QTest::keyClick(&w.content, Qt::Key_Return);
    QCOMPARE(runs, 1);
}

void TestOverlay::dialogButtons()
{
    Window w;
    int runs = 0;
    w.center->openDialog(dialog(&runs));
    auto *card = w.host->layer(OverlayLayer::Kind::Dialog)->findChild<DialogCard *>();
    QVERIFY(card);
    QVERIFY(card->isVisible());
    QCOMPARE(card->confirmButton()->text(), QStringLiteral("Delete"));
    QTest::mouseClick(card->cancelButton(), Qt::LeftButton);
    QCOMPARE(runs, 0);
    QVERIFY(!w.center->dialog());

    w.center->openDialog(dialog(&runs));
    card = w.host->layer(OverlayLayer::Kind::Dialog)->findChild<DialogCard *>();
    QTRY_COMPARE(w.host->layer(OverlayLayer::Kind::Dialog)->findChildren<DialogCard *>().size(), 1);
    card = w.host->layer(OverlayLayer::Kind::Dialog)->findChild<DialogCard *>();
    auto *confirm = card->confirmButton();
    QTest::mouseClick(confirm, Qt::LeftButton);
    QCOMPARE(runs, 1);
    QVERIFY(!w.center->dialog());
    // A late second click on the dying card runs nothing.
    if (!card->isHidden())
        QTest::mouseClick(confirm, Qt::LeftButton);
    QCOMPARE(runs, 1);

    // An action may open the next dialog: it is opened after the first is cleared.
    w.center->openDialog({QStringLiteral("One"), QString(), QStringLiteral("Next"), false,
                          [&] { w.center->openDialog(dialog(&runs)); }});
    QTest::keyClick(&w.content, Qt::Key_Return);
    QVERIFY(w.center->dialog());
    QCOMPARE(w.center->dialog()->title, QStringLiteral("Delete it?"));
    QVERIFY(w.center->isWatching());
}

void TestOverlay::cardClicksStayOnCard()
{
    Window w;
    int runs = 0;
    w.center->openDialog(dialog(&runs));
    auto *layer = w.host->layer(OverlayLayer::Kind::Dialog);
    auto *card = layer->findChild<DialogCard *>();
    QTest::mouseClick(card, Qt::LeftButton, {}, QPoint(30, 60));
    QVERIFY(w.center->dialog());
    // The backdrop closes without running the action.
    QTest::mouseClick(layer, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!w.center->dialog());
    QCOMPARE(runs, 0);
}

void TestOverlay::watchingIsSingle()
{
    Window w;
    w.center->dismiss(); // nothing open: harmless
    QVERIFY(!w.center->isWatching());
    w.center->watchEscape();
    w.center->watchEscape();
    QVERIFY(w.center->isWatching());
    w.center->dismiss();
    QVERIFY(!w.center->isWatching());
    // One filter only: after dismiss no Escape is swallowed.
    QWidget probe;
    probe.show();
    QSignalSpy spy(w.center, &OverlayCenter::popupChanged);
    QTest::keyClick(&w.content, Qt::Key_Escape);
    QCOMPARE(spy.count(), 0);
}

void TestOverlay::modalAndFrames()
{
    Window w;
    QPointer<QWidget> modal = popupContent();
    modal->setFixedSize(300, 200);
    w.center->present(modal);
    QVERIFY(modal->isVisible());
    QCOMPARE(modal->geometry().center(), QRect(0, 0, 800, 600).center());
    // A click on the modal itself keeps it open; the dimmed backdrop closes it.
    auto *layer = w.host->layer(OverlayLayer::Kind::Modal);
    QTest::mouseClick(layer, Qt::LeftButton, {}, QPoint(5, 5));
    QVERIFY(!w.center->modal());
    QTRY_VERIFY(modal.isNull());
    const QRectF frame = w.center->frameOf(w.button);
    QCOMPARE(frame.topLeft(), QPointF(w.button->mapTo(&w.content, QPoint(0, 0))));
    // The host follows the content's size.
    w.content.resize(500, 400);
    QCOMPARE(w.host->size(), QSize(500, 400));
}

void TestOverlay::animatedOpenAndClose()
{
    SpringAnimator::setAnimationsEnabled(true);
    Window w;
    int runs = 0;
    w.center->openDialog(dialog(&runs));
    auto *layer = w.host->layer(OverlayLayer::Kind::Dialog);
    QVERIFY(layer->presence() < 1.0);
    QTRY_VERIFY(layer->presence() >= 0.999 && layer->findChild<DialogCard *>()->isVisible());
    w.center->dismiss();
    QVERIFY(w.host->isVisible()); // still fading
    QTRY_VERIFY(!w.host->isVisible());
    QCOMPARE(runs, 0);
    SpringAnimator::setAnimationsEnabled(false);
}

void TestOverlay::reopeningShowsOnlyTheNewPopup()
{
    Window w;
    QPointer<QWidget> first = popupContent();
    w.center->show(QRectF(10, 10, 50, 20), 120, false, first);
    w.center->dismiss();
    QPointer<QWidget> second = popupContent();
    w.center->show(QRectF(300, 10, 50, 20), 120, false, second);
    // The first popup's widget may still await deletion, but it is no longer shown.
    QVERIFY(first.isNull() || !first->isVisible());
    QVERIFY(second->isVisible());
    // Replacing an open popup works the same way.
    QPointer<QWidget> third = popupContent();
    w.center->show(QRectF(300, 10, 50, 20), 120, false, third);
    QVERIFY(second.isNull() || !second->isVisible());
    QVERIFY(third->isVisible());
}

void TestOverlay::closingGivesTheKeyboardBack_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("before");
    for (const auto &[kind, name] :
         {std::pair{OverlayLayer::Kind::Popup, "popup"}, std::pair{OverlayLayer::Kind::Dialog, "dialog"},
          std::pair{OverlayLayer::Kind::Modal, "modal"}})
        for (const char *before : {"nothing", "edit", "button"})
            QTest::addRow("%s, %s focused", name, before) << int(kind) << QString::fromLatin1(before);
}

// Closing an overlay puts the keyboard back where it was, and never hands it down the Tab chain:
// a control that gets it that way takes it for a Tab press and shows its focus ring.
void TestOverlay::closingGivesTheKeyboardBack()
{
    QFETCH(int, kind);
    QFETCH(QString, before);
    Window w;
    QVERIFY(QTest::qWaitForWindowActive(&w.content));
    QWidget *focused = before == QLatin1String("edit")     ? static_cast<QWidget *>(w.edit)
                       : before == QLatin1String("button") ? w.button
                                                           : nullptr;
    w.button->setFocusPolicy(Qt::StrongFocus);
    if (focused)
        focused->setFocus(Qt::MouseFocusReason);
    else if (QWidget *any = QApplication::focusWidget())
        any->clearFocus();
    QCOMPARE(QApplication::focusWidget(), focused);
    FocusReasons watch;
    w.edit->installEventFilter(&watch);
    w.button->installEventFilter(&watch);

    int runs = 0;
    switch (OverlayLayer::Kind(kind)) {
    case OverlayLayer::Kind::Popup:
        w.center->show(QRectF(10, 10, 50, 20), 120, false, popupContent());
        break;
    case OverlayLayer::Kind::Dialog:
        w.center->openDialog(dialog(&runs));
        break;
    case OverlayLayer::Kind::Modal:
        w.center->present(popupContent());
        break;
    }
    QVERIFY(!focused || !focused->hasFocus());
    QTest::keyClick(&w.content, Qt::Key_Escape);
    QVERIFY(w.center->isEmpty());
    QTRY_VERIFY(!w.host->isVisible());

    QCOMPARE(QApplication::focusWidget(), focused);
    QVERIFY2(!watch.reasons.contains(Qt::TabFocusReason) && !watch.reasons.contains(Qt::BacktabFocusReason),
             "the keyboard came back as if by Tab");
    if (focused)
        QCOMPARE(watch.reasons, QList<Qt::FocusReason>{Qt::PopupFocusReason});
}

QTEST_MAIN(TestOverlay)
#include "tst_overlay.moc"
