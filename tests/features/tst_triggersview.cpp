#include "features/overview/OverviewView.h"
#include "features/triggers/AddTriggerCard.h"
#include "features/triggers/EmojiPicker.h"
#include "features/triggers/EmojiPool.h"
#include "features/triggers/TriggerDraft.h"
#include "features/triggers/TriggerRow.h"
#include "features/triggers/TriggersView.h"
#include "models/Store.h"
#include "support/StoredRecords.h"
#include "support/ModelFixture.h"
#include "support/TestSupport.h"
#include "ui/ChunkyButton.h"
#include "ui/DialogCard.h"
#include "ui/GXTextField.h"
#include "ui/IconButton.h"
#include "ui/LiveQueries.h"
#include "ui/OverlayCenter.h"
#include "ui/OverlayHost.h"
#include "ui/PageHeader.h"
#include "ui/ThemedLabel.h"
#include "ui/TriggerGrid.h"

#include <QClipboard>
#include <QLineEdit>
#include <QVBoxLayout>
#include <QtTest>
#include <sqlite3.h>

using namespace TestSupport;

// The triggers page offscreen over a real store: the list, its buttons, the add card, the emoji
// pop-over and the delete confirmation, checked against what the store holds afterwards.
class TestTriggersView : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void init();
    void cleanup();

    void listsEveryTriggerWithItsCount();
    void addThroughTheCard_data();
    void addThroughTheCard();
    void blankNameAddsNothing();
    void movesRenumberTheStoredOrder();
    void hideKeepsTheRowAndLeavesTheChips();
    void deleteAsksAndUncategorizes_data();
    void deleteAsksAndUncategorizes();
    void emojiPickerGridAndFreeField();
    void systemPickerButtonOnlyWhenInstalled();
    void unusualNamesKeepTheRowIntact();
    void failedSaveStaysVisibleAndIsRetried();
    void overlongNameIsRefusedWithAReason_data();
    void overlongNameIsRefusedWithAReason();
    void nameLimitCountsWhatTheMessageSays_data();
    void nameLimitCountsWhatTheMessageSays();

private:
    void makePage(std::function<void()> systemPicker = {});
    TriggerRow *rowFor(const QString &key) const;
    QStringList rowKeys() const;
    // The store as a fresh model reads it from disk.
    QList<Trigger> storedTriggers() const;
    QList<VorpEvent> storedEvents() const;
    DialogCard *openDialog() const;
    void typeName(const QString &name);

    std::unique_ptr<ModelFixture> m_fx;
    std::unique_ptr<QWidget> m_window;
    TriggersView *m_page = nullptr;
    OverlayHost *m_host = nullptr;
};

void TestTriggersView::initTestCase()
{
    TestSupport::isolateFolders();
}

void TestTriggersView::init()
{
    m_fx = std::make_unique<ModelFixture>();
}

void TestTriggersView::cleanup()
{
    m_window.reset();
    m_fx.reset();
}

void TestTriggersView::makePage(std::function<void()> systemPicker)
{
    m_window = std::make_unique<QWidget>();
    m_window->resize(760, 660);
    auto *layout = new QVBoxLayout(m_window.get());
    layout->setContentsMargins(0, 0, 0, 0);
    m_page = new TriggersView(*m_fx->model, std::move(systemPicker));
    layout->addWidget(m_page);
    m_host = OverlayHost::install(m_window.get());
    m_window->show();
    QVERIFY(QTest::qWaitForWindowExposed(m_window.get()));
    m_window->activateWindow();
}

TriggerRow *TestTriggersView::rowFor(const QString &key) const
{
    for (TriggerRow *row : m_page->rows()) {
        if (row->trigger().key == key)
            return row;
    }
    return nullptr;
}

QStringList TestTriggersView::rowKeys() const
{
    QStringList keys;
    for (TriggerRow *row : m_page->rows())
        keys << row->trigger().key;
    return keys;
}

QList<Trigger> TestTriggersView::storedTriggers() const
{
    return StoredRecords::triggers(m_fx->model->store().path());
}

