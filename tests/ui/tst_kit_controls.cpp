#include "support/TestSupport.h"
#include "ui/AchievementBanner.h"
#include "ui/ChunkyButton.h"
#include "ui/ChunkySegmented.h"
#include "ui/DialogCard.h"
#include "ui/Fonts.h"
#include "ui/GXDropdown.h"
#include "ui/GXTextField.h"
#include "ui/GXToggles.h"
#include "ui/IconButton.h"
#include "ui/LineEditorKeyTable.h"
#include "ui/OverlayCenter.h"
#include "ui/OverlayHost.h"
#include "ui/SpringAnimator.h"
#include "ui/TextBounds.h"
#include "ui/Theme.h"
#include "ui/TriggerGrid.h"

#include <QAccessible>
#include <QClipboard>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QShortcut>
#include <QTextBoundaryFinder>
#include <QVBoxLayout>
#include <QtTest>

namespace {

QList<Trigger> triggers(int n)
{
    QList<Trigger> list;
    for (int i = 0; i < n; ++i)
        list << Trigger::make(QStringLiteral("t%1").arg(i), QStringLiteral("Trigger %1").arg(i),
                              QStringLiteral("🔥"), i, false);
    return list;
}

QList<GXOption> options(int n)
{
    QList<GXOption> list;
    for (int i = 0; i < n; ++i)
        list << GXOption{QStringLiteral("v%1").arg(i), QStringLiteral("Option %1").arg(i), std::nullopt,
                         false};
    return list;
}

// A window with an overlay host, for controls that open popups.
struct Host
{
    QWidget content;
    OverlayCenter *center;
    Host()
    {
        content.resize(800, 600);
        center = OverlayHost::install(&content)->center();
    }
    void show()
    {
        content.show();
        QVERIFY(QTest::qWaitForWindowExposed(&content));
        content.activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(&content));
    }
};

} // namespace

class TestKitControls : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        TestSupport::isolateFolders();
        SpringAnimator::setAnimationsEnabled(false);
    }

    void gridShowsFirstTen();
    void gridSelection_data();
    void gridSelection();
    void gridTooltips();
    void gridClicksAndDigits();
    void gridDigitsLeaveTextFieldsAlone();
    void gridTileLiftsAndSinks();
    void tileNameShrinksBeforeItIsCut_data();
    void tileNameShrinksBeforeItIsCut();
    void segmented();
    void switchRowToggles();
    void switchLabelWrapsWhereNarrow();
    void checkboxToggles();
    void textFieldClearAndSubmit();
    void textFieldTakesAPastePastQtsDefaultLimit();
    void textFieldFocusFromBox();
    void textBoundsReadLocallyAsTheWholeTextSegments_data();
    void textBoundsReadLocallyAsTheWholeTextSegments();
    void editorEditsAsQtsLineEdit_data() { LineEditorKeyTable::addRows(); }
    void editorEditsAsQtsLineEdit() { LineEditorKeyTable::checkRow(); }
    void editorLaysOutOnlyWhatItShows_data();
    void editorLaysOutOnlyWhatItShows();
    void editorMouseSelects();
    void editorContextMenuEdits();
    void editorKeepsItsKeysFromWindowShortcuts();
    void editorShowsInputMethodsTheCursorsNeighbourhood();
    void editorIsAnEditableTextToAssistiveTechnology();
    void dropdownShowsCurrent();
    void dropdownSymbolTakesInk_data();
    void dropdownSymbolTakesInk();
    void dropdownPicksByMouse();
    void dropdownKeyboard();
    void dropdownRingFollowsHowItWasReached();
    void dropdownScrollsFromFifteen();
    void dropdownMenuPlacement();
    void iconButton();
    void chunkyButtonSinks();
    void ghostButton();
    void banner();
};

void TestKitControls::gridShowsFirstTen()
{
    TriggerGrid grid(triggers(12), std::nullopt, 5, false);
    QCOMPARE(grid.tiles().size(), 10);
    for (int i = 0; i < 10; ++i)
        QCOMPARE(grid.tiles().at(i)->trigger().key, QStringLiteral("t%1").arg(i));
    QCOMPARE(grid.heightForWidth(400), 2 * 44 + 6 + 2);
    TriggerGrid empty({}, std::nullopt, 5, false);
    QVERIFY(empty.tiles().isEmpty());
    QCOMPARE(empty.heightForWidth(400), 0);
    // Tiles share the width in equal columns, 6 apart.
    grid.resize(5 * 60 + 4 * 6 + 2, grid.heightForWidth(0));
    grid.show();
    QCOMPARE(grid.tiles().at(1)->x(), 66);
    QCOMPARE(grid.tiles().at(5)->y(), 50);
    QCOMPARE(grid.tiles().at(0)->height(), 46);
}

void TestKitControls::gridSelection_data()
{
    QTest::addColumn<std::optional<QString>>("selected");
    QTest::addColumn<int>("red");
    QTest::newRow("none") << std::optional<QString>() << -1;
    QTest::newRow("unknown key") << std::optional<QString>(QStringLiteral("nope")) << -1;
    QTest::newRow("hidden eleventh") << std::optional<QString>(QStringLiteral("t10")) << -1;
    QTest::newRow("third") << std::optional<QString>(QStringLiteral("t2")) << 2;
}

