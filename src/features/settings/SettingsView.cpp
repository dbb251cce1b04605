#include "features/settings/SettingsView.h"

#include "app/AppModel.h"
#include "app/StatusItem.h"
#include "features/settings/SettingsDataCard.h"
#include "features/settings/SettingsPanel.h"
#include "features/settings/SettingsText.h"
#include "features/settings/ShortcutRecorder.h"
#include "features/settings/SkinTile.h"
#include "features/settings/SoundRow.h"
#include "models/Prefs.h"
#include "platform/Autostart.h"
#include "services/HotKeyService.h"
#include "services/NotificationService.h"
#include "services/SoundService.h"
#include "services/UpdateService.h"
#include "ui/ChunkyButton.h"
#include "ui/ChunkySegmented.h"
#include "ui/Fonts.h"
#include "ui/GXToggles.h"
#include "ui/Labels.h"
#include "ui/PageHeader.h"
#include "ui/PageScroll.h"
#include "ui/ThemedLabel.h"

#include <QHBoxLayout>
#include <QVBoxLayout>

namespace {

SoundChoice storedSound(const Prefs &prefs)
{
    return soundChoiceFromRaw(prefs.sound()).value_or(SoundChoice::thunk);
}

ThemedLabel *inkText(const QString &text, const QFont &font)
{
    return new ThemedLabel(text, font, Theme::ink);
}

// One of the page's two columns. It asks for no more than its narrowest, so the row shares the
// width equally instead of by what the columns' contents would like.
class PageColumn : public QWidget
{
public:
    PageColumn() { setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred); }
    QSize sizeHint() const override { return {minimumSizeHint().width(), QWidget::sizeHint().height()}; }
};

} // namespace

QString SettingsView::shortcutHint() const
{
    return SettingsText::shortcutHint(m_model.hotKeyRegistered(),
                                      m_services.hotKeys && m_services.hotKeys->bindsThroughDesktop(),
                                      m_services.hotKeys ? m_services.hotKeys->keptByDesktop() : QString());
}

SettingsView::SettingsView(AppModel &model, SettingsServices services, QWidget *parent)
    : QWidget(parent), m_model(model), m_services(std::move(services))
{
    QVBoxLayout *column = nullptr;
    makePageScroll(this, &column, 26);
    column->addWidget(new PageHeader(QStringLiteral("Settings"), QStringLiteral("Adjust the chaos.")));

    SettingsPanel *shortcut = shortcutPanel();
    // The cards stand 22 apart from edge to edge, their slabs in the gaps.
    const int room = shortcut->slabRoom();
    auto *columns = new CardRow(QBoxLayout::LeftToRight, 22, room);
    auto *leftColumn = new PageColumn;
    auto *rightColumn = new PageColumn;
    leftColumn->setObjectName(QStringLiteral("leftColumn"));
    rightColumn->setObjectName(QStringLiteral("rightColumn"));
    auto *left = new QVBoxLayout(leftColumn);
    auto *right = new QVBoxLayout(rightColumn);
    for (QVBoxLayout *side : {left, right}) {
        side->setContentsMargins(0, 0, 0, 0);
        side->setSpacing(22 - room);
    }
    left->addWidget(shortcut);
    left->addWidget(skinPanel());
    left->addWidget(soundPanel());
    left->addStretch(1);
    right->addWidget(behaviorPanel());
    right->addWidget(updatesPanel());
    right->addWidget(notificationsPanel());
    right->addWidget(privacyPanel());
    m_data = new SettingsDataCard(m_model, m_services.chooseExportFile);
    right->addWidget(m_data);
    right->addStretch(1);
    columns->addWidget(leftColumn, 1);
    columns->addWidget(rightColumn, 1);
    column->addLayout(columns);
    column->addStretch(1);

    connect(&m_model.prefs(), &Prefs::changed, this, &SettingsView::syncPreference);
    syncPreference(QString());
}

SettingsPanel *SettingsView::shortcutPanel()
{
    auto *panel = new SettingsPanel(QStringLiteral("Panic shortcut"));
    m_recorder = new ShortcutRecorder(m_model, m_services.hotKeys);
    m_shortcutNote = SettingsPanel::note(shortcutHint());
    panel->add(m_recorder);
    panel->add(m_shortcutNote);
    connect(&m_model, &AppModel::hotKeyRegisteredChanged, this,
            [this] { m_shortcutNote->setText(shortcutHint()); });
    if (m_services.hotKeys)
        connect(m_services.hotKeys, &HotKeyService::registrationKept, this,
                [this] { m_shortcutNote->setText(shortcutHint()); });
    return panel;
}

SettingsPanel *SettingsView::skinPanel()
{
    auto *panel = new SettingsPanel(QStringLiteral("Button skin"));
    auto *grid = new SkinGrid;
    for (const ButtonSkin &skin : ButtonSkin::allCases()) {
        auto *tile = new SkinTile(skin);
        connect(tile, &QAbstractButton::clicked, this, [this, skin] { pickSkin(skin); });
        grid->addTile(tile);
        m_skinTiles << tile;
    }
    panel->add(grid);
    return panel;
}

