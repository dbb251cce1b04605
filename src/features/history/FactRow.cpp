#include "features/history/FactRow.h"

#include "ui/Fonts.h"
#include "ui/Labels.h"
#include "ui/Paint.h"
#include "ui/Theme.h"

#include <QPainter>
#include <QtMath>

namespace {

constexpr int kPadding = 12;   // inside a well
constexpr int kBoxGap = 12;    // between two wells, and between a caption and its value in a table
constexpr int kCaptionGap = 7; // between a caption and the content under it, and between table lines
constexpr qreal kRadius = 11;
constexpr int kTextFlags = Qt::AlignLeft | Qt::AlignVCenter | Qt::TextWordWrap;

QFont valueFont()
{
    return Fonts::rounded(14, QFont::Bold);
}

int contentHeight(const QWidget *content, int width)
{
    const int least = content->minimumSizeHint().height();
    return qMax(least,
                content->hasHeightForWidth() ? content->heightForWidth(width) : content->sizeHint().height());
}

} // namespace

FactValue::FactValue(QWidget *parent) : QWidget(parent)
{
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Minimum);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void FactValue::setText(const QString &text)
{
    if (text == m_text)
        return;
    m_text = text;
    setAccessibleName(text);
    updateGeometry();
    update();
}

qreal FactValue::widestWord() const
{
    const QFontMetricsF fm(valueFont());
    qreal widest = 0;
    for (const QString &word : m_text.split(QLatin1Char(' '), Qt::SkipEmptyParts))
        widest = qMax(widest, fm.horizontalAdvance(word));
    return widest;
}

qreal FactValue::scaleAt(int width) const
{
    const qreal natural = QFontMetricsF(valueFont()).horizontalAdvance(m_text);
    if (natural <= width || natural <= 0)
        return 1.0;
    // Smaller, to keep to one line; else wrapped at its size, each word smaller only where it must.
    if (natural * kLeastScale <= width)
        return width / natural;
    const qreal widest = widestWord();
    return widest <= width ? 1.0 : qMax(kLeastScale, width / widest);
}

QSize FactValue::sizeHint() const
{
    const QFontMetricsF fm(valueFont());
    return QSize(qCeil(fm.horizontalAdvance(m_text)), qCeil(fm.height()));
}

QSize FactValue::minimumSizeHint() const
{
    return QSize(qCeil(widestWord() * kLeastScale), qCeil(QFontMetricsF(valueFont()).height() * kLeastScale));
}

int FactValue::heightForWidth(int width) const
{
    const qreal scale = scaleAt(width);
    const QFontMetricsF fm(valueFont());
    const QRectF lines = fm.boundingRect(QRectF(0, 0, qMax(1.0, width / scale), 1e6), kTextFlags, m_text);
    return qCeil(qMax(lines.height(), fm.height()) * scale);
}

void FactValue::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::TextAntialiasing);
    // Fonts come in whole pixels: a shrunk value is drawn at its size and scaled.
    const qreal scale = scaleAt(width());
    p.scale(scale, scale);
    p.setFont(valueFont());
    p.setPen(QColor(Theme::ink));
    p.drawText(QRectF(0, 0, width() / scale, height() / scale), kTextFlags, m_text);
}