QList<VorpEvent> TestTriggersView::storedEvents() const
{
    return StoredRecords::events(m_fx->model->store().path());
}

DialogCard *TestTriggersView::openDialog() const
{
    return qobject_cast<DialogCard *>(m_host->layer(OverlayLayer::Kind::Dialog)->content());
}

namespace {

// Types `text` as one key press carrying it all, as an input method commits a word.
void typeInto(LineEditor *edit, const QString &text)
{
    edit->setFocus();
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(edit, &press);
}

} // namespace

void TestTriggersView::typeName(const QString &name)
{
    LineEditor *edit = m_page->addCard()->nameField()->lineEdit();
    edit->clear();
    typeInto(edit, name);
}

void TestTriggersView::listsEveryTriggerWithItsCount()
{
    const QDateTime now = m_fx->now;
    m_fx->seed(now, QStringLiteral("bug"));
    m_fx->seed(now.addYears(-2), QStringLiteral("bug"));
    m_fx->seed(now, QStringLiteral("meeting"));
    m_fx->seed(now);                                    // uncategorized: counted nowhere
    m_fx->seed(now, QStringLiteral("custom-deadbeef")); // its trigger is gone: counted nowhere
    Trigger email = m_fx->model->allTriggers().at(1);
    m_fx->model->setTriggerHidden(email, true);
    makePage();

    QCOMPARE(m_page->header()->title(), QStringLiteral("Name your demons."));
    QCOMPARE(m_page->header()->eyebrow(), QStringLiteral("Personalize the humor"));
    QStringList expected;
    for (const auto &builtin : Trigger::defaults())
        expected << QString::fromUtf8(builtin.key);
    QCOMPARE(rowKeys(), expected); // hidden ones included, in stored order
    int total = 0;
    for (TriggerRow *row : m_page->rows())
        total += row->incidentCount();
    QCOMPARE(total, 3);
    QCOMPARE(rowFor(QStringLiteral("bug"))->incidentCount(), 2);
    QCOMPARE(rowFor(QStringLiteral("meeting"))->incidentCount(), 1);

    const QList<TriggerRow *> rows = m_page->rows();
    QVERIFY(!rows.first()->upButton()->isEnabled());
    QVERIFY(rows.first()->downButton()->isEnabled());
    QVERIFY(rows.last()->upButton()->isEnabled());
    QVERIFY(!rows.last()->downButton()->isEnabled());
    TriggerRow *hidden = rowFor(QStringLiteral("email"));
    QCOMPARE(hidden->hideButton()->symbol(), QStringLiteral("eye.slash"));
    QCOMPARE(hidden->hideButton()->toolTip(), QStringLiteral("Show as chip"));
    QCOMPARE(rows.first()->hideButton()->toolTip(), QStringLiteral("Hide from chips"));
    // Built-ins have no delete button, yet every button column lines up.
    for (TriggerRow *row : rows) {
        QVERIFY(row->deleteButton()->isHidden());
        QCOMPARE(row->hideButton()->geometry(), rows.first()->hideButton()->geometry());
    }

    // A log elsewhere shows up at once.
    m_fx->model->log(EventSource::shortcut, AppContext{}, QStringLiteral("meeting"));
    QTRY_COMPARE(rowFor(QStringLiteral("meeting"))->incidentCount(), 2);
}

void TestTriggersView::addThroughTheCard_data()
{
    QTest::addColumn<bool>("byReturn");
    QTest::newRow("Return in the field") << true;
    QTest::newRow("Save trigger") << false;
}