void TestKitControls::gridSelection()
{
    QFETCH(std::optional<QString>, selected);
    QFETCH(int, red);
    TriggerGrid grid(triggers(11), selected, 5, false);
    for (int i = 0; i < grid.tiles().size(); ++i)
        QCOMPARE(grid.tiles().at(i)->isSelected(), i == red);
    grid.setSelected(QStringLiteral("t0"));
    QVERIFY(grid.tiles().at(0)->isSelected());
}

void TestKitControls::gridTooltips()
{
    TriggerGrid numbered(triggers(10), std::nullopt, 5, true);
    QCOMPARE(numbered.tiles().at(0)->toolTip(), QStringLiteral("Trigger 0 — press 1"));
    QCOMPARE(numbered.tiles().at(9)->toolTip(), QStringLiteral("Trigger 9 — press 0"));
    TriggerGrid plain(triggers(3), std::nullopt, 5, false);
    QCOMPARE(plain.tiles().at(1)->toolTip(), QStringLiteral("Trigger 1"));
}

void TestKitControls::gridClicksAndDigits()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    QStringList picked;
    auto *grid =
        new TriggerGrid(triggers(10), std::nullopt, 5, true, [&](const Trigger &t) { picked << t.key; });
    auto *plain =
        new TriggerGrid(triggers(3), std::nullopt, 3, false, [&](const Trigger &t) { picked << t.key; });
    layout->addWidget(grid);
    layout->addWidget(plain);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    QTest::mouseClick(grid->tiles().at(3), Qt::LeftButton);
    QTest::keyClick(&window, Qt::Key_1);
    QTest::keyClick(&window, Qt::Key_0);
    QTest::keyClick(&window, Qt::Key_1, Qt::ControlModifier); // not the bare digit
    QTest::mouseClick(plain->tiles().at(2), Qt::LeftButton);
    QCOMPARE(picked, (QStringList{QStringLiteral("t3"), QStringLiteral("t0"), QStringLiteral("t9"),
                                  QStringLiteral("t2")}));
    // Clicking the selected tile reports it again; clearing is the caller's business.
    grid->setSelected(QStringLiteral("t3"));
    QTest::mouseClick(grid->tiles().at(3), Qt::LeftButton);
    QCOMPARE(picked.last(), QStringLiteral("t3"));
}

void TestKitControls::gridDigitsLeaveTextFieldsAlone()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    int picks = 0;
    auto *field = new QLineEdit;
    layout->addWidget(field);
    layout->addWidget(new TriggerGrid(triggers(5), std::nullopt, 5, true, [&](const Trigger &) { ++picks; }));
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    field->setFocus();
    QTest::keyClick(field, Qt::Key_2);
    QCOMPARE(field->text(), QStringLiteral("2"));
    QCOMPARE(picks, 0);
}

void TestKitControls::gridTileLiftsAndSinks()
{
    TriggerTile tile(triggers(1).first());
    tile.resize(60, 46);
    tile.show();
    QVERIFY(QTest::qWaitForWindowExposed(&tile));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(&tile, &leave);
    QCOMPARE(tile.lift(), 0.0);
    QEnterEvent enter(QPointF(10, 10), QPointF(10, 10), QPointF(10, 10));
    QApplication::sendEvent(&tile, &enter);
    QCOMPARE(tile.lift(), 2.0);
    QTest::mousePress(&tile, Qt::LeftButton, {}, QPoint(10, 10));
    // Pressed, the tile keeps its hover look.
    QCOMPARE(tile.lift(), 2.0);
    QCOMPARE(tile.press(), 1.0);
    QTest::mouseRelease(&tile, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(tile.press(), 0.0);
    QCOMPARE(tile.lift(), 2.0);
}

void TestKitControls::tileNameShrinksBeforeItIsCut_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<int>("cell");
    // The name's size in pixels, and whether it shows whole.
    QTest::addColumn<qreal>("size");
    QTest::addColumn<bool>("whole");
    // "Production" is 73 wide at 14 px: 49.6 at 9.5, 34.7 at 70 % of that; "Management" 42.3 at 70 %.
    QTest::newRow("room to spare") << QStringLiteral("Production") << 60 << 9.5 << true;
    QTest::newRow("shrunk to its cell") << QStringLiteral("Production") << 40 << 9.5 * 40 / 49.63 << true;
    QTest::newRow("fits only at 70 %") << QStringLiteral("Production") << 35 << 9.5 * 35 / 49.63 << true;
    QTest::newRow("too wide at 70 %") << QStringLiteral("Production") << 34 << 6.65 << false;
    QTest::newRow("a wider name at 70 %") << QStringLiteral("Management") << 43 << 9.5 * 43 / 60.43 << true;
    QTest::newRow("a wider name, cut") << QStringLiteral("Management") << 36 << 6.65 << false;
}

void TestKitControls::tileNameShrinksBeforeItIsCut()
{
    QFETCH(QString, name);
    QFETCH(int, cell);
    QFETCH(qreal, size);
    QFETCH(bool, whole);
    TriggerTile tile(Trigger::make(QStringLiteral("k"), name, QStringLiteral("🔥"), 0, true));
    tile.resize(cell + TriggerTile::kSlabRoom, TriggerTile::kHeight + TriggerTile::kSlabRoom);
    QVERIFY2(qAbs(tile.nameSize() - size) < 0.02, qPrintable(QString::number(tile.nameSize())));
    if (whole) {
        QCOMPARE(tile.shownName(), name);
    } else {
        QVERIFY(tile.shownName().endsWith(QChar(0x2026)));
        QVERIFY(name.startsWith(tile.shownName().chopped(1)));
    }
}