FactRow::FactRow(QWidget *parent) : QWidget(parent)
{
    QSizePolicy policy(QSizePolicy::Expanding, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

void FactRow::addFact(const QString &title, QWidget *content)
{
    auto *caption = new Caption(title, this);
    content->setParent(this);
    caption->show();
    content->show();
    m_facts << Fact{caption, content};
    updateGeometry();
}

int FactRow::boxNeed(const Fact &fact) const
{
    return 2 * kPadding + qMax(fact.caption->sizeHint().width(), fact.content->sizeHint().width());
}

int FactRow::captionColumn() const
{
    int widest = 0;
    for (const Fact &fact : m_facts)
        widest = qMax(widest, fact.caption->sizeHint().width());
    return widest;
}

FactRow::Arrangement FactRow::arrangementAt(int width) const
{
    int sideBySide = kBoxGap * int(qMax<qsizetype>(0, m_facts.size() - 1));
    int tableValue = 0;
    for (const Fact &fact : m_facts) {
        sideBySide += boxNeed(fact);
        tableValue = qMax(tableValue, fact.content->minimumSizeHint().width());
    }
    if (sideBySide <= width)
        return Arrangement::SideBySide;
    if (2 * kPadding + captionColumn() + kBoxGap + tableValue <= width)
        return Arrangement::Table;
    return Arrangement::Stacked;
}

QList<int> FactRow::shares(int width) const
{
    QList<int> widths(m_facts.size(), 0);
    QList<bool> fixed(m_facts.size(), false);
    int room = width - kBoxGap * int(qMax<qsizetype>(0, m_facts.size() - 1));
    int open = int(m_facts.size());
    bool changed = true;
    while (changed && open > 0) {
        changed = false;
        const int share = room / open;
        for (int i = 0; i < m_facts.size(); ++i) {
            const int need = boxNeed(m_facts[i]);
            if (!fixed[i] && need > share) {
                fixed[i] = true;
                widths[i] = need;
                room -= need;
                --open;
                changed = true;
            }
        }
    }
    // The last open box takes the odd pixels, so the row ends exactly at the right edge.
    const int share = open > 0 ? room / open : 0;
    int last = -1;
    for (int i = 0; i < m_facts.size(); ++i)
        if (!fixed[i]) {
            widths[i] = share;
            last = i;
        }
    if (last >= 0)
        widths[last] += room - share * open;
    return widths;
}

int FactRow::place(int width, bool apply, QList<QRect> *wells) const
{
    wells->clear();
    if (m_facts.isEmpty())
        return 0;
    switch (arrangementAt(width)) {
    case Arrangement::SideBySide: {
        const QList<int> widths = shares(width);
        int inner = 0;
        for (int i = 0; i < m_facts.size(); ++i) {
            const Fact &fact = m_facts[i];
            inner = qMax(inner, fact.caption->sizeHint().height() + kCaptionGap +
                                    contentHeight(fact.content, widths[i] - 2 * kPadding));
        }
        // The boxes of one row are as tall as each other.
        int x = 0;
        for (int i = 0; i < m_facts.size(); ++i) {
            const Fact &fact = m_facts[i];
            const int captionHeight = fact.caption->sizeHint().height();
            const int w = widths[i] - 2 * kPadding;
            if (apply) {
                fact.caption->setGeometry(x + kPadding, kPadding, w, captionHeight);
                fact.content->setGeometry(x + kPadding, kPadding + captionHeight + kCaptionGap, w,
                                          contentHeight(fact.content, w));
            }
            *wells << QRect(x, 0, widths[i], inner + 2 * kPadding);
            x += widths[i] + kBoxGap;
        }
        return inner + 2 * kPadding;
    }
    case Arrangement::Table: {
        const int column = captionColumn();
        const int valueLeft = kPadding + column + kBoxGap;
        const int valueWidth = qMax(1, width - valueLeft - kPadding);
        int y = kPadding;
        for (int i = 0; i < m_facts.size(); ++i) {
            const Fact &fact = m_facts[i];
            const int captionHeight = fact.caption->sizeHint().height();
            const int h = contentHeight(fact.content, valueWidth);
            // The caption keeps level with the value's first line.
            const int firstLine = qMin(h, fact.content->sizeHint().height());
            const int lineHeight = qMax(h, captionHeight);
            if (apply) {
                fact.caption->setGeometry(kPadding, y + qMax(0, (firstLine - captionHeight) / 2), column,
                                          captionHeight);
                fact.content->setGeometry(valueLeft, y + qMax(0, (captionHeight - h) / 2), valueWidth, h);
            }
            y += lineHeight + (i + 1 < m_facts.size() ? kCaptionGap : 0);
        }
        *wells << QRect(0, 0, width, y + kPadding);
        return y + kPadding;
    }
    case Arrangement::Stacked: {
        int y = 0;
        for (const Fact &fact : m_facts) {
            const int captionHeight = fact.caption->sizeHint().height();
            const int w = width - 2 * kPadding;
            const int h = contentHeight(fact.content, w);
            if (apply) {
                fact.caption->setGeometry(kPadding, y + kPadding, w, captionHeight);
                fact.content->setGeometry(kPadding, y + kPadding + captionHeight + kCaptionGap, w, h);
            }
            const int box = 2 * kPadding + captionHeight + kCaptionGap + h;
            *wells << QRect(0, y, width, box);
            y += box + kBoxGap;
        }
        return y - kBoxGap;
    }
    }
    return 0;
}

QList<QRect> FactRow::wells() const
{
    return m_wells;
}

QSize FactRow::sizeHint() const
{
    int width = kBoxGap * int(qMax<qsizetype>(0, m_facts.size() - 1));
    for (const Fact &fact : m_facts)
        width += boxNeed(fact);
    return QSize(width, heightForWidth(width));
}

QSize FactRow::minimumSizeHint() const
{
    // One above the other: the widest caption or content at its least.
    int width = 0;
    for (const Fact &fact : m_facts)
        width = qMax(width, qMax(fact.caption->sizeHint().width(), fact.content->minimumSizeHint().width()));
    width += 2 * kPadding;
    return QSize(width, heightForWidth(width));
}

int FactRow::heightForWidth(int width) const
{
    QList<QRect> wells;
    return place(width, false, &wells);
}

void FactRow::resizeEvent(QResizeEvent *)
{
    place(width(), true, &m_wells);
    update();
}

void FactRow::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    for (const QRect &well : std::as_const(m_wells))
        p.fillPath(Paint::roundedRect(QRectF(well), kRadius), QColor(Theme::well));
}
