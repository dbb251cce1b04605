#include "app/AppModel.h"

#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Grumblix"));
    QApplication::setQuitOnLastWindowClosed(false);

    AppModel &model = AppModel::shared();
    // Changes whose save failed get one more try on the way out.
    QObject::connect(&app, &QCoreApplication::aboutToQuit, &model, &AppModel::flushPendingChanges);
    model.bootstrap(QCoreApplication::arguments());
    return app.exec();
}