SettingsPanel *SettingsView::soundPanel()
{
    auto *panel = new SettingsPanel(QStringLiteral("Sound"));
    auto *list = new QVBoxLayout;
    list->setSpacing(6);
    for (SoundGroup soundGroup : allSoundGroups()) {
        auto *header = new ThemedLabel(rawValue(soundGroup).toUpper(), captionFont(), Theme::dim);
        header->setContentsMargins(10, m_soundHeaders.isEmpty() ? 0 : 10, 0, 0);
        list->addWidget(header);
        m_soundHeaders << header;
        for (SoundChoice choice : allSoundChoices()) {
            if (group(choice) != soundGroup)
                continue;
            auto *row = new SoundRow(choice);
            connect(row, &QAbstractButton::clicked, this, [this, choice] { pickSound(choice); });
            list->addWidget(row);
            m_soundRows << row;
        }
    }
    panel->add(list);
    return panel;
}

SettingsPanel *SettingsView::behaviorPanel()
{
    auto *panel = new SettingsPanel(QStringLiteral("Behavior"));
    auto *lookRow = new QHBoxLayout;
    lookRow->addWidget(inkText(QStringLiteral("Look"), Fonts::rounded(13, QFont::DemiBold)));
    lookRow->addStretch(1);
    QStringList labels;
    for (AppearanceOption option : Appearances::all())
        labels << Appearances::label(option);
    m_look = new ChunkySegmented(labels);
    lookRow->addWidget(m_look);
    panel->add(lookRow);
    connect(m_look, &ChunkySegmented::activated, this, [this](int index) {
        m_model.prefs().setAppearance(Appearances::rawValue(Appearances::all().value(index)));
        if (m_services.applyAppearance)
            m_services.applyAppearance();
    });

    Prefs &prefs = m_model.prefs();
    m_showHUD = new GXSwitch(QStringLiteral("Show toast after the shortcut"));
    connect(m_showHUD, &QAbstractButton::clicked, this, [&prefs](bool on) { prefs.setShowHUD(on); });
    m_autoClose = new GXSwitch(QStringLiteral("Close the tray panel after logging"));
    connect(m_autoClose, &QAbstractButton::clicked, this, [&prefs](bool on) { prefs.setAutoClosePanel(on); });
    m_showCount = new GXSwitch(QStringLiteral("Show today's count in the tray"));
    connect(m_showCount, &QAbstractButton::clicked, this, [this](bool on) {
        m_model.prefs().setShowCountInMenuBar(on);
        if (StatusItem *item = m_model.statusItem())
            item->updateTitle(m_model.todayCount());
    });
    m_launchAtLogin = new GXSwitch(QStringLiteral("Launch at login"));
    m_launchAtLogin->setEnabled(m_services.autostart != nullptr);
    m_launchAtLogin->setChecked(m_services.autostart && m_services.autostart->isEnabled());
    connect(m_launchAtLogin, &QAbstractButton::clicked, this, &SettingsView::setLaunchAtLogin);
    m_launchProblem = SettingsPanel::problemNote();
    for (QWidget *w : std::initializer_list<QWidget *>{m_showHUD, m_autoClose, m_showCount, m_launchAtLogin,
                                                       m_launchProblem})
        panel->add(w);
    return panel;
}

void SettingsView::setLaunchAtLogin(bool on)
{
    QString error;
    if (m_services.autostart && m_services.autostart->setEnabled(on, &error)) {
        m_launchProblem->hide();
        return;
    }
    // The switch shows what the desktop will really do at the next login.
    m_launchAtLogin->setChecked(m_services.autostart && m_services.autostart->isEnabled());
    m_launchProblem->setText(error.isEmpty() ? QStringLiteral("Could not change the login item.") : error);
    m_launchProblem->show();
}

SettingsPanel *SettingsView::updatesPanel()
{
    auto *panel = new SettingsPanel(QStringLiteral("Updates"));
    UpdateService *updates = m_services.updates;
    m_automaticUpdates = new GXSwitch(QStringLiteral("Check for updates automatically"));
    connect(m_automaticUpdates, &QAbstractButton::clicked, this, [updates](bool on) {
        if (updates)
            updates->setAutomaticallyChecks(on);
    });
    m_checkNow = new ChunkyButton(QStringLiteral("Check now"), Theme::card, Theme::ink, true);
    connect(m_checkNow, &QAbstractButton::clicked, this, [this, updates] {
        if (!updates)
            return;
        window()->activateWindow();
        updates->checkForUpdates();
    });
    auto *row = new QHBoxLayout;
    row->addWidget(m_checkNow);
    row->addStretch(1);
    m_version = new ThemedLabel(QStringLiteral("Version ") + UpdateService::versionString(),
                                Fonts::mono(11, QFont::DemiBold), Theme::dim);
    row->addWidget(m_version);
    m_updateNote = SettingsPanel::note(
        SettingsText::updateNote(updates && updates->isConfigured() ? updates->feedUrl() : QUrl(),
                                 SettingsText::currentInstallation()));
    panel->add(m_automaticUpdates);
    panel->add(row);
    panel->add(m_updateNote);
    if (updates)
        connect(updates, &UpdateService::automaticallyChecksChanged, this, &SettingsView::syncUpdates);
    syncUpdates();
    return panel;
}