void TestKitControls::segmented()
{
    ChunkySegmented control({QStringLiteral("System"), QStringLiteral("Paper"), QStringLiteral("Night")}, 0);
    control.resize(control.sizeHint());
    QSignalSpy changed(&control, &ChunkySegmented::selectionChanged);
    QSignalSpy activated(&control, &ChunkySegmented::activated);
    const QList<QRectF> rects = control.segmentRects();
    QCOMPARE(rects.size(), 3);
    QCOMPARE(rects.at(1).left(), rects.at(0).right());
    QTest::mouseClick(&control, Qt::LeftButton, {}, rects.at(2).center().toPoint());
    QCOMPARE(control.selection(), 2);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(changed.last().first().toInt(), 2);
    // The chosen segment again: written again, nothing changes.
    QTest::mouseClick(&control, Qt::LeftButton, {}, rects.at(2).center().toPoint());
    QCOMPARE(changed.count(), 1);
    QCOMPARE(activated.count(), 2);
    QTest::keyClick(&control, Qt::Key_Left);
    QCOMPARE(control.selection(), 1);
    control.setSelection(-1);
    QCOMPARE(control.selection(), -1);
}

void TestKitControls::switchRowToggles()
{
    GXSwitch row(QStringLiteral("Show the toast"));
    row.resize(400, row.sizeHint().height());
    QSignalSpy toggled(&row, &QAbstractButton::toggled);
    // The empty space between the label and the switch toggles too.
    QTest::mouseClick(&row, Qt::LeftButton, {}, QPoint(250, row.height() / 2));
    QVERIFY(row.isChecked());
    QCOMPARE(row.knob(), 1.0);
    QTest::mouseClick(&row, Qt::LeftButton, {}, QPoint(5, row.height() / 2));
    QVERIFY(!row.isChecked());
    QCOMPARE(toggled.count(), 2);
    row.setChecked(true);
    QCOMPARE(row.knob(), 1.0);
    // A richer label takes no clicks of its own.
    auto *label = new QWidget;
    row.setLabelWidget(label);
    QVERIFY(label->testAttribute(Qt::WA_TransparentForMouseEvents));
    // The knob slides with the spring when animated.
    SpringAnimator::setAnimationsEnabled(true);
    QTest::mouseClick(&row, Qt::LeftButton, {}, QPoint(250, row.height() / 2));
    QVERIFY(!row.isChecked());
    QVERIFY(row.knob() > 0.5);
    QTRY_COMPARE(row.knob(), 0.0);
    SpringAnimator::setAnimationsEnabled(false);
}

void TestKitControls::switchLabelWrapsWhereNarrow()
{
    const QString text = QStringLiteral("Friday report, every Friday at 16:00");
    GXSwitch row(text);
    const QFontMetricsF font(Fonts::rounded(13, QFont::DemiBold));
    const int oneLine = row.sizeHint().height();
    QVERIFY(row.hasHeightForWidth());
    QCOMPARE(row.heightForWidth(row.sizeHint().width()), oneLine);
    // Narrower than its text, the label takes a second line and the row grows to hold it.
    const int narrow = 42 + 24 + 130;
    QVERIFY(row.heightForWidth(narrow) >= qFloor(2 * font.height()));
    // No narrower than its widest word.
    QCOMPARE(row.minimumSizeHint().width(),
             qCeil(font.horizontalAdvance(QStringLiteral("report,"))) + 24 + 42);
    // Drawn so: ink in the upper and the lower part of the label.
    row.resize(narrow, row.heightForWidth(narrow));
    QImage image(row.size(), QImage::Format_ARGB32);
    image.fill(Qt::white);
    row.render(&image);
    const auto inkIn = [&](int top, int bottom) {
        for (int y = top; y < bottom; ++y)
            for (int x = 0; x < 130; ++x)
                if (qGray(image.pixel(x, y)) < 128)
                    return true;
        return false;
    };
    QVERIFY(inkIn(0, image.height() / 3));
    QVERIFY(inkIn(2 * image.height() / 3, image.height()));
}

void TestKitControls::checkboxToggles()
{
    GXCheckbox box(QStringLiteral("Weekly report"));
    box.resize(box.sizeHint());
    QTest::mouseClick(&box, Qt::LeftButton, {}, QPoint(box.width() - 3, box.height() / 2));
    QVERIFY(box.isChecked());
    QCOMPARE(box.mark(), 1.0);
    QTest::keyClick(&box, Qt::Key_Space);
    QVERIFY(!box.isChecked());
}

void TestKitControls::textFieldClearAndSubmit()
{
    int submits = 0;
    GXTextField field(QStringLiteral("Search"), QStringLiteral("magnifyingglass"), true, [&] { ++submits; });
    field.resize(240, 32);
    field.show();
    QVERIFY(QTest::qWaitForWindowExposed(&field));
    QVERIFY(field.clearButton()->isHidden());
    QCOMPARE(field.lineEdit()->placeholderText(), QStringLiteral("Search"));
    QTest::keyClicks(field.lineEdit(), QStringLiteral("printer"));
    QVERIFY(field.clearButton()->isVisible());
    QTest::keyClick(field.lineEdit(), Qt::Key_Return);
    QCOMPARE(submits, 1);
    QCOMPARE(field.text(), QStringLiteral("printer"));
    QSignalSpy changed(&field, &GXTextField::textChanged);
    QTest::mouseClick(field.clearButton(), Qt::LeftButton);
    QCOMPARE(field.text(), QString());
    QCOMPARE(changed.count(), 1);
    QVERIFY(field.clearButton()->isHidden());

    GXTextField plain(QStringLiteral("Name"));
    plain.setText(QStringLiteral("x"));
    QVERIFY(plain.clearButton()->isHidden());
    QTest::keyClick(plain.lineEdit(), Qt::Key_Return); // no callback: nothing happens
    QCOMPARE(plain.text(), QStringLiteral("x"));
}