void TestTriggersView::addThroughTheCard()
{
    QFETCH(bool, byReturn);
    makePage();
    AddTriggerCard *card = m_page->addCard();
    QCOMPARE(m_page->newEmoji(), QStringLiteral("\U0001F921"));
    QCOMPARE(card->emojiButton()->emoji(), QStringLiteral("\U0001F921"));
    QVERIFY(!card->saveButton()->isEnabled());

    typeName(QStringLiteral("  Jira\u00A0"));
    QVERIFY(card->saveButton()->isEnabled());
    if (byReturn)
        QTest::keyClick(card->nameField()->lineEdit(), Qt::Key_Return);
    else
        QTest::mouseClick(card->saveButton(), Qt::LeftButton);

    QTRY_COMPARE(m_page->rows().size(), 11);
    TriggerRow *row = m_page->rows().last();
    QCOMPARE(row->trigger().name, QStringLiteral("Jira"));
    QCOMPARE(row->trigger().emoji, QStringLiteral("\U0001F921"));
    QVERIFY(!row->trigger().isBuiltIn);
    QCOMPARE(row->incidentCount(), 0);
    QVERIFY(!row->deleteButton()->isHidden());
    QVERIFY(row->deleteButton()->isEnabled());
    QVERIFY(m_page->rows().at(9)->downButton()->isEnabled()); // no longer the last

    const Trigger stored = storedTriggers().last();
    QCOMPARE(stored.name, QStringLiteral("Jira"));
    QCOMPARE(stored.key, row->trigger().key);
    QCOMPARE(stored.sortOrder, 10);
    QVERIFY(!stored.isHidden);

    QCOMPARE(card->nameField()->text(), QString());
    QVERIFY(!card->saveButton()->isEnabled());
    QVERIFY(EmojiPool::refills().contains(m_page->newEmoji()));
    QCOMPARE(card->emojiButton()->emoji(), m_page->newEmoji());

    // The same name again is a second trigger of its own; no emoji gives the fallback.
    m_page->setNewEmoji(QString());
    typeName(QStringLiteral("Jira"));
    QTest::keyClick(card->nameField()->lineEdit(), Qt::Key_Return);
    QTRY_COMPARE(m_page->rows().size(), 12);
    QCOMPARE(m_page->rows().last()->trigger().emoji, QStringLiteral("\U0001F4A2"));
    QVERIFY(m_page->rows().last()->trigger().key != row->trigger().key);
}

void TestTriggersView::blankNameAddsNothing()
{
    makePage();
    AddTriggerCard *card = m_page->addCard();
    typeName(QStringLiteral(" \t\u3000 "));
    QVERIFY(!card->saveButton()->isEnabled());
    QTest::keyClick(card->nameField()->lineEdit(), Qt::Key_Return);
    m_page->add();
    QCOMPARE(m_fx->model->allTriggers().size(), 10);
    QCOMPARE(m_page->newEmoji(), QStringLiteral("\U0001F921")); // no add, no new emoji
    QCOMPARE(card->nameField()->text(), QStringLiteral(" \t\u3000 "));

    // A zero-width space is a name, not a blank.
    typeName(QStringLiteral("\u200B"));
    QVERIFY(card->saveButton()->isEnabled());
}

void TestTriggersView::movesRenumberTheStoredOrder()
{
    // Gaps from an earlier delete: the orders run 0, 1, 2, 5.
    Store &store = m_fx->model->store();
    const QList<Trigger> all = store.triggers();
    for (int i = 3; i < all.size(); ++i)
        store.removeTrigger(all.at(i).id);
    Trigger last = store.triggers().at(2);
    last.sortOrder = 5;
    store.update(last);
    m_fx->model->addTrigger(QStringLiteral("Jira"), QStringLiteral("x")); // gets 6
    store.save();
    makePage();
    QCOMPARE(rowKeys(), (QStringList{"meeting", "email", "build", rowKeys().last()}));
    const QString jira = rowKeys().last();

    QTest::mouseClick(m_page->rows().at(3)->upButton(), Qt::LeftButton);
    const QStringList expected{"meeting", "email", jira, "build"};
    QTRY_COMPARE(rowKeys(), expected);
    QList<Trigger> stored = storedTriggers();
    for (int i = 0; i < stored.size(); ++i) {
        QCOMPARE(stored.at(i).key, expected.at(i));
        QCOMPARE(stored.at(i).sortOrder, i);
    }

    QTest::mouseClick(m_page->rows().at(0)->downButton(), Qt::LeftButton);
    QTRY_COMPARE(rowKeys(), (QStringList{"email", "meeting", jira, "build"}));

    // Out of range: nothing is written.
    QVERIFY(!store.hasPendingChanges());
    QSignalSpy changes(&store, &Store::changed);
    m_page->move(0, -1);
    m_page->move(3, 1);
    m_page->move(9, -1);
    QCOMPARE(changes.count(), 0);
    QCOMPARE(storedTriggers().first().key, QStringLiteral("email"));
}

