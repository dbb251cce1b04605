#include "ui/GXTextField.h"

#include "ui/FieldChrome.h"
#include "ui/Fonts.h"
#include "ui/HoverButton.h"
#include "ui/Icons.h"
#include "ui/SpringAnimator.h"
#include "ui/Theme.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QVariantAnimation>

namespace {

constexpr int kHeight = 32;
constexpr int kPadding = 10;
constexpr int kSpacing = 7;
constexpr int kIcon = 12;

class ClearButton : public HoverButton
{
public:
    using HoverButton::HoverButton;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        Icons::paint(p, rect(), QStringLiteral("xmark.circle.fill"), Theme::faint);
    }
};

} // namespace

GXTextField::GXTextField(const QString &placeholder, const std::optional<QString> &icon, bool clearable,
                         std::function<void()> onSubmit, QWidget *parent)
    : QWidget(parent), m_placeholder(placeholder), m_icon(icon), m_clearable(clearable),
      m_onSubmit(std::move(onSubmit)), m_edit(new LineEditor(this)), m_clear(new ClearButton(this)),
      m_focusAnimation(new QVariantAnimation(this))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setFocusProxy(m_edit);
    setCursor(Qt::IBeamCursor);
    // No length limit of its own: a field that must limit its text says so itself (a validator).
    m_edit->setFont(Fonts::rounded(13, QFont::DemiBold));
    m_edit->setPlaceholderText(placeholder);
    m_edit->installEventFilter(this);
    m_clear->setFocusPolicy(Qt::NoFocus);
    m_clear->setCursor(Qt::ArrowCursor);
    m_clear->setToolTip(QStringLiteral("Clear"));
    m_clear->hide();

    m_focusAnimation->setDuration(120);
    m_focusAnimation->setEasingCurve(QEasingCurve::OutCubic);
    connect(m_focusAnimation, &QVariantAnimation::valueChanged, this, [this](const QVariant &v) {
        m_focus = v.toReal();
        update();
    });
    connect(m_edit, &LineEditor::textChanged, this, [this](const QString &text) {
        m_clear->setVisible(m_clearable && !text.isEmpty());
        Q_EMIT textChanged(text);
    });
    connect(m_edit, &LineEditor::returnPressed, this, [this] {
        if (m_onSubmit)
            m_onSubmit();
        Q_EMIT submitted();
    });
    connect(m_clear, &QAbstractButton::clicked, this, [this] { m_edit->clear(); });
    relayout();
}

QString GXTextField::text() const
{
    return m_edit->text();
}

void GXTextField::setText(const QString &text)
{
    m_edit->setText(text);
}

bool GXTextField::isFieldFocused() const
{
    return m_edit->hasFocus();
}

QSize GXTextField::sizeHint() const
{
    return QSize(220, kHeight);
}

QSize GXTextField::minimumSizeHint() const
{
    return QSize(80, kHeight);
}

bool GXTextField::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == m_edit && (event->type() == QEvent::FocusIn || event->type() == QEvent::FocusOut)) {
        const bool focused = event->type() == QEvent::FocusIn;
        m_focusAnimation->stop();
        if (SpringAnimator::animationsEnabled()) {
            m_focusAnimation->setStartValue(m_focus);
            m_focusAnimation->setEndValue(focused ? 1.0 : 0.0);
            m_focusAnimation->start();
        } else {
            m_focus = focused ? 1.0 : 0.0;
        }
        update();
        Q_EMIT focusChanged(focused);
    }
    return QWidget::eventFilter(watched, event);
}

void GXTextField::mousePressEvent(QMouseEvent *event)
{
    // The icon and the padding belong to the field too.
    m_edit->setFocus(Qt::MouseFocusReason);
    event->accept();
}

void GXTextField::resizeEvent(QResizeEvent *)
{
    relayout();
}

void GXTextField::relayout()
{
    const int h = kHeight;
    const int top = (height() - h) / 2;
    int left = kPadding;
    if (m_icon)
        left += kIcon + kSpacing;
    int right = width() - kPadding;
    m_clear->setGeometry(right - kIcon, top + (h - kIcon) / 2, kIcon, kIcon);
    if (m_clearable)
        right -= kIcon + kSpacing;
    m_edit->setGeometry(left, top + 2, qMax(0, right - left), h - 4);
}

void GXTextField::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF box(0, (height() - kHeight) / 2.0, width(), kHeight);
    paintFieldChrome(p, box, m_focus);
    if (m_icon) {
        Icons::paint(p, QRectF(kPadding, box.center().y() - kIcon / 2.0, kIcon, kIcon), *m_icon,
                     m_edit->hasFocus() ? Theme::red : Theme::dim);
    }
}