void TestKitControls::textFieldTakesAPastePastQtsDefaultLimit()
{
    // Qt's own line edit cuts at 32,767 characters without a word.
    const QString pasted = QString(40'000, u'k') + QStringLiteral("end");
    GXTextField field(QStringLiteral("Search"), QStringLiteral("magnifyingglass"), true);
    field.resize(240, 32);
    field.show();
    QVERIFY(QTest::qWaitForWindowExposed(&field));
    QGuiApplication::clipboard()->setText(pasted);
    field.lineEdit()->setFocus();
    QTest::keyClick(field.lineEdit(), Qt::Key_V, Qt::ControlModifier);
    QCOMPARE(field.text(), pasted);
    field.setText(pasted + pasted);
    QCOMPARE(field.text().size(), 2 * pasted.size());
}

void TestKitControls::textFieldFocusFromBox()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *other = new QLineEdit;
    auto *field = new GXTextField(QStringLiteral("Note"), QStringLiteral("pencil.circle.fill"));
    layout->addWidget(other);
    layout->addWidget(field);
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    QVERIFY(!field->isFieldFocused());
    QSignalSpy focus(field, &GXTextField::focusChanged);
    // The icon area, left of the text.
    QTest::mouseClick(field, Qt::LeftButton, {}, QPoint(14, field->height() / 2));
    QVERIFY(field->isFieldFocused());
    QCOMPARE(focus.count(), 1);
    QCOMPARE(focus.first().first().toBool(), true);
}

namespace {

// Texts for the segmentation cases, each repeated past the steps' look-back and a chunk of the count.
QString repeatedTo(const QString &piece, qsizetype size)
{
    QString text;
    while (text.size() < size)
        text += piece;
    return text;
}

QList<qsizetype> wholeTextBoundaries(const QString &text)
{
    QList<qsizetype> bounds;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Grapheme, text);
    for (qsizetype b = 0; b >= 0; b = finder.toNextBoundary())
        bounds.append(b);
    return bounds;
}

} // namespace

void TestKitControls::textBoundsReadLocallyAsTheWholeTextSegments_data()
{
    QTest::addColumn<QString>("text");
    QTest::newRow("words and CR LF") << repeatedTo(QStringLiteral("build broke\r\nagain, twice. "), 9000);
    QTest::newRow("combining runs") << repeatedTo(QStringLiteral("e\u0301\u0323 a\u0300\u0300\u0300\u0300 "),
                                                  9000);
    QTest::newRow("emoji without a blank")
        << repeatedTo(QStringLiteral("\U0001F921\U0001F44D\U0001F3FD\u2615\uFE0F\U0001F4A2"), 9000);
    QTest::newRow("ZWJ families") << repeatedTo(
        QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D"
                       "\U0001F466\U0001F469\u200D\U0001F4BB"),
        9000);
    QTest::newRow("a long run of flags")
        << QStringLiteral("x") + repeatedTo(QStringLiteral("\U0001F1E9\U0001F1EA\U0001F1EB\U0001F1F7"), 9000);
    QTest::newRow("right to left with marks")
        << repeatedTo(QStringLiteral("\u05E9\u05C1\u05B8\u05DC\u05D5\u05B9\u05DD \u0627\u064E\u0644 "), 9000);
    QTest::newRow("Hangul jamo and Devanagari")
        << repeatedTo(QStringLiteral("\u1100\u1161\u11A8\u0915\u094D\u0937\u093F "), 9000);
}

void TestKitControls::textBoundsReadLocallyAsTheWholeTextSegments()
{
    QFETCH(QString, text);
    const QList<qsizetype> bounds = wholeTextBoundaries(text);
    QCOMPARE(TextBounds::countGraphemes(text), bounds.size() - 1);
    QCOMPARE(TextBounds::countGraphemes(text, 100), 101);
    qsizetype b = 0;
    for (qsizetype pos = 0; pos <= text.size(); ++pos) {
        while (b + 1 < bounds.size() && bounds[b + 1] <= pos)
            ++b;
        const bool at = bounds[b] == pos;
        if (TextBounds::isGraphemeBoundary(text, pos) != at)
            QFAIL(qPrintable(QStringLiteral("boundary at %1").arg(pos)));
        const qsizetype next = at ? (b + 1 < bounds.size() ? bounds[b + 1] : pos) : bounds[b + 1];
        if (TextBounds::nextGrapheme(text, pos) != next)
            QFAIL(qPrintable(QStringLiteral("next from %1").arg(pos)));
        const qsizetype previous = at ? (b > 0 ? bounds[b - 1] : 0) : bounds[b];
        if (TextBounds::previousGrapheme(text, pos) != previous)
            QFAIL(qPrintable(QStringLiteral("previous from %1").arg(pos)));
    }
}

void TestKitControls::editorLaysOutOnlyWhatItShows_data()
{
    QTest::addColumn<QString>("piece");
    QTest::newRow("words") << QStringLiteral("the vorping simulator crashed again ");
    QTest::newRow("one long word") << QStringLiteral("x");
    QTest::newRow("colour emoji") << QStringLiteral("\U0001F921\U0001F4A2\U0001F9E8");
    QTest::newRow("right to left") << QStringLiteral("\u05E9\u05DC\u05D5\u05DD \u05E2\u05D5\u05DC\u05DD ");
}