void TestTriggersView::hideKeepsTheRowAndLeavesTheChips()
{
    m_fx->seed(m_fx->now, QStringLiteral("build"));
    OverviewView overview(*m_fx->model); // the chips of another page, open at the same time
    makePage();
    auto chipKeys = [&overview] {
        QStringList keys;
        for (const Trigger &t : overview.triggerGrid()->triggers())
            keys << t.key;
        return keys;
    };
    QVERIFY(chipKeys().contains(QStringLiteral("build")));

    TriggerRow *row = rowFor(QStringLiteral("build"));
    const int position = row->position();
    QTest::mouseClick(row->hideButton(), Qt::LeftButton);
    QTRY_COMPARE(rowFor(QStringLiteral("build"))->hideButton()->symbol(), QStringLiteral("eye.slash"));
    row = rowFor(QStringLiteral("build"));
    QCOMPARE(row->position(), position);
    QCOMPARE(row->incidentCount(), 1);
    QVERIFY(row->trigger().isHidden);
    QTRY_VERIFY(!chipKeys().contains(QStringLiteral("build")));
    QVERIFY(storedTriggers().at(position).isHidden);

    QTest::mouseClick(row->hideButton(), Qt::LeftButton);
    QTRY_COMPARE(rowFor(QStringLiteral("build"))->hideButton()->symbol(), QStringLiteral("eye"));
    QTRY_VERIFY(chipKeys().contains(QStringLiteral("build")));
    QVERIFY(!storedTriggers().at(position).isHidden);
}

void TestTriggersView::deleteAsksAndUncategorizes_data()
{
    QTest::addColumn<QString>("answer");
    QTest::newRow("confirm") << "confirm";
    QTest::newRow("Return confirms") << "return";
    QTest::newRow("cancel") << "cancel";
    QTest::newRow("Escape") << "escape";
}

void TestTriggersView::deleteAsksAndUncategorizes()
{
    QFETCH(QString, answer);
    m_fx->model->addTrigger(QStringLiteral("\"Sync\" \U0001F921"), QStringLiteral("\U0001F4DE"));
    const Trigger custom = m_fx->model->allTriggers().last();
    m_fx->seed(m_fx->now, custom.key);
    m_fx->seed(m_fx->now.addDays(-3), custom.key);
    m_fx->seed(m_fx->now, QStringLiteral("bug"));
    makePage();
    // An open emoji pop-over gives way to the dialog.
    m_page->openEmojiPicker();
    QVERIFY(m_host->center()->popup());

    QTest::mouseClick(rowFor(custom.key)->deleteButton(), Qt::LeftButton);
    QVERIFY(!m_host->center()->popup());
    const auto &dialog = m_host->center()->dialog();
    QVERIFY(dialog);
    QCOMPARE(dialog->title, QStringLiteral("Delete \u201C\"Sync\" \U0001F921\u201D?"));
    QCOMPARE(dialog->message,
             QStringLiteral("Its incidents become uncategorized. The suffering remains on record."));
    QCOMPARE(dialog->confirm, QStringLiteral("Delete"));
    QVERIFY(dialog->destructive);
    QTRY_VERIFY(openDialog());

    const bool confirmed = answer == QLatin1String("confirm") || answer == QLatin1String("return");
    if (answer == QLatin1String("confirm"))
        QTest::mouseClick(openDialog()->confirmButton(), Qt::LeftButton);
    else if (answer == QLatin1String("cancel"))
        QTest::mouseClick(openDialog()->cancelButton(), Qt::LeftButton);
    else
        QTest::keyClick(openDialog(), answer == QLatin1String("return") ? Qt::Key_Return : Qt::Key_Escape);
    QTRY_VERIFY(!m_host->center()->dialog());

    if (!confirmed) {
        QVERIFY(rowFor(custom.key));
        QCOMPARE(storedTriggers().size(), 11);
        QCOMPARE(rowFor(custom.key)->incidentCount(), 2);
        return;
    }
    QTRY_VERIFY(!rowFor(custom.key));
    QCOMPARE(m_page->rows().size(), 10);
    QCOMPARE(storedTriggers().size(), 10);
    const QList<VorpEvent> events = storedEvents();
    QCOMPARE(events.size(), 3); // nothing lost
    int uncategorized = 0;
    for (const VorpEvent &event : events)
        uncategorized += event.triggerKey ? 0 : 1;
    QCOMPARE(uncategorized, 2);
    QCOMPARE(rowFor(QStringLiteral("bug"))->incidentCount(), 1);
}

