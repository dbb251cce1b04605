#include "features/history/EventRow.h"

#include "features/history/IncidentText.h"
#include "ui/AppIconCache.h"
#include "ui/Fonts.h"
#include "ui/Paint.h"
#include "ui/TextBounds.h"
#include "ui/Theme.h"

#include <QFontMetricsF>
#include <QLocale>
#include <QPainter>
#include <QTime>

namespace EventRow {

namespace {

constexpr qreal kPadX = 10, kPadY = 7, kGap = 12, kEmojiBox = 28, kIcon = 18;

QFont timeFont()
{
    return Fonts::mono(13, QFont::ExtraBold);
}
QFont emojiFont()
{
    return Fonts::font(15);
}
QFont nameFont()
{
    return Fonts::rounded(13, QFont::Bold);
}
QFont headerFont()
{
    return Fonts::tracked(Fonts::mono(10, QFont::ExtraBold), 1.2);
}

// Eliding keeps the text's direction marks and embeddings from what it leaves out, after the
// ellipsis: LRM and RLM, the embeddings and overrides, the isolates.
bool isBidiControl(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= 0x200E && u <= 0x200F) || (u >= 0x202A && u <= 0x202E) || (u >= 0x2066 && u <= 0x2069);
}

qreal textColumnHeight(bool hasNoteLine)
{
    const qreal name = QFontMetricsF(nameFont()).height();
    return hasNoteLine ? name + 2 + QFontMetricsF(noteFont()).height() : name;
}

} // namespace

QFont noteFont()
{
    return Fonts::rounded(11, QFont::Medium);
}

QString fittedNoteLine(const QString &line, qreal width)
{
    const QFontMetricsF fm(noteFont());
    // Characters that the cut must leave after the one the ellipsis replaces, so that the text
    // before it is shaped as in the whole line (kerning, joining) and reads as it does there.
    constexpr qsizetype kMargin = 16;
    const bool rightToLeft = line.isRightToLeft();
    // U+009C splits a text into variants to choose from; such a line is elided whole.
    const bool variants = line.contains(QChar(0x9C));
    for (qsizetype reach = qCeil(width / std::max<qreal>(1, fm.averageCharWidth())) + 2 * kMargin;
         !variants && reach < line.size(); reach *= 2) {
        const qsizetype cut = TextBounds::snapToGrapheme(line, reach);
        if (cut >= line.size())
            break;
        const QString prefix = line.first(cut);
        // The paragraph's direction comes from its first strong character.
        if (prefix.isRightToLeft() != rightToLeft)
            continue;
        const QString elided = fm.elidedText(prefix, Qt::ElideRight, width);
        if (elided.isEmpty())
            return elided; // not even the ellipsis fits
        // elided = the kept text, the ellipsis, then the direction marks of what it left out.
        qsizetype kept = elided.size();
        while (kept > 0 && isBidiControl(elided.at(kept - 1)))
            --kept;
        if (elided == prefix || kept + kMargin > cut)
            continue;
        // A run of marks as long as the margin may join what follows the cut to the ellipsis.
        const QStringView tail = QStringView(line).sliced(cut - kMargin, kMargin);
        if (std::all_of(tail.begin(), tail.end(),
                        [](QChar c) { return c.category() == QChar::Mark_NonSpacing; }))
            continue;
        QString fitted = elided;
        for (const QChar c : QStringView(line).sliced(cut))
            if (isBidiControl(c))
                fitted += c;
        return fitted;
    }
    return fm.elidedText(line, Qt::ElideRight, width);
}

qreal height(bool hasNoteLine)
{
    return std::max({kEmojiBox, textColumnHeight(hasNoteLine), QFontMetricsF(timeFont()).height()}) +
           2 * kPadY;
}

qreal timeWidth()
{
    static const qreal width = [] {
        const QFontMetricsF fm(timeFont());
        const QLocale locale;
        qreal widest = 52;
        for (const QTime t : {QTime(10, 58), QTime(22, 58)})
            widest = std::max(
                widest, fm.horizontalAdvance(locale.toString(t, IncidentText::shortTimeFormat(locale))));
        return std::ceil(widest);
    }();
    return width;
}

QRectF iconRect(const QRectF &rect)
{
    return {rect.right() - kPadX - kIcon, rect.center().y() - kIcon / 2, kIcon, kIcon};
}

namespace {

qreal textLeft(const QRectF &rect)
{
    return rect.left() + kPadX + timeWidth() + kGap + kEmojiBox + kGap;
}

} // namespace

qreal textWidth(const QRectF &rect, bool hasApp)
{
    const qreal right = hasApp ? iconRect(rect).left() - 4 : rect.right() - kPadX;
    return std::max<qreal>(0, right - textLeft(rect));
}

