#include "QuitQuestion.h"

#include "app/AppModel.h"

#include <QMessageBox>
#include <QPushButton>

QuitQuestion::QuitQuestion(AppModel &model, std::function<void()> quit, QObject *parent)
    : QObject(parent), m_model(model), m_quit(std::move(quit))
{
    connect(&m_model, &AppModel::unsavedChangesChanged, this, &QuitQuestion::follow);
}

QuitQuestion::~QuitQuestion()
{
    delete m_box;
}

QMessageBox *QuitQuestion::box() const
{
    return m_box;
}

QPushButton *QuitQuestion::keepButton() const
{
    return m_keep;
}

QPushButton *QuitQuestion::quitButton() const
{
    return m_quitAnyway;
}

void QuitQuestion::request()
{
    if (m_model.unsavedChanges() == 0) {
        m_quit();
        return;
    }
    if (!m_box)
        ask();
    m_box->show();
    m_box->raise();
    m_box->activateWindow();
}

void QuitQuestion::ask()
{
    auto *box = new QMessageBox(QMessageBox::Warning, QStringLiteral("Grumblix"), QString());
    box->setObjectName(QStringLiteral("quitQuestion"));
    m_keep = box->addButton(keepText(), QMessageBox::RejectRole);
    m_quitAnyway = box->addButton(QString(), QMessageBox::DestructiveRole);
    box->setDefaultButton(m_keep);
    box->setEscapeButton(m_keep);
    m_box = box;
    fill();
    connect(box, &QMessageBox::finished, this, [this, box] {
        const bool quit = box->clickedButton() && box->clickedButton() == m_quitAnyway;
        box->deleteLater();
        m_box = nullptr;
        if (quit)
            m_quit();
    });
    // Modal, but without an event loop of its own: the main loop goes on with saves and launches.
    box->setWindowModality(Qt::ApplicationModal);
}

void QuitQuestion::fill()
{
    const int count = m_model.unsavedChanges();
    m_box->setText(QStringLiteral("Quit Grumblix and lose %1?").arg(m_model.unsavedAmount()));
    m_box->setInformativeText(m_model.unsavedNotice());
    m_quitAnyway->setText(count == 1 ? QStringLiteral("Quit and lose it")
                                     : QStringLiteral("Quit and lose them"));
}

void QuitQuestion::follow()
{
    if (!m_box)
        return;
    if (m_model.unsavedChanges() > 0) {
        fill();
        return;
    }
    // Saved after all: nothing is lost by the quit that was asked for.
    QMessageBox *box = m_box;
    m_box = nullptr;
    box->disconnect(this);
    box->done(QDialog::Rejected);
    box->deleteLater();
    m_quit();
}