void TestTriggersView::emojiPickerGridAndFreeField()
{
    makePage();
    OverlayCenter *center = m_host->center();
    QTest::mouseClick(m_page->addCard()->emojiButton(), Qt::LeftButton);
    QVERIFY(center->popup());
    QCOMPARE(center->popup()->width, 262.0);
    QVERIFY(!center->popup()->trailing);
    QCOMPARE(center->popup()->anchor.topLeft(), center->frameOf(m_page->addCard()->emojiButton()).topLeft());
    EmojiPicker *picker = m_page->emojiPicker();
    QVERIFY(picker);
    QCOMPARE(picker->cells().size(), 36);
    QTRY_VERIFY(picker->cells().at(7)->isVisible());
    // Six to a row.
    QCOMPARE(picker->cells().at(5)->y(), picker->cells().at(0)->y());
    QVERIFY(picker->cells().at(6)->y() > picker->cells().at(0)->y());

    QTest::mouseClick(picker->cells().at(8), Qt::LeftButton);
    QCOMPARE(m_page->newEmoji(), QStringLiteral("\U0001F5D3\uFE0F"));
    QCOMPARE(m_page->addCard()->emojiButton()->emoji(), m_page->newEmoji());
    QVERIFY(!center->popup());

    // The free field: the first character as typed; empty does nothing and stays open.
    m_page->openEmojiPicker();
    picker = m_page->emojiPicker();
    QTRY_VERIFY(picker->customField()->isVisible());
    QTest::keyClick(picker->customField()->lineEdit(), Qt::Key_Return);
    QVERIFY(center->popup());
    QCOMPARE(m_page->newEmoji(), QStringLiteral("\U0001F5D3\uFE0F"));
    typeInto(picker->customField()->lineEdit(), QStringLiteral("\U0001F44D\U0001F3FD\U0001F921"));
    QTest::keyClick(picker->customField()->lineEdit(), Qt::Key_Return);
    QCOMPARE(m_page->newEmoji(), QStringLiteral("\U0001F44D\U0001F3FD"));
    QVERIFY(!center->popup());

    // Escape closes it with the emoji unchanged; a new opening starts with an empty field.
    m_page->openEmojiPicker();
    picker = m_page->emojiPicker();
    QVERIFY(picker->customField()->text().isEmpty());
    QTRY_VERIFY(picker->customField()->isVisible());
    QTest::keyClick(picker->customField()->lineEdit(), Qt::Key_Escape);
    QVERIFY(!center->popup());
    QCOMPARE(m_page->newEmoji(), QStringLiteral("\U0001F44D\U0001F3FD"));

    // The chosen emoji is what the next trigger gets.
    typeName(QStringLiteral("Thumbs"));
    m_page->add();
    QCOMPARE(m_fx->model->allTriggers().last().emoji, QStringLiteral("\U0001F44D\U0001F3FD"));
}

