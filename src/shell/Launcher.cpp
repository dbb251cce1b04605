#include "Launcher.h"

#include "models/PrivateFiles.h"
#include "models/Store.h"
#include "models/StoreLock.h"
#include "platform/HandOverClient.h"
#include "platform/RuntimeFolder.h"
#include "platform/SingleInstance.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QFileInfo>
#include <QStringList>
#include <QThread>
#include <unistd.h>

namespace {

// Who holds the store, as far as its note says.
QString holderName(const std::optional<StoreLock::Note> &note)
{
    return note ? QStringLiteral("Grumblix runs elsewhere (process %1)").arg(note->pid)
                : QStringLiteral("Grumblix runs elsewhere");
}

HandOver::Reply refused(const QString &message)
{
    return {HandOver::Reply::Status::refused, message};
}

} // namespace

std::optional<HandOver::Reply> handOverOrClaim(const QStringList &arguments,
                                               std::unique_ptr<SingleInstance> &instance)
{
    const RuntimeFolder folder = RuntimeFolder::resolve();
    if (!folder.isUsable())
        return HandOver::Reply{HandOver::Reply::Status::refused, QString::fromStdString(folder.error)};
    auto claimed = std::make_unique<SingleInstance>(QFile::decodeName(folder.path.c_str()));
    if (claimed->claim(arguments) == SingleInstance::Role::Primary) {
        instance = std::move(claimed);
        return std::nullopt;
    }
    return claimed->reply();
}

std::optional<HandOver::Reply> handOverToStoreWriter(const QStringList &arguments, const QString &storePath,
                                                     StoreLock &lock, int timeoutMs)
{
    // A folder that cannot be made is left to the store open to report.
    PrivateFiles::makeFolder(QFileInfo(storePath).absolutePath());
    const std::string path = QFile::encodeName(storePath).toStdString();
    const QDeadlineTimer deadline(timeoutMs);
    std::optional<StoreLock::Note> holder;
    while (true) {
        // Held, or nobody writes the store: the store's open says what is wrong with it, if anything.
        lock = Store::lockFor(storePath);
        if (!lock.isBusy())
            return std::nullopt;
        if (std::optional<StoreLock::Note> note = StoreLock::readNote(path))
            holder = std::move(note);
        if (holder && !holder->address.empty()) {
            // The note is this user's own, but the folder it names is trusted only as the
            // runtime folder itself would be: a folder another user may write could hold anyone's
            // socket, and the launch's notes would go to them.
            const std::string &address = holder->address;
            const size_t slash = address.rfind('/');
            const RuntimeFolder folder = RuntimeFolder::check(
                slash == std::string::npos ? std::string() : address.substr(0, slash), ::geteuid(), false);
            if (!folder.isUsable())
                return refused(QStringLiteral("%1, but it listens in %2, which this launch will not use: %3. "
                                              "Nothing was logged.")
                                   .arg(holderName(holder),
                                        QFile::decodeName(address.substr(0, slash).c_str()),
                                        QString::fromStdString(folder.reason)));
            const HandOverAttempt attempt =
                HandOverAttempt::send(QFile::decodeName(address.c_str()), arguments,
                                      int(qMax<qint64>(deadline.remainingTime(), 100)));
            switch (attempt.outcome) {
            case HandOverAttempt::Outcome::answered:
            case HandOverAttempt::Outcome::tooLarge:
                return attempt.reply;
            case HandOverAttempt::Outcome::notTaken:
                return refused(QString::fromStdString(HandOverWire::notTakenMessage()));
            case HandOverAttempt::Outcome::noAnswer:
                // The arguments may have arrived: sending them again could log twice.
                return HandOver::Reply{HandOver::Reply::Status::unanswered,
                                       QString::fromStdString(HandOverWire::unansweredMessage())};
            case HandOverAttempt::Outcome::noServer:
                break; // its socket is not there yet, or is being made again
            }
        }
        if (deadline.hasExpired())
            return refused(QStringLiteral("%1 and cannot be reached from here yet; nothing was logged. Try "
                                          "again in a moment.")
                               .arg(holderName(holder)));
        QThread::msleep(20);
    }
}
