#pragma once

#include <QApplication>

// The program's QApplication. It turns the application's own palette-change event into a signal,
// so the appearance can follow the palette without filtering every event of every object.
class Application : public QApplication
{
    Q_OBJECT
public:
    Application(int &argc, char **argv) : QApplication(argc, argv) {}

Q_SIGNALS:
    void paletteChanged();

protected:
    bool event(QEvent *event) override;
};