void paint(QPainter &p, const QRectF &rect, const EventRowLook &look, qreal dpr)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    if (look.selected || look.hovered)
        p.fillPath(Paint::roundedRect(rect, 10), (look.selected ? Theme::red : Theme::well).resolve());

    const QColor primary = look.selected ? Theme::white.resolve() : Theme::ink.resolve();
    const qreal midY = rect.center().y();
    qreal x = rect.left() + kPadX;

    const qreal timeW = timeWidth();
    p.setFont(timeFont());
    p.setPen(primary);
    p.drawText(QRectF(x, rect.top(), timeW, rect.height()), Qt::AlignLeft | Qt::AlignVCenter, look.time);
    x += timeW + kGap;

    const QRectF box(x, midY - kEmojiBox / 2, kEmojiBox, kEmojiBox);
    p.fillPath(Paint::roundedRect(box, 7),
               (look.selected ? Theme::white.opacity(0.2) : Theme::well).resolve());
    p.drawPixmap(box.topLeft(),
                 Paint::emoji(look.emoji, emojiFont(), box.size(), Qt::AlignCenter, primary, dpr));
    x += kEmojiBox + kGap;

    const qreal textW = textWidth(rect, look.hasApp);
    const QFontMetricsF nameMetrics(nameFont());
    qreal y = midY - textColumnHeight(look.noteLine.has_value()) / 2;
    p.setFont(nameFont());
    p.setPen(look.selected ? primary : (look.hasTrigger ? Theme::ink : Theme::dim).resolve());
    p.drawText(QRectF(x, y, textW, nameMetrics.height()), Qt::AlignLeft | Qt::AlignVCenter,
               nameMetrics.elidedText(look.name, Qt::ElideRight, textW));
    if (look.noteLine) {
        y += nameMetrics.height() + 2;
        const QFontMetricsF noteMetrics(noteFont());
        p.setFont(noteFont());
        p.setPen((look.selected ? Theme::white.opacity(0.8) : Theme::dim).resolve());
        const std::shared_ptr<const NoteQuote> quote =
            look.quote && look.quote->width() == textW ? look.quote
                                                       : std::make_shared<NoteQuote>(*look.noteLine, textW);
        quote->draw(p, QRectF(x, y, textW, noteMetrics.height()));
    }

    if (look.hasApp)
        paintAppIcon(p, iconRect(rect), look.bundleID, dpr);
    p.restore();
}

qreal headerHeight()
{
    const qreal text = QFontMetricsF(headerFont()).height();
    return 14 + text + 2 + 6;
}

void paintHeader(QPainter &p, const QRectF &rect, const QString &title, int count)
{
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    p.fillRect(rect, Theme::card.resolve());
    const QFont font = headerFont();
    const QFontMetricsF fm(font);
    const QRectF line(rect.left() + 8, rect.top() + 14, rect.width() - 16, rect.height() - 20);
    const QString number = QString::number(count);
    const qreal capsuleW = fm.horizontalAdvance(number) + 12;
    const QRectF capsule(line.right() - capsuleW, line.center().y() - (fm.height() + 2) / 2, capsuleW,
                         fm.height() + 2);
    p.fillPath(Paint::roundedRect(capsule, capsule.height() / 2), Theme::well.resolve());
    p.setFont(font);
    p.setPen(Theme::dim.resolve());
    p.drawText(capsule, Qt::AlignCenter, number);
    const qreal titleW = std::max<qreal>(0, capsule.left() - 8 - line.left());
    p.drawText(QRectF(line.left(), line.top(), titleW, line.height()), Qt::AlignLeft | Qt::AlignVCenter,
               fm.elidedText(title, Qt::ElideRight, titleW));
    p.restore();
}

} // namespace EventRow

NoteQuote::NoteQuote(const QString &line, qreal width)
    : m_text(EventRow::fittedNoteLine(line, width)), m_width(width)
{
    // Laid out as QPainter::drawText lays out one unwrapped line for a left-to-right painter.
    m_layout.setText(m_text);
    m_layout.setFont(EventRow::noteFont());
    QTextOption option(Qt::AlignLeft);
    option.setTextDirection(Qt::LeftToRight);
    option.setWrapMode(QTextOption::ManualWrap);
    m_layout.setTextOption(option);
    m_layout.setCacheEnabled(true);
    m_layout.beginLayout();
    QTextLine laidOut = m_layout.createLine();
    laidOut.setLineWidth(width);
    laidOut.setPosition(QPointF(0, 0));
    m_layout.endLayout();
}

void NoteQuote::draw(QPainter &p, const QRectF &rect) const
{
    if (p.layoutDirection() != Qt::LeftToRight) {
        p.drawText(rect, Qt::AlignLeft | Qt::AlignVCenter, m_text);
        return;
    }
    // Centred as drawText centres the line's box, and clipped to `rect` only where that box (not
    // the glyphs) does not fit in it, as drawText clips.
    const QTextLine line = m_layout.lineAt(0);
    const qreal height = line.ascent() + line.descent();
    const qreal top = rect.top() + (rect.height() - height) / 2;
    const bool clip = !rect.contains(QRectF(rect.left(), top, line.naturalTextWidth(), height));
    if (clip) {
        p.save();
        p.setClipRect(rect, Qt::IntersectClip);
    }
    m_layout.draw(&p, QPointF(rect.left(), top));
    if (clip)
        p.restore();
}
