#pragma once

#include <QStringList>
#include <QWidget>

class SpringAnimator;

// The segmented control: text segments side by side in one bordered, rounded strip; the chosen
// segment is inverted (card-coloured text on an ink block). Selection is an index; -1 = none.
class ChunkySegmented : public QWidget
{
    Q_OBJECT
public:
    explicit ChunkySegmented(const QStringList &labels = {}, int selection = -1, QWidget *parent = nullptr);

    QStringList labels() const { return m_labels; }
    void setLabels(const QStringList &labels);
    int selection() const { return m_selection; }
    // Without animation; for the owner to reflect its value.
    void setSelection(int index);

    // Each segment's rectangle, left to right.
    QList<QRectF> segmentRects() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

Q_SIGNALS:
    // A click (or arrow key) chose `index`; also when it was already chosen.
    void activated(int index);
    void selectionChanged(int index);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void choose(int index);

    QStringList m_labels;
    int m_selection;
    int m_previous = -1;
    SpringAnimator *m_blend;
};
