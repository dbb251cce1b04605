#pragma once

#include <QObject>
#include <QPointer>
#include <QString>
#include <functional>

class AppModel;
class QMessageBox;
class QPushButton;

// Quitting loses what still waits to be saved: while anything waits, a quit asks first, with
// keeping Grumblix running as the answer Return and Escape give. Should the waiting changes be
// saved while it asks, nothing would be lost any more: the question goes and the quit goes ahead.
class QuitQuestion : public QObject
{
    Q_OBJECT
public:
    QuitQuestion(AppModel &model, std::function<void()> quit, QObject *parent = nullptr);
    ~QuitQuestion() override;

    // Quits at once when nothing waits; otherwise asks, or brings the open question forward.
    void request();

    // The question while it is open, else null.
    QMessageBox *box() const;
    QPushButton *keepButton() const;
    QPushButton *quitButton() const;
    static QString keepText() { return QStringLiteral("Keep Grumblix running"); }

private:
    void ask();
    void fill();
    void follow();

    AppModel &m_model;
    std::function<void()> m_quit;
    QPointer<QMessageBox> m_box;
    QPointer<QPushButton> m_keep;
    QPointer<QPushButton> m_quitAnyway;
};