void TestKitControls::editorLaysOutOnlyWhatItShows()
{
    QFETCH(QString, piece);
    const QString megabyte = repeatedTo(piece, 1'000'000);
    const auto shown = [](const QString &text, qsizetype cursor) {
        LineEditor editor;
        editor.setFont(Fonts::rounded(13, QFont::DemiBold));
        editor.resize(190, 28);
        editor.setText(text);
        editor.setCursorPosition(cursor);
        return std::pair{editor.grab().toImage(), editor.laidOutSpan()};
    };
    // At either end the field shows what a field holding only that end of the text shows.
    const qsizetype tailStart = TextBounds::snapToGrapheme(megabyte, megabyte.size() - 2000);
    const QString head = megabyte.left(TextBounds::snapToGrapheme(megabyte, 2000));
    const QString tail = megabyte.mid(tailStart);
    const auto [atEnd, endSpan] = shown(megabyte, megabyte.size());
    QCOMPARE(atEnd, shown(tail, tail.size()).first);
    QVERIFY(endSpan.second == megabyte.size() && endSpan.second - endSpan.first < 4096);
    const auto [atHome, homeSpan] = shown(megabyte, 0);
    QCOMPARE(atHome, shown(head, 0).first);
    QVERIFY(homeSpan.first == 0 && homeSpan.second < 4096);

    // Walking and typing keep the cursor in the box and the layout near it.
    LineEditor editor;
    editor.setFont(Fonts::rounded(13, QFont::DemiBold));
    editor.resize(190, 28);
    editor.setText(megabyte);
    QSignalSpy changed(&editor, &LineEditor::textChanged);
    for (const char *step : {"Left", "Ctrl+Left", "Left", "=q", "Home", "Right", "=w", "Backspace", "End"}) {
        for (int i = 0; i < 40; ++i) {
            LineEditorKeyTable::play(&editor, QString::fromLatin1(step));
            const auto [from, to] = editor.laidOutSpan();
            QVERIFY(from <= editor.cursorPosition() && editor.cursorPosition() <= to);
            QVERIFY(to - from < 4096);
            QVERIFY(editor.rect().contains(editor.cursorRect().center()));
        }
    }
    QCOMPARE(editor.text().size(), megabyte.size() + 40);
    QCOMPARE(changed.count(), 120);
}

void TestKitControls::editorMouseSelects()
{
    LineEditor editor;
    editor.resize(300, 28);
    editor.setText(QStringLiteral("printer on fire"));
    editor.show();
    QVERIFY(QTest::qWaitForWindowExposed(&editor));
    const int y = editor.height() / 2;
    const auto xOf = [&](qsizetype pos) {
        editor.setCursorPosition(pos);
        return editor.cursorRect().center().x();
    };
    const int onX = xOf(9), fireX = xOf(13), startX = xOf(0);
    QTest::mouseClick(&editor, Qt::LeftButton, {}, QPoint(onX, y));
    QCOMPARE(editor.cursorPosition(), qsizetype(9));
    QTest::mouseClick(&editor, Qt::LeftButton, Qt::ShiftModifier, QPoint(fireX, y));
    QCOMPARE(editor.selectedText(), QStringLiteral("n fi"));
    QTest::mousePress(&editor, Qt::LeftButton, {}, QPoint(startX, y));
    QTest::mouseMove(&editor, QPoint(onX, y));
    QTest::mouseRelease(&editor, Qt::LeftButton, {}, QPoint(onX, y));
    QCOMPARE(editor.selectedText(), QStringLiteral("printer o"));
    QTest::mouseDClick(&editor, Qt::LeftButton, {}, QPoint(fireX, y));
    QCOMPARE(editor.selectedText(), QStringLiteral("fire"));
    QTest::mouseClick(&editor, Qt::LeftButton, {}, QPoint(fireX, y)); // the third click
    QCOMPARE(editor.selectedText(), editor.text());
}

void TestKitControls::editorContextMenuEdits()
{
    LineEditor editor;
    editor.setText(QStringLiteral("abc"));
    editor.setSelection(1, 1);
    QGuiApplication::clipboard()->setText(QStringLiteral("XY"));
    const auto menuOf = [&] {
        std::unique_ptr<QMenu> menu(editor.createStandardContextMenu());
        QStringList enabled;
        for (QAction *action : menu->actions())
            if (!action->isSeparator() && action->isEnabled())
                enabled << action->text().section(u'\t', 0, 0).remove(u'&');
        return std::pair{std::move(menu), enabled};
    };
    const auto trigger = [](QMenu *menu, const QString &title) {
        for (QAction *action : menu->actions())
            if (action->text().section(u'\t', 0, 0).remove(u'&') == title)
                action->trigger();
    };
    auto [menu, enabled] = menuOf();
    QCOMPARE(enabled, (QStringList{"Cut", "Copy", "Paste", "Delete", "Select All"}));
    trigger(menu.get(), QStringLiteral("Delete"));
    QCOMPARE(editor.text(), QStringLiteral("ac"));
    auto [again, nowEnabled] = menuOf();
    QCOMPARE(nowEnabled, (QStringList{"Undo", "Paste", "Select All"}));
    trigger(again.get(), QStringLiteral("Paste"));
    QCOMPARE(editor.text(), QStringLiteral("aXYc"));
    trigger(again.get(), QStringLiteral("Undo"));
    QCOMPARE(editor.text(), QStringLiteral("ac"));
}

