#include <QApplication>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Grumblix"));
    QApplication::setQuitOnLastWindowClosed(false);
    return app.exec();
}
