#pragma once

#include "ui/ThemedLabel.h"

#include <QFontMetrics>

// A themed label that wraps onto as many lines as its width needs. Its minimum is one line, so a
// layout sizes it by its height for the width it really gets, not by a narrow worst case.
class WrappingLabel : public ThemedLabel
{
    Q_OBJECT
public:
    WrappingLabel(const QString &text, const QFont &font, ThemeColor color, QWidget *parent = nullptr)
        : ThemedLabel(text, font, color, true, parent), m_lineHeight(QFontMetrics(font).height())
    {
        // Free to grow downwards: the layout gives it the height its lines need at its width.
        QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Minimum);
        policy.setHeightForWidth(true);
        setSizePolicy(policy);
    }

    QSize minimumSizeHint() const override { return {40, m_lineHeight}; }

private:
    int m_lineHeight;
};