void SettingsView::syncUpdates()
{
    const bool configured = m_services.updates && m_services.updates->isConfigured();
    m_automaticUpdates->setEnabled(configured);
    m_checkNow->setEnabled(configured);
    m_automaticUpdates->setChecked(configured && m_services.updates->automaticallyChecks());
}

SettingsPanel *SettingsView::notificationsPanel()
{
    auto *panel = new SettingsPanel(QStringLiteral("Notifications"));
    Prefs &prefs = m_model.prefs();
    m_notifyFriday = new GXSwitch(QStringLiteral("Friday report, every Friday at 16:00"));
    connect(m_notifyFriday, &QAbstractButton::clicked, this,
            [&prefs](bool on) { prefs.setNotifyFriday(on); });
    m_notifyRecord = new GXSwitch(QStringLiteral("New personal record"));
    connect(m_notifyRecord, &QAbstractButton::clicked, this,
            [&prefs](bool on) { prefs.setNotifyRecord(on); });
    m_notifyCalm = new GXSwitch(QStringLiteral("Unusually calm day (17:00)"));
    connect(m_notifyCalm, &QAbstractButton::clicked, this, [&prefs](bool on) { prefs.setNotifyCalm(on); });
    m_allowNotifications =
        new ChunkyButton(QStringLiteral("Allow notifications\u2026"), Theme::card, Theme::ink, true);
    NotificationService *notifications = m_services.notifications;
    connect(m_allowNotifications, &QAbstractButton::clicked, this, [notifications] {
        if (notifications)
            notifications->requestAuthorization();
    });
    panel->add(m_notifyFriday);
    panel->add(m_notifyRecord);
    panel->add(m_notifyCalm);
    panel->add(m_allowNotifications);
    panel->layout()->setAlignment(m_allowNotifications, Qt::AlignLeft);
    return panel;
}

SettingsPanel *SettingsView::privacyPanel()
{
    auto *panel = new SettingsPanel(QStringLiteral("Privacy"));
    auto *stack = new QVBoxLayout;
    stack->setSpacing(6);
    stack->addWidget(new ThemedLabel(QStringLiteral("Your frustration is your business."),
                                     Fonts::rounded(14, QFont::ExtraBold), Theme::ink, true));
    const QStringList bullets{
        QStringLiteral("Stored only on this computer. No account, no cloud, no telemetry."),
        QStringLiteral("Knows: time, the app you were in, the trigger and note you add."),
        QStringLiteral("Never: window titles, URLs, screenshots, emails or messages."),
        QStringLiteral("Network: an optional update check."),
    };
    for (const QString &bullet : bullets)
        stack->addWidget(new ThemedLabel(QStringLiteral("\u2022 ") + bullet,
                                         Fonts::rounded(12, QFont::Medium), Theme::dim, true));
    panel->add(stack);
    return panel;
}

void SettingsView::pickSkin(ButtonSkin skin)
{
    m_model.prefs().setButtonSkin(skin.rawValue());
    if (m_services.sound)
        m_services.sound->play();
}

void SettingsView::pickSound(SoundChoice choice)
{
    if (m_services.sound)
        m_services.sound->play(choice);
    m_model.prefs().setSound(rawValue(choice));
}

void SettingsView::syncPreference(const QString &key)
{
    const Prefs &prefs = m_model.prefs();
    const bool all = key.isEmpty();
    if (all || key == PrefKey::buttonSkin) {
        const ButtonSkin chosen = ButtonSkin::effective(prefs.buttonSkin());
        for (SkinTile *tile : m_skinTiles)
            tile->setSelected(tile->skin() == chosen);
    }
    if (all || key == PrefKey::sound) {
        const SoundChoice chosen = storedSound(prefs);
        for (SoundRow *row : m_soundRows)
            row->setSelected(row->choice() == chosen);
    }
    if (all || key == PrefKey::appearance)
        m_look->setSelection(int(Appearances::all().indexOf(Appearances::fromStored(prefs.appearance()))));
    const std::pair<const QString &, std::pair<GXSwitch *, bool>> switches[] = {
        {PrefKey::showHUD, {m_showHUD, prefs.showHUD()}},
        {PrefKey::autoClosePanel, {m_autoClose, prefs.autoClosePanel()}},
        {PrefKey::showCountInMenuBar, {m_showCount, prefs.showCountInMenuBar()}},
        {PrefKey::notifyFriday, {m_notifyFriday, prefs.notifyFriday()}},
        {PrefKey::notifyRecord, {m_notifyRecord, prefs.notifyRecord()}},
        {PrefKey::notifyCalm, {m_notifyCalm, prefs.notifyCalm()}},
    };
    for (const auto &[switchKey, target] : switches) {
        if ((all || key == switchKey) && target.first->isChecked() != target.second)
            target.first->setChecked(target.second);
    }
}
