#pragma once

#include <QWidget>

// The handwritten placeholder line of an empty list or ranking, centred across the width.
class EmptyHint : public QWidget
{
    Q_OBJECT
public:
    explicit EmptyHint(const QString &text, QWidget *parent = nullptr);

    QString text() const { return m_text; }
    void setText(const QString &text);

    QSize sizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    QString m_text;
};