void TestTriggersView::systemPickerButtonOnlyWhenInstalled()
{
    makePage();
    m_page->openEmojiPicker();
    QVERIFY(!m_page->emojiPicker()->systemPickerButton());
    m_host->center()->dismiss();
    m_window.reset();

    int starts = 0;
    makePage([&starts] { ++starts; });
    m_page->openEmojiPicker();
    GhostButton *button = m_page->emojiPicker()->systemPickerButton();
    QVERIFY(button);
    QVERIFY(!button->text().contains(QStringLiteral("\u2318")));
    QVERIFY(!button->text().contains(QStringLiteral("\u2303")));
    QTRY_VERIFY(button->isVisible());
    QTest::mouseClick(button, Qt::LeftButton);
    QCOMPARE(starts, 1);
    // Starting it neither picks nor closes the pop-over.
    QVERIFY(m_host->center()->popup());
    QCOMPARE(m_page->newEmoji(), QStringLiteral("\U0001F921"));
}

void TestTriggersView::unusualNamesKeepTheRowIntact()
{
    const QStringList names = {
        QString(10000, u'W'),
        QStringLiteral("tab\there\nnew line\u0007bell"),
        QStringLiteral("\u05E4\u05D2\u05D9\u05E9\u05D4 \u05D0\u05E8\u05D5\u05DB\u05D4"),
        QStringLiteral("\u202Eoverride"),
        QStringLiteral("\U0001F921\U0001F921\U0001F921"),
    };
    makePage();
    for (const QString &name : names) {
        typeName(name);
        QTest::keyClick(m_page->addCard()->nameField()->lineEdit(), Qt::Key_Return);
    }
    // QLineEdit drops the control characters as they are typed; the model stores what it gets.
    m_fx->model->addTrigger(names.at(1), QStringLiteral("\n"));
    QTRY_COMPARE(m_page->rows().size(), 16);
    const QList<Trigger> stored = storedTriggers();
    QCOMPARE(stored.at(10).name, names.at(0));
    QCOMPARE(stored.at(12).name, names.at(2));
    QCOMPARE(stored.at(14).name, names.at(4));
    QCOMPARE(stored.at(15).name, names.at(1));

    const int height = m_page->rows().first()->height();
    const int width = m_page->rows().first()->width();
    for (TriggerRow *row : m_page->rows()) {
        QTRY_COMPARE(row->height(), height);
        QTRY_COMPARE(row->width(), width);
        QVERIFY(!row->shownName().contains(QLatin1Char('\n')));
        QVERIFY(!row->grab().isNull());
    }
    const QString longShown = m_page->rows().at(10)->shownName();
    QVERIFY(longShown.endsWith(QChar(0x2026)));
    QVERIFY(longShown.size() < 200);
    // The page does not grow sideways for a long name.
    QVERIFY(m_page->width() <= m_window->width());
}

void TestTriggersView::failedSaveStaysVisibleAndIsRetried()
{
    makePage();
    Store &store = m_fx->model->store();
    store.setBusyTimeout(10);
    sqlite3 *other = nullptr;
    QCOMPARE(sqlite3_open(store.path().toUtf8(), &other), SQLITE_OK);
    QCOMPARE(sqlite3_exec(other, "BEGIN EXCLUSIVE", nullptr, nullptr, nullptr), SQLITE_OK);

    QTest::mouseClick(rowFor(QStringLiteral("wtf"))->hideButton(), Qt::LeftButton);
    QTest::mouseClick(m_page->rows().at(1)->upButton(), Qt::LeftButton);
    QTRY_COMPARE(rowKeys().first(), QStringLiteral("email"));
    QVERIFY(rowFor(QStringLiteral("wtf"))->trigger().isHidden);
    QVERIFY(store.hasPendingChanges());

    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    // The next change saves what was pending with it.
    QTest::mouseClick(rowFor(QStringLiteral("bug"))->hideButton(), Qt::LeftButton);
    QVERIFY(!store.hasPendingChanges());
    const QList<Trigger> stored = storedTriggers();
    QCOMPARE(stored.first().key, QStringLiteral("email"));
    QCOMPARE(stored.at(1).key, QStringLiteral("meeting"));
    for (const Trigger &t : stored)
        QCOMPARE(t.isHidden, t.key == QLatin1String("wtf") || t.key == QLatin1String("bug"));
}

