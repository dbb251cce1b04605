#pragma once

#include "ui/LineEditor.h"

#include <QWidget>
#include <functional>
#include <optional>

class QVariantAnimation;
class HoverButton;

// The single-line text field: a well-coloured box 32 high with an optional leading symbol, a
// faint placeholder while empty, an optional clear button, and a callback for Return. The border
// turns red while the field has the keyboard; a click anywhere on the box focuses it. The editor
// inside lays out only what the box can show, so a pasted megabyte costs a key no more than a word.
class GXTextField : public QWidget
{
    Q_OBJECT
public:
    GXTextField(const QString &placeholder, const std::optional<QString> &icon = std::nullopt,
                bool clearable = false, std::function<void()> onSubmit = {}, QWidget *parent = nullptr);

    QString text() const;
    void setText(const QString &text);
    QString placeholder() const { return m_placeholder; }
    void setOnSubmit(std::function<void()> onSubmit) { m_onSubmit = std::move(onSubmit); }

    LineEditor *lineEdit() const { return m_edit; }
    HoverButton *clearButton() const { return m_clear; }
    bool isFieldFocused() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

Q_SIGNALS:
    void textChanged(const QString &text);
    void submitted();
    void focusChanged(bool focused);

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void relayout();

    QString m_placeholder;
    std::optional<QString> m_icon;
    bool m_clearable;
    std::function<void()> m_onSubmit;
    LineEditor *m_edit;
    HoverButton *m_clear;
    qreal m_focus = 0;
    QVariantAnimation *m_focusAnimation;
};
