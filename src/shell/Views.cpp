#include "Views.h"

#include "app/AppModel.h"
#include "features/DashboardView.h"
#include "models/Prefs.h"
#include "ui/Fonts.h"
#include "ui/Theme.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// A plain paper-coloured surface for the simple content below.
class Surface : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Theme::paper);
        p.setPen(QPen(Theme::stroke.resolve(), 1));
        p.drawRect(QRectF(rect()).adjusted(0.5, 0.5, -0.5, -0.5));
    }
};

QLabel *label(const QString &text, qreal size, QFont::Weight weight, QWidget *parent)
{
    auto *l = new QLabel(text, parent);
    l->setFont(Fonts::font(size, weight));
    l->setAlignment(Qt::AlignCenter);
    l->setWordWrap(true);
    QPalette palette = l->palette();
    palette.setColor(QPalette::WindowText, Theme::ink);
    l->setPalette(palette);
    return l;
}

} // namespace

namespace Views {

QWidget *panel(AppModel &model, std::function<void()> close)
{
    auto *root = new Surface;
    root->setFixedSize(320, 360);
    auto *layout = new QVBoxLayout(root);
    layout->setContentsMargins(24, 24, 24, 24);
    auto *button = new QPushButton(QStringLiteral("STOP"), root);
    button->setObjectName(QStringLiteral("logButton"));
    button->setFixedSize(180, 180);
    button->setFont(Fonts::font(28, QFont::Black));
    button->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: white; border-radius: 90px; }")
                              .arg(QColor(Theme::red).name()));
    layout->addStretch();
    layout->addWidget(button, 0, Qt::AlignHCenter);
    auto *count = label(QString(), 13, QFont::DemiBold, root);
    layout->addWidget(count);
    layout->addStretch();
    auto refresh = [&model, count] { count->setText(QStringLiteral("Today: %1").arg(model.todayCount())); };
    refresh();
    QObject::connect(&model, &AppModel::logTickChanged, count, refresh);
    QObject::connect(button, &QPushButton::clicked, root, [&model, close] {
        model.log(EventSource::menuBar);
        if (model.prefs().boolValue(QStringLiteral("autoClosePanel")) && close)
            close();
    });
    return root;
}

QWidget *toast(AppModel &model, const VorpEvent &event, std::function<void()> onChosen,
               std::function<void(bool)> onHover)
{
    Q_UNUSED(onChosen);
    Q_UNUSED(onHover);
    auto *root = new Surface;
    root->setFixedSize(360, 96);
    auto *layout = new QVBoxLayout(root);
    layout->addWidget(
        label(QStringLiteral("Logged: %1").arg(event.appName.value_or(QStringLiteral("Unknown app"))), 14,
              QFont::Bold, root));
    const TriggerInfo trigger = info(model.allTriggers(), event.triggerKey);
    layout->addWidget(
        label(trigger.emoji.isEmpty() ? trigger.name : trigger.emoji + QLatin1Char(' ') + trigger.name, 12,
              QFont::Normal, root));
    return root;
}

QWidget *dashboard(AppModel &model)
{
    return new DashboardView(model);
}

} // namespace Views
