#pragma once

#include <QWidget>

class AppModel;
class ThemedLabel;

// The quiet note that changes wait to be saved: how many and why in ink, what becomes of them
// dimmer below, on a well with a hazard edge. It takes the room it is given, like a spacer, and
// draws itself at the foot of it, `gapBelow` above its bottom edge; where that room is too short
// for both sentences it keeps the first. Nothing shows while everything is saved.
class UnsavedNote : public QWidget
{
    Q_OBJECT
public:
    explicit UnsavedNote(AppModel &model, int gapBelow = 0, QWidget *parent = nullptr);

    QString summary() const;
    QString outlook() const;
    // Whether the note shows now, and with its second sentence.
    bool isShown() const { return !m_box.isEmpty(); }
    bool showsOutlook() const;
    // Where it is drawn, in its own coordinates; empty while nothing shows.
    QRect box() const { return m_box; }

    QSize sizeHint() const override { return {0, 0}; }
    QSize minimumSizeHint() const override { return {0, 0}; }

protected:
    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    void sync();
    void place();

    AppModel &m_model;
    int m_gapBelow;
    ThemedLabel *m_summary;
    ThemedLabel *m_outlook;
    QRect m_box;
};
