#pragma once

#include <QWidget>

class QPlainTextEdit;

// The incident's note, written on a sticky note in the marker face. It commits when editing ends:
// Return ends editing without a line break, and every loss of focus (Return, a click elsewhere,
// Tab) commits exactly once.
class NoteEditor : public QWidget
{
    Q_OBJECT
public:
    explicit NoteEditor(const QString &text = {}, QWidget *parent = nullptr);

    QString text() const;
    // Replaces the text without signalling an edit (the record changed elsewhere).
    void setText(const QString &text);
    bool isEditing() const;
    QPlainTextEdit *field() const { return m_field; }
    // "↩ to save" while editing, else "click to write".
    QString hint() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;

    static const QString placeholder;

Q_SIGNALS:
    void textEdited(const QString &text);
    // Editing ended.
    void committed();

protected:
    void paintEvent(QPaintEvent *event) override;
    void mousePressEvent(QMouseEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    QRectF paperRect() const;
    void placeField();
    int fieldHeight(int width) const;

    QPlainTextEdit *m_field;
    bool m_editing = false;
    bool m_settingText = false;
};
