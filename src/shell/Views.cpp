#include "Views.h"

#include "app/AppModel.h"
#include "features/HUDView.h"
#include "features/MenuPanelView.h"
#include "models/Prefs.h"
#include "ui/EStopButton.h"
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

QString pageTitle(DashboardTab tab)
{
    switch (tab) {
    case DashboardTab::overview:
        return QStringLiteral("Overview");
    case DashboardTab::history:
        return QStringLiteral("History");
    case DashboardTab::report:
        return QStringLiteral("Friday Report");
    case DashboardTab::achievements:
        return QStringLiteral("Achievements");
    case DashboardTab::triggers:
        return QStringLiteral("Triggers");
    case DashboardTab::settings:
        return QStringLiteral("Settings");
    }
    return {};
}

} // namespace

namespace Views {

QWidget *panel(AppModel &model, std::function<void()> close)
{
    auto *view = new MenuPanelView(model, std::move(close));
    view->button()->setObjectName(QStringLiteral("logButton"));
    return view;
}

QWidget *toast(AppModel &model, const VorpEvent &event, std::function<void()> onChosen,
               std::function<void(bool)> onHover)
{
    return new HUDView(model, event, std::move(onChosen), std::move(onHover));
}

QWidget *dashboard(AppModel &model)
{
    auto *root = new Surface;
    auto *layout = new QVBoxLayout(root);
    auto *title = label(pageTitle(model.dashboardTab()), 28, QFont::Black, root);
    title->setObjectName(QStringLiteral("pageTitle"));
    layout->addWidget(title);
    QObject::connect(&model, &AppModel::dashboardTabChanged, title,
                     [&model, title] { title->setText(pageTitle(model.dashboardTab())); });
    return root;
}

} // namespace Views