void TestTriggersView::overlongNameIsRefusedWithAReason_data()
{
    QTest::addColumn<QString>("pasted");
    QTest::addColumn<bool>("taken");
    // Behind "Jira": the name is at most 10,000 characters, never a shortened paste.
    QTest::newRow("up to the longest name") << QString(9996, u'N') << true;
    QTest::newRow("one character more") << QString(9997, u'N') << false;
    QTest::newRow("past Qt's own cut at 32,767") << QString(40'000, u'N') << false;
    QTest::newRow("a megabyte") << QString(1 << 20, u'N') << false;
}

void TestTriggersView::overlongNameIsRefusedWithAReason()
{
    QFETCH(QString, pasted);
    QFETCH(bool, taken);
    makePage();
    AddTriggerCard *card = m_page->addCard();
    LineEditor *edit = card->nameField()->lineEdit();
    const QString hint = card->hintLabel()->text();
    typeName(QStringLiteral("Jira"));
    QGuiApplication::clipboard()->setText(pasted);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    const QString expected = QStringLiteral("Jira") + (taken ? pasted : QString());
    QCOMPARE(edit->text(), expected);
    QCOMPARE(card->hintLabel()->text(), taken ? hint : TriggerDraft::tooLongText());
    QVERIFY(card->saveButton()->isEnabled());

    // The next accepted key puts the hint back; Return stores the name whole.
    if (!taken) {
        QTest::keyClick(edit, Qt::Key_S);
        QCOMPARE(card->hintLabel()->text(), hint);
    }
    QTest::keyClick(edit, Qt::Key_Return);
    QTRY_COMPARE(m_page->rows().size(), 11);
    QCOMPARE(storedTriggers().last().name, taken ? expected : QStringLiteral("Jiras"));
}

void TestTriggersView::nameLimitCountsWhatTheMessageSays_data()
{
    QTest::addColumn<QString>("character");
    QTest::addColumn<int>("count"); // pasted behind "Jira", whose four characters count too
    QTest::addColumn<bool>("taken");
    const QString family = QStringLiteral("\U0001F468\u200D\U0001F469\u200D\U0001F467\u200D\U0001F466");
    QTest::newRow("emoji up to the limit") << QStringLiteral("\U0001F921") << 9996 << true;
    QTest::newRow("one emoji more") << QStringLiteral("\U0001F921") << 9997 << false;
    QTest::newRow("joined families up to the limit") << family << 9996 << true;
    QTest::newRow("one joined family more") << family << 9997 << false;
    QTest::newRow("accented letters up to the limit") << QStringLiteral("e\u0301") << 9996 << true;
    QTest::newRow("one accented letter more") << QStringLiteral("e\u0301") << 9997 << false;
    QTest::newRow("6,000 emoji") << QStringLiteral("\U0001F44D\U0001F3FD") << 6000 << true;
    QTest::newRow("a megabyte of emoji") << QStringLiteral("\U0001F921") << 500'000 << false;
}

void TestTriggersView::nameLimitCountsWhatTheMessageSays()
{
    QFETCH(QString, character);
    QFETCH(int, count);
    QFETCH(bool, taken);
    makePage();
    AddTriggerCard *card = m_page->addCard();
    LineEditor *edit = card->nameField()->lineEdit();
    const QString hint = card->hintLabel()->text();
    typeName(QStringLiteral("Jira"));
    const QString pasted = character.repeated(count);
    QGuiApplication::clipboard()->setText(pasted);
    QTest::keyClick(edit, Qt::Key_V, Qt::ControlModifier);
    // Taken whole or refused whole, with the reason.
    const QString expected = QStringLiteral("Jira") + (taken ? pasted : QString());
    QCOMPARE(edit->text(), expected);
    QCOMPARE(card->hintLabel()->text(), taken ? hint : TriggerDraft::tooLongText());
    QTest::keyClick(edit, Qt::Key_Return);
    QTRY_COMPARE(m_page->rows().size(), 11);
    QCOMPARE(storedTriggers().last().name, expected);
}

QTEST_MAIN(TestTriggersView)
#include "tst_triggersview.moc"
