#include "ui/StickyNote.h"

#include "ui/Fonts.h"
#include "ui/Labels.h"
#include "ui/Paint.h"
#include "ui/Theme.h"

#include <QPainter>
#include <QTextLayout>
#include <QtMath>

namespace {

const QString kSignature = QStringLiteral("(=ㅇᆽㅇ=)");
constexpr qreal kPadding = 14;
// Room around the paper for the tape above it and the soft shadow.
constexpr qreal kRoom = 16;

QFont noteFont()
{
    return Fonts::marker(17, QFont::Bold);
}

QFont signatureFont()
{
    return Fonts::mono(12, QFont::Medium);
}

// The note's lines: paragraphs kept, each wrapped at word boundaries to `width`.
QStringList noteLines(const QString &text, qreal width)
{
    QStringList lines;
    for (const QString &para : text.split(QLatin1Char('\n'))) {
        if (para.isEmpty()) {
            lines << QString();
            continue;
        }
        QTextLayout layout(para, noteFont());
        QTextOption option;
        option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
        layout.setTextOption(option);
        layout.beginLayout();
        for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
            line.setLineWidth(width);
            lines << para.mid(line.textStart(), line.textLength());
        }
        layout.endLayout();
    }
    return lines;
}

qreal textHeight(const QString &text, qreal width)
{
    const QFontMetricsF fm(noteFont());
    const qsizetype n = noteLines(text, width).size();
    return n * fm.lineSpacing() + qMax<qsizetype>(0, n - 1) * 2; // two extra points between lines
}

} // namespace

QSizeF stickyNoteSize(const QString &text, qreal width)
{
    const qreal inner = width - 2 * kPadding;
    const QFontMetricsF sig(signatureFont());
    return {width, kPadding + textHeight(text, inner) + 6 + sig.height() + kPadding};
}

void paintStickyNote(QPainter &p, const QPointF &center, const QString &text, qreal width, qreal tilt)
{
    const QSizeF size = stickyNoteSize(text, width);
    const QRectF paper(-size.width() / 2, -size.height() / 2, size.width(), size.height());
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    p.translate(center);
    p.rotate(tilt);
    Paint::softShadow(p, paper, 0, QColor(0, 0, 0, 46), 6, QPointF(2, 5));
    p.fillRect(paper, Theme::sticky.resolve());

    // The text, with two extra points between lines.
    const qreal inner = width - 2 * kPadding;
    p.setPen(Theme::stickyInk.resolve());
    p.setFont(noteFont());
    const QFontMetricsF fm(noteFont());
    qreal y = paper.top() + kPadding;
    for (const QString &line : noteLines(text, inner)) {
        p.drawText(QPointF(paper.left() + kPadding, y + fm.ascent()), line);
        y += fm.lineSpacing() + 2;
    }

    QColor sigColor = Theme::stickyInk.resolve();
    sigColor.setAlphaF(0.65f);
    p.setPen(sigColor);
    p.setFont(signatureFont());
    const QFontMetricsF sfm(signatureFont());
    p.drawText(QRectF(paper.left() + kPadding, paper.bottom() - kPadding - sfm.height(), inner, sfm.height()),
               Qt::AlignRight | Qt::AlignVCenter, kSignature);

    // A strip of translucent tape straddling the top edge, a little askew.
    p.save();
    p.translate(0, paper.top());
    p.rotate(2);
    p.fillRect(QRectF(-23, -7, 46, 14), QColor(255, 255, 255, 115));
    p.restore();
    p.restore();
}

StickyNote::StickyNote(const QString &text, qreal width, qreal tilt, QWidget *parent)
    : SnugWidget(parent), m_text(text), m_width(width), m_tilt(tilt)
{
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void StickyNote::setText(const QString &text)
{
    m_text = text;
    updateGeometry();
    update();
}

void StickyNote::setTilt(qreal tilt)
{
    m_tilt = tilt;
    updateGeometry();
    update();
}

QSize StickyNote::sizeHint() const
{
    const QSizeF turned = rotatedSize(stickyNoteSize(m_text, m_width), m_tilt);
    return QSize(qCeil(turned.width() + 2 * kRoom), qCeil(turned.height() + 2 * kRoom));
}

void StickyNote::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    paintStickyNote(p, QRectF(rect()).center(), m_text, m_width, m_tilt);
}
