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

QFont promptFont()
{
    return Fonts::rounded(13, QFont::DemiBold);
}

} // namespace

RecorderButton::RecorderButton(QWidget *parent)
    : ChunkyButton(QString(), Theme::card, Theme::ink, false, parent)
{
    setFocusPolicy(Qt::StrongFocus);
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
    const QSizeF content = m_recording ? QSizeF(QFontMetricsF(promptFont()).horizontalAdvance(prompt()),
                                                QFontMetricsF(promptFont()).height())
                                       : keyCapsSize(caps(), kCapSize);
    // The face is 14 × 8 padded like the chunky button, with the slab's room right and below.
    const int w = qCeil(std::max<qreal>(kMinWidth, content.width() + 28) + kLift);
    const int h = qCeil(std::max<qreal>(kMinHeight, content.height() + 16) + kLift);
    return {w, h};
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
        p.drawText(face, Qt::AlignCenter, prompt());
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
    row->addWidget(m_button, 0, Qt::AlignVCenter);
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
