#pragma once

#include <QApplication>
#include <functional>
#include <memory>

// The program's QApplication. It turns the application's own palette-change event into a signal,
// so the appearance can follow the palette without filtering every event of every object.
class Application : public QApplication
{
    Q_OBJECT
public:
    Application(int &argc, char **argv) : QApplication(argc, argv) {}

    // Makes the application object. Should Qt's platform plugin fail meanwhile (a platform that is
    // not there, a display that went away after it was checked), Qt would abort with a core dump:
    // `failed` is told one line for the user instead, and must end the process. What Qt says while
    // the object is made is passed on once it is made.
    static std::unique_ptr<Application> create(int &argc, char **argv,
                                               const std::function<void(const QString &line)> &failed);

Q_SIGNALS:
    void paletteChanged();

protected:
    bool event(QEvent *event) override;
};
