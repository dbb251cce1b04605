#include "features/settings/ShortcutRecorder.h"

#include "app/AppModel.h"
#include "features/settings/RecorderDecision.h"
#include "models/Prefs.h"
#include "services/HotKeyService.h"
#include "ui/Fonts.h"
#include "ui/Labels.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPainter>
#include <QtMath>

namespace {

constexpr qreal kCapSize = 15;
constexpr int kMinWidth = 180, kMinHeight = 34;
// The face's padding, as the chunky button pads its label.
constexpr qreal kPadX = 14, kPadY = 8;
constexpr int kPromptFlags = Qt::AlignCenter | Qt::TextWordWrap;

// The prompt as drawn: when it has to wrap, "(esc cancels)" moves down whole.
QString promptLines()
{
    return RecorderButton::prompt().replace(QStringLiteral("esc cancels"),
                                            QStringLiteral("esc\u00A0cancels"));
}

QFont promptFont()
{
    return Fonts::rounded(13, QFont::DemiBold);
}

} // namespace

RecorderButton::RecorderButton(QWidget *parent)
    : ChunkyButton(QString(), Theme::card, Theme::ink, false, parent)
{
    // Like every button of the kit, reached by Tab only: a click records without taking focus,
    // so the focus ring never shows on a button the keyboard did not bring the user to.
    setFocusPolicy(Qt::TabFocus);
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Fixed);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void RecorderButton::setShortcut(const Shortcut &shortcut)
{
    m_shortcut = shortcut;
    setAccessibleName(shortcut.displayText());
    updateGeometry();
    update();
}

void RecorderButton::setRecording(bool recording)
{
    m_recording = recording;
    setFill(recording ? Theme::well : Theme::card);
    setAccessibleName(recording ? prompt() : m_shortcut.displayText());
    updateGeometry();
}

QStringList RecorderButton::caps() const
{
    return m_shortcut.modifierSymbols() << m_shortcut.keyLabel;
}

QSize RecorderButton::sizeHint() const
{
    const qreal content = m_recording ? QFontMetricsF(promptFont()).horizontalAdvance(prompt())
                                      : keyCapsSize(caps(), kCapSize).width();
    const int w = qCeil(std::max<qreal>(kMinWidth, content + 2 * kPadX) + kLift);
    return {w, heightForWidth(w)};
}

QSize RecorderButton::minimumSizeHint() const
{
    const int w =
        qCeil(std::max<qreal>(kMinWidth, keyCapsSize(caps(), kCapSize).width() + 2 * kPadX) + kLift);
    return {w, heightForWidth(w)};
}

int RecorderButton::heightForWidth(int width) const
{
    const qreal inner = width - kLift - 2 * kPadX;
    const qreal content = m_recording ? QFontMetricsF(promptFont())
                                            .boundingRect(QRectF(0, 0, std::max<qreal>(1, inner), 1e4),
                                                          kPromptFlags, promptLines())
                                            .height()
                                      : keyCapsSize(caps(), kCapSize).height();
    return qCeil(std::max<qreal>(kMinHeight, content + 2 * kPadY) + kLift);
}

void RecorderButton::paintEvent(QPaintEvent *event)
{
    ChunkyButton::paintEvent(event);
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF face = QRectF(rect()).adjusted(0, 0, -kLift, -kLift).translated(sink(), sink());
    if (m_recording) {
        p.setFont(promptFont());
        p.setPen(QColor(Theme::red));
        p.drawText(face.adjusted(kPadX, 0, -kPadX, 0), kPromptFlags, promptLines());
        return;
    }
    const QSizeF size = keyCapsSize(caps(), kCapSize);
    paintKeyCaps(p, face.center() - QPointF(size.width() / 2, size.height() / 2), caps(), kCapSize);
}

ShortcutRecorder::ShortcutRecorder(AppModel &model, HotKeyService *hotKeys, QWidget *parent)
    : QWidget(parent), m_model(model), m_hotKeys(hotKeys), m_button(new RecorderButton),
      m_reset(new GhostButton(QStringLiteral("Reset"))), m_beep([] { QApplication::beep(); })
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(12);
    row->addWidget(m_button);
    row->addWidget(m_reset, 0, Qt::AlignVCenter);
    row->addStretch(1);

    connect(m_button, &QAbstractButton::clicked, this, [this] {
        if (m_recording)
            stop(true);
        else
            start();
    });
    connect(m_reset, &QAbstractButton::clicked, this, &ShortcutRecorder::reset);
    connect(&m_model, &AppModel::shortcutChanged, this, &ShortcutRecorder::sync);
    sync();
}

ShortcutRecorder::~ShortcutRecorder()
{
    if (m_recording)
        stop(true);
}

void ShortcutRecorder::start()
{
    if (m_recording)
        return;
    m_recording = true;
    if (m_hotKeys)
        m_hotKeys->suspend();
    // Every key of every window comes here first, before shortcuts, focus moves and fields.
    qApp->installEventFilter(this);
    sync();
}

void ShortcutRecorder::stop(bool reRegister)
{
    qApp->removeEventFilter(this);
    m_recording = false;
    if (reRegister)
        m_model.setHotKeyRegistered(registerShortcut(m_model.shortcut()));
    sync();
}

void ShortcutRecorder::reset()
{
    adopt(Shortcut::defaultShortcut());
}

void ShortcutRecorder::adopt(const Shortcut &shortcut)
{
    m_model.setShortcut(shortcut);
    shortcut.save(m_model.prefs());
    m_model.setHotKeyRegistered(registerShortcut(shortcut));
}

bool ShortcutRecorder::registerShortcut(const Shortcut &shortcut)
{
    return m_hotKeys && m_hotKeys->registerKey(shortcut.keyCode, shortcut.carbonModifiers);
}

void ShortcutRecorder::sync()
{
    m_button->setShortcut(m_model.shortcut());
    m_button->setRecording(m_recording);
    m_reset->setVisible(!m_recording && m_model.shortcut() != Shortcut::defaultShortcut());
}

bool ShortcutRecorder::eventFilter(QObject *watched, QEvent *event)
{
    if (!m_recording)
        return QWidget::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // Claimed, so no menu shortcut (Ctrl+Q, Ctrl+W …) fires: the key press follows instead.
        event->accept();
        return true;
    case QEvent::KeyPress:
        event->accept();
        handleKey(static_cast<QKeyEvent *>(event));
        return true;
    default:
        return QWidget::eventFilter(watched, event);
    }
}

void ShortcutRecorder::handleKey(QKeyEvent *event)
{
    const RecorderDecision decision =
        RecorderDecision::decide(event->key(), event->modifiers(), event->text());
    switch (decision.kind) {
    case RecorderDecision::Kind::Cancel:
        stop(true);
        break;
    case RecorderDecision::Kind::Ignore:
        break;
    case RecorderDecision::Kind::Beep:
        if (!event->isAutoRepeat() && m_beep)
            m_beep();
        break;
    case RecorderDecision::Kind::Accept:
        adopt(decision.shortcut);
        stop(false);
        break;
    }
}

void ShortcutRecorder::hideEvent(QHideEvent *event)
{
    QWidget::hideEvent(event);
    if (m_recording)
        stop(true);
}