void TestKitControls::editorKeepsItsKeysFromWindowShortcuts()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *field = new GXTextField(QStringLiteral("Search"));
    layout->addWidget(field);
    int digit = 0, undo = 0;
    QObject::connect(new QShortcut(QKeySequence(Qt::Key_2), &window), &QShortcut::activated,
                     [&] { ++digit; });
    QObject::connect(new QShortcut(QKeySequence::Undo, &window), &QShortcut::activated, [&] { ++undo; });
    window.show();
    QVERIFY(QTest::qWaitForWindowActive(&window));
    field->lineEdit()->setFocus();
    // Through the window, as a real key press goes, so that the shortcut map sees it.
    QTest::keyClick(window.windowHandle(), Qt::Key_2);
    QTest::keyClick(window.windowHandle(), Qt::Key_Z, Qt::ControlModifier);
    QCOMPARE(digit, 0);
    QCOMPARE(undo, 0);
    QCOMPARE(field->text(), QString()); // typed, then undone by the field itself
    field->lineEdit()->clearFocus();
    QTest::keyClick(window.windowHandle(), Qt::Key_2);
    QCOMPARE(digit, 1);
}

void TestKitControls::editorShowsInputMethodsTheCursorsNeighbourhood()
{
    const QString megabyte = repeatedTo(QStringLiteral("words and more words "), 1'000'000);
    LineEditor editor;
    editor.resize(190, 28);
    editor.setText(megabyte);
    editor.setCursorPosition(500'000);
    const QString around = editor.inputMethodQuery(Qt::ImSurroundingText).toString();
    const int at = editor.inputMethodQuery(Qt::ImCursorPosition).toInt();
    QVERIFY(around.size() < 4096);
    QCOMPARE(megabyte.mid(500'000 - at, around.size()), around);
    QVERIFY(editor.rect().intersects(editor.inputMethodQuery(Qt::ImCursorRectangle).toRect()));

    // A composition shows but is not text until committed; the commit replaces the word before.
    QSignalSpy changed(&editor, &LineEditor::textChanged);
    QInputMethodEvent compose(QStringLiteral("\u3042"), {});
    QApplication::sendEvent(&editor, &compose);
    QCOMPARE(editor.text().size(), megabyte.size());
    QCOMPARE(changed.count(), 0);
    QInputMethodEvent commit;
    commit.setCommitString(QStringLiteral("\u611B"), -6, 6);
    QApplication::sendEvent(&editor, &commit);
    QCOMPARE(editor.text().mid(500'000 - 6, 2), QStringLiteral("\u611B") + megabyte.at(500'000));
    QCOMPARE(editor.cursorPosition(), qsizetype(500'000 - 5));
    QCOMPARE(changed.count(), 1);
}

void TestKitControls::editorIsAnEditableTextToAssistiveTechnology()
{
    LineEditor editor;
    editor.setPlaceholderText(QStringLiteral("Search"));
    editor.setText(QStringLiteral("printer"));
    QAccessibleInterface *a11y = QAccessible::queryAccessibleInterface(&editor);
    QVERIFY(a11y);
    QCOMPARE(a11y->role(), QAccessible::EditableText);
    QCOMPARE(a11y->text(QAccessible::Name), QStringLiteral("Search"));
    QCOMPARE(a11y->text(QAccessible::Value), QStringLiteral("printer"));
    QVERIFY(a11y->state().editable);
    QAccessibleTextInterface *text = a11y->textInterface();
    QVERIFY(text);
    QCOMPARE(text->characterCount(), 7);
    QCOMPARE(text->cursorPosition(), 7);
    text->setSelection(0, 1, 4);
    QCOMPARE(editor.selectedText(), QStringLiteral("rin"));
    a11y->editableTextInterface()->insertText(0, QStringLiteral("my "));
    QCOMPARE(editor.text(), QStringLiteral("my printer"));
}

void TestKitControls::dropdownShowsCurrent()
{
    QList<GXOption> opts = options(3);
    opts[1].emoji = QStringLiteral("🐛");
    GXDropdown dropdown(opts, QStringLiteral("v1"), 180);
    QCOMPARE(dropdown.currentOption()->label, QStringLiteral("Option 1"));
    QCOMPARE(dropdown.sizeHint(), QSize(180, 32));
    dropdown.setSelection(QStringLiteral("nothing"));
    QVERIFY(!dropdown.currentOption());
    // Without an overlay host there is nothing to open.
    QVERIFY(!dropdown.openMenu());
}

void TestKitControls::dropdownSymbolTakesInk_data()
{
    QTest::addColumn<ColorScheme>("scheme");
    QTest::newRow("light") << ColorScheme::Light;
    QTest::newRow("dark") << ColorScheme::Dark;
}

// A text symbol (not a colour emoji) before the closed field's label is drawn in the ink of the
// look, like the label, not in the painter's default black.
void TestKitControls::dropdownSymbolTakesInk()
{
    QFETCH(ColorScheme, scheme);
    const Theme::ScopedScheme forced(scheme);
    QList<GXOption> opts = options(2);
    opts[0].emoji = QString(QChar(0x2731));
    GXDropdown dropdown(opts, QStringLiteral("v0"), 180);
    dropdown.resize(dropdown.sizeHint());
    QImage image(dropdown.size(), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    dropdown.render(&image);
    const QColor field = Theme::well.resolve();
    const QColor ink = Theme::ink.resolve();
    auto distance = [](const QColor &a, const QColor &b) {
        return qAbs(a.red() - b.red()) + qAbs(a.green() - b.green()) + qAbs(a.blue() - b.blue());
    };
    // The symbol's box: from the field's left padding, inside the border.
    QColor strongest = field;
    for (int y = 8; y < 24; ++y)
        for (int x = 10; x < 24; ++x) {
            const QColor c = image.pixelColor(x, y);
            if (distance(c, field) > distance(strongest, field))
                strongest = c;
        }
    QVERIFY2(distance(strongest, field) > 200, qPrintable(strongest.name()));
    QVERIFY2(distance(strongest, ink) < 60,
             qPrintable(strongest.name() + QStringLiteral(" vs ") + ink.name()));
}

void TestKitControls::dropdownPicksByMouse()
{
    Host host;
    auto *dropdown =
        new GXDropdown(options(4), QStringLiteral("v1"), 180, std::nullopt, false, &host.content);
    dropdown->move(20, 20);
    host.show();
    QSignalSpy changed(dropdown, &GXDropdown::selectionChanged);
    QSignalSpy activated(dropdown, &GXDropdown::activated);
    QTest::mouseClick(dropdown, Qt::LeftButton);
    QVERIFY(dropdown->isMenuOpen());
    DropdownMenu *menu = dropdown->menu();
    QCOMPARE(menu->rows().size(), 4);
    QVERIFY(menu->rows().at(1)->isSelected());
    QVERIFY(!menu->isScrolling());
    // A click on the field while open lands on the backdrop: the menu closes and stays closed.
    const QPoint onField = dropdown->mapTo(&host.content, QPoint(10, 10));
    QWidget *under = host.content.childAt(onField);
    QVERIFY(under != dropdown);
    QTest::mouseClick(under, Qt::LeftButton, {}, under->mapFrom(&host.content, onField));
    QVERIFY(!host.center->popup());
    QCOMPARE(activated.count(), 0);

    QTest::mouseClick(dropdown, Qt::LeftButton);
    QTest::mouseClick(dropdown->menu()->rows().at(3), Qt::LeftButton);
    QCOMPARE(dropdown->selection().toString(), QStringLiteral("v3"));
    QCOMPARE(changed.count(), 1);
    QVERIFY(!host.center->popup());
    // Picking the selected option again closes the menu and changes nothing.
    QTest::mouseClick(dropdown, Qt::LeftButton);
    QVERIFY(dropdown->menu()->rows().at(3)->isSelected());
    QTest::mouseClick(dropdown->menu()->rows().at(3), Qt::LeftButton);
    QCOMPARE(changed.count(), 1);
    QCOMPARE(activated.count(), 2);
    QVERIFY(!host.center->popup());
}

void TestKitControls::dropdownKeyboard()
{
    Host host;
    auto *dropdown =
        new GXDropdown(options(3), QStringLiteral("v0"), 180, std::nullopt, false, &host.content);
    host.show();
    dropdown->setFocus();
    QTest::keyClick(dropdown, Qt::Key_Down);
    QVERIFY(dropdown->isMenuOpen());
    DropdownMenu *menu = dropdown->menu();
    QTest::keyClick(menu, Qt::Key_Down);
    QTest::keyClick(menu, Qt::Key_Down);
    QCOMPARE(menu->current(), 1);
    QVERIFY(menu->rows().at(1)->isHighlighted());
    QTest::keyClick(menu, Qt::Key_Up);
    QTest::keyClick(menu, Qt::Key_Up); // wraps to the last row
    QCOMPARE(menu->current(), 2);
    QTest::keyClick(menu, Qt::Key_Return);
    QCOMPARE(dropdown->selection().toString(), QStringLiteral("v2"));
    QVERIFY(!host.center->popup());
    // Escape closes without picking.
    dropdown->setFocus();
    QTest::keyClick(dropdown, Qt::Key_Space);
    QVERIFY(dropdown->isMenuOpen());
    QTest::keyClick(dropdown->menu(), Qt::Key_Down);
    QTest::keyClick(dropdown->menu(), Qt::Key_Escape);
    QVERIFY(!host.center->popup());
    QCOMPARE(dropdown->selection().toString(), QStringLiteral("v2"));
}

void TestKitControls::dropdownRingFollowsHowItWasReached()
{
    Host host;
    auto *before = new QPushButton(QStringLiteral("before"), &host.content);
    auto *dropdown =
        new GXDropdown(options(3), QStringLiteral("v0"), 180, std::nullopt, false, &host.content);
    dropdown->move(20, 60);
    host.show();

    // Opened by a click and closed with Escape: no ring is left behind.
    QTest::mouseClick(dropdown, Qt::LeftButton);
    QVERIFY(dropdown->isMenuOpen());
    QTest::keyClick(dropdown->menu(), Qt::Key_Escape);
    QVERIFY(!host.center->popup());
    QVERIFY(!dropdown->showsFocusRing());

    // Reached with Tab it shows where the keyboard is, and loses the ring with the focus.
    before->setFocus();
    QTest::keyClick(before, Qt::Key_Tab);
    QTRY_VERIFY(dropdown->hasFocus());
    QVERIFY(dropdown->showsFocusRing());
    // Its menu opened and closed from the keyboard hands the keyboard, and the ring, back.
    QTest::keyClick(dropdown, Qt::Key_Space);
    QVERIFY(dropdown->isMenuOpen());
    QTest::keyClick(dropdown->menu(), Qt::Key_Escape);
    QVERIFY(!host.center->popup());
    QVERIFY(dropdown->hasFocus());
    QVERIFY(dropdown->showsFocusRing());
    before->setFocus();
    QVERIFY(!dropdown->showsFocusRing());
}

void TestKitControls::dropdownScrollsFromFifteen()
{
    Host host;
    auto *fourteen =
        new GXDropdown(options(14), QStringLiteral("v0"), 180, std::nullopt, false, &host.content);
    auto *fifteen =
        new GXDropdown(options(15), QStringLiteral("v0"), 180, std::nullopt, false, &host.content);
    host.show();
    fourteen->openMenu();
    QVERIFY(!fourteen->menu()->isScrolling());
    QCOMPARE(fourteen->menu()->height(), 14 * 30 + 13 + 10);
    host.center->dismiss();
    fifteen->openMenu();
    QVERIFY(fifteen->menu()->isScrolling());
    QCOMPARE(fifteen->menu()->height(), DropdownMenu::kScrollHeight);
    // A divider before the first option still draws above it.
    QList<GXOption> opts = options(2);
    opts[0].dividerBefore = true;
    DropdownMenu menu(opts, QStringLiteral("v0"));
    QVERIFY(menu.rows().first()->y() > 5 || menu.sizeHint().height() > 2 * 30 + 1 + 10);
}

void TestKitControls::dropdownMenuPlacement()
{
    Host host;
    auto *narrow = new GXDropdown(options(3), QStringLiteral("v0"), 120, std::nullopt, false, &host.content);
    narrow->move(200, 40);
    auto *trailing = new GXDropdown(options(3), QStringLiteral("v0"), 120, 240.0, true, &host.content);
    trailing->move(760, 40);
    host.show();
    narrow->openMenu();
    const auto popup = *host.center->popup();
    QCOMPARE(popup.width, 120.0);
    QCOMPARE(popup.anchor, QRectF(200, 40, 120, 32));
    // The card lines up with the field, the surface's shadow room aside.
    auto *surface = qobject_cast<PopoverSurface *>(popup.content.data());
    QVERIFY(surface);
    QCOMPARE(surface->geometry().left() + PopoverSurface::shadowMargins().left(), 200);
    QCOMPARE(surface->cardRect().width(), 120);
    QCOMPARE(surface->geometry().top() + PopoverSurface::shadowMargins().top(), 40 + 32 + 6);
    host.center->dismiss();
    trailing->openMenu();
    const auto right = *host.center->popup();
    QCOMPARE(right.width, 240.0);
    // Right edge at 880 would leave the window: kept 12 inside an 800-wide host.
    QCOMPARE(right.content->geometry().left() + PopoverSurface::shadowMargins().left(), 800 - 240 - 12);
}

void TestKitControls::iconButton()
{
    int runs = 0;
    IconButton button(QStringLiteral("trash"), Theme::red, std::nullopt, [&] { ++runs; });
    QCOMPARE(button.toolTip(), QString());
    QCOMPARE(button.sizeHint(), QSize(28, 28));
    QCOMPARE(button.symbolOpacity(), 0.7);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(runs, 1);
    button.setEnabled(false);
    QCOMPARE(button.symbolOpacity(), 0.25);
    QTest::mouseClick(&button, Qt::LeftButton);
    QCOMPARE(runs, 1);
    IconButton helped(QStringLiteral("trash"), Theme::red, QStringLiteral("Delete incident"));
    QCOMPARE(helped.toolTip(), QStringLiteral("Delete incident"));
}

void TestKitControls::chunkyButtonSinks()
{
    ChunkyButton button(QStringLiteral("Save trigger"), Theme::red, Theme::white);
    ChunkyButton compact(QStringLiteral("Save trigger"), Theme::red, Theme::white, true);
    QVERIFY(compact.sizeHint().width() < button.sizeHint().width());
    QVERIFY(compact.sizeHint().height() < button.sizeHint().height());
    button.resize(button.sizeHint());
    int clicks = 0;
    connect(&button, &QAbstractButton::clicked, [&] { ++clicks; });
    QTest::mousePress(&button, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(button.sink(), ChunkyButton::kLift);
    QTest::mouseRelease(&button, Qt::LeftButton, {}, QPoint(2, 2));
    QCOMPARE(button.sink(), 0.0);
    QCOMPARE(clicks, 1);
    // The transparent corner takes clicks too.
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(button.width() - 1, 0));
    QCOMPARE(clicks, 2);
}

void TestKitControls::ghostButton()
{
    GhostButton ghost(QStringLiteral("Dismiss"));
    int clicks = 0;
    connect(&ghost, &QAbstractButton::clicked, [&] { ++clicks; });
    QTest::mouseClick(&ghost, Qt::LeftButton);
    QCOMPARE(clicks, 1);
    QVERIFY(ghost.sizeHint().height() >= 10);
}

void TestKitControls::banner()
{
    struct Unlocked
    {
        QString emoji = QStringLiteral("🏆");
        QString title = QStringLiteral("First Blood");
    };
    AchievementBanner banner{Unlocked{}};
    QCOMPARE(banner.emoji(), QStringLiteral("🏆"));
    QCOMPARE(banner.title(), QStringLiteral("First Blood"));
    QSignalSpy left(&banner, &AchievementBanner::left);
    banner.enter();
    QVERIFY(banner.isVisible());
    banner.leave();
    QVERIFY(left.wait(2000));
    QVERIFY(!banner.isVisible());
}

QTEST_MAIN(TestKitControls)
#include "tst_kit_controls.moc"
