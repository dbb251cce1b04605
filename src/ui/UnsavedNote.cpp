#include "ui/UnsavedNote.h"

#include "app/AppModel.h"
#include "ui/Fonts.h"
#include "ui/Paint.h"
#include "ui/Theme.h"
#include "ui/ThemedLabel.h"

#include <QPainter>

namespace {
constexpr qreal radius = 8;
constexpr int edgeWidth = 4;
// Text insets: past the hazard edge on the left, then top, right and bottom.
constexpr int insetLeft = edgeWidth + 8;
constexpr int insetTop = 7;
constexpr int insetRight = 8;
constexpr int insetBottom = 8;
constexpr int lineGap = 3;
} // namespace

UnsavedNote::UnsavedNote(AppModel &model, int gapBelow, QWidget *parent)
    : QWidget(parent), m_model(model), m_gapBelow(gapBelow),
      m_summary(new ThemedLabel(QString(), Fonts::rounded(10, QFont::Bold), Theme::ink, true, this)),
      m_outlook(new ThemedLabel(QString(), Fonts::rounded(10, QFont::Medium), Theme::dim, true, this))
{
    setObjectName(QStringLiteral("unsavedNote"));
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Expanding);
    connect(&m_model, &AppModel::unsavedChangesChanged, this, &UnsavedNote::sync);
    sync();
}

QString UnsavedNote::summary() const
{
    return m_summary->text();
}

QString UnsavedNote::outlook() const
{
    return m_outlook->text();
}

bool UnsavedNote::showsOutlook() const
{
    return isShown() && !m_outlook->isHidden();
}

void UnsavedNote::sync()
{
    m_summary->setText(m_model.unsavedSummary());
    m_outlook->setText(m_model.unsavedOutlook());
    setAccessibleName(m_model.unsavedNotice());
    place();
}

void UnsavedNote::place()
{
    const QRect before = m_box;
    const int textWidth = width() - insetLeft - insetRight;
    if (m_model.unsavedChanges() == 0 || textWidth <= 0) {
        m_box = QRect();
        m_summary->hide();
        m_outlook->hide();
    } else {
        const int summaryHeight = m_summary->heightForWidth(textWidth);
        const int outlookHeight = m_outlook->heightForWidth(textWidth);
        const int room = height() - m_gapBelow;
        const int whole = insetTop + summaryHeight + lineGap + outlookHeight + insetBottom;
        const bool both = whole <= room;
        const int boxHeight = both ? whole : insetTop + summaryHeight + insetBottom;
        m_box = QRect(0, room - boxHeight, width(), boxHeight);
        m_summary->setGeometry(insetLeft, m_box.top() + insetTop, textWidth, summaryHeight);
        m_outlook->setGeometry(insetLeft, m_summary->geometry().bottom() + 1 + lineGap, textWidth,
                               outlookHeight);
        m_summary->show();
        m_outlook->setVisible(both);
    }
    if (m_box != before)
        update();
}

void UnsavedNote::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    place();
}

void UnsavedNote::paintEvent(QPaintEvent *)
{
    if (m_box.isEmpty())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QPainterPath shape = Paint::roundedRect(QRectF(m_box), radius);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(Theme::well));
    p.drawPath(shape);
    // The hazard edge follows the box's rounded left side.
    p.setClipPath(shape);
    p.fillRect(QRectF(m_box.left(), m_box.top(), edgeWidth, m_box.height()), QColor(Theme::hazard));
}
