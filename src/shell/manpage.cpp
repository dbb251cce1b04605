// Build-time tool: writes the manual page from its template and the help's own table, so the page
// and --help say the same. Arguments: the template, the page to write, the date as seconds since
// the epoch (the source's date, so a rebuild writes the same page).
#include "app/CommandLine.h"

#include <QDateTime>
#include <QFile>
#include <QSaveFile>
#include <QTimeZone>
#include <cstdio>

int main(int argc, char **argv)
{
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s TEMPLATE OUTPUT SECONDS_SINCE_EPOCH\n", argv[0]);
        return 2;
    }
    QFile source(QString::fromLocal8Bit(argv[1]));
    if (!source.open(QIODevice::ReadOnly)) {
        std::fprintf(stderr, "%s: %s\n", argv[1], qPrintable(source.errorString()));
        return 1;
    }
    bool isNumber = false;
    const qint64 seconds = QByteArray(argv[3]).toLongLong(&isNumber);
    if (!isNumber) {
        std::fprintf(stderr, "not a number of seconds: %s\n", argv[3]);
        return 2;
    }
    const QDate date = QDateTime::fromSecsSinceEpoch(seconds, QTimeZone::utc()).date();
    const QString page = CommandLine::manPage(QString::fromUtf8(source.readAll()), date);
    QSaveFile out(QString::fromLocal8Bit(argv[2]));
    if (!out.open(QIODevice::WriteOnly) || out.write(page.toUtf8()) < 0 || !out.commit()) {
        std::fprintf(stderr, "%s: %s\n", argv[2], qPrintable(out.errorString()));
        return 1;
    }
    return 0;
}
