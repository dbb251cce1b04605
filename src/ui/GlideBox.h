#pragma once

#include <QWidget>

// Holds one widget at the height that widget asks for and takes its own height from it. While a
// glide runs, the box's height moves from where it stood to the content's height as the owner's
// progress goes from 0 to 1, so what is laid out around the box (a card centring a neighbour, the
// rows below) moves along instead of jumping. The content is never squeezed: it keeps its full
// height, and what lies below the box's edge stays hidden until the box has grown to it.
class GlideBox : public QWidget
{
    Q_OBJECT
public:
    explicit GlideBox(QWidget *content, QWidget *parent = nullptr);

    QWidget *content() const { return m_content; }

    // Starts a glide from the height the box shows now (mid-glide: the height it has reached).
    void hold();
    // 0 the height held, 1 the content's height; a spring's overshoot is clamped. `lag` is what the
    // content is still to grow by itself (a part of it gliding on the same progress), so that the
    // box heads for the content's final height from the start.
    void glide(qreal progress, int lag = 0);
    // Follows the content's height again.
    void release();
    bool isGliding() const { return m_gliding; }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    int contentHeight(int width) const;
    void placeContent();

    QWidget *m_content;
    bool m_gliding = false;
    int m_from = 0;
    int m_lag = 0;
    qreal m_progress = 0;
};
