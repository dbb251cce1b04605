#pragma once

#include "features/report/ReportCard.h"

#include <QImage>
#include <QMargins>
#include <QPixmap>
#include <QWidget>
#include <optional>

class SpringAnimator;

// The report card at its natural size, floating on a soft shadow (black at 0.25, blur radius 24,
// 14 down). The widget keeps room around the card for that shadow and for what the card draws
// outside itself; a change of theme cross-fades with a spring.
class ReportPreview : public QWidget
{
    Q_OBJECT
public:
    explicit ReportPreview(QWidget *parent = nullptr);

    void setCard(const ReportCard &card, bool animate);
    const std::optional<ReportCard> &card() const { return m_card; }
    // The card on screen at this fraction of its own size (at most 1), for a page too narrow for
    // it beside the column; the room around it keeps its size. The exported image is never scaled.
    void setScale(qreal scale);
    qreal scale() const { return m_scale; }

    // The room around the card.
    static QMargins shadowMargins();
    QRectF cardRect() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    // The card drawn at the screen's resolution in the scheme in force, kept until either changes.
    struct Drawn
    {
        QPixmap card;
        QImage shadow;
        bool dark = false;
        qreal dpr = 0;
        qreal scale = 0;
    };
    void draw(const ReportCard &card, Drawn &drawn, qreal dpr) const;
    void paintCard(QPainter &p, const Drawn &drawn, const QSizeF &size, qreal opacity) const;

    std::optional<ReportCard> m_card;
    std::optional<ReportCard> m_previous;
    Drawn m_drawn;
    Drawn m_previousDrawn;
    SpringAnimator *m_fade;
    qreal m_scale = 1;
};
