#include "platform/TrayRequestPoint.h"

#include <QLoggingCategory>
#include <QRegularExpression>
#include <cstring>
#include <utility>

namespace TrayRequestPoint {

namespace {

constexpr const char *trayCategory = "qt.qpa.tray";

QtMessageHandler previousHandler = nullptr;
QLoggingCategory::CategoryFilter previousFilter = nullptr;
bool userWantsTrayDebug = false;
std::optional<QPoint> pending;

bool isTray(const char *category)
{
    return category && std::strcmp(category, trayCategory) == 0;
}

void filter(QLoggingCategory *category)
{
    if (previousFilter)
        previousFilter(category);
    if (isTray(category->categoryName())) {
        userWantsTrayDebug = category->isDebugEnabled();
        category->setEnabled(QtDebugMsg, true);
    }
}

void handler(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (type == QtDebugMsg && isTray(context.category)) {
        static const QRegularExpression coordinates(QStringLiteral("^(-?\\d+) (-?\\d+)$"));
        const QRegularExpressionMatch match = coordinates.match(message);
        if (match.hasMatch())
            pending = QPoint(match.captured(1).toInt(), match.captured(2).toInt());
        if (!userWantsTrayDebug)
            return;
    }
    if (previousHandler)
        previousHandler(type, context, message);
}

} // namespace

void install()
{
    static bool installed = false;
    if (std::exchange(installed, true))
        return;
    previousHandler = qInstallMessageHandler(handler);
    previousFilter = QLoggingCategory::installFilter(filter);
}

std::optional<QPoint> take()
{
    return std::exchange(pending, std::nullopt);
}

} // namespace TrayRequestPoint
