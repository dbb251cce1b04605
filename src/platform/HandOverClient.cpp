#include "HandOverClient.h"

#include "platform/HandOverWire.h"

#include <QFile>

HandOverAttempt HandOverAttempt::send(const QString &socketPath, const QStringList &arguments, int timeoutMs)
{
    std::vector<std::string> utf8;
    for (const QString &argument : arguments)
        utf8.push_back(argument.toStdString());
    const std::string frame = HandOverWire::encodeRequest(utf8);
    const HandOverWire::Result result =
        HandOverWire::send(QFile::encodeName(socketPath).toStdString(), frame, timeoutMs);
    HandOverAttempt attempt;
    switch (result.outcome) {
    case HandOverWire::Result::Outcome::answered:
        if (const auto reply = HandOver::Reply::decode(QByteArray::fromStdString(result.reply))) {
            attempt.outcome = Outcome::answered;
            attempt.reply = *reply;
        } else {
            attempt.outcome = Outcome::noAnswer;
        }
        break;
    case HandOverWire::Result::Outcome::noServer:
        attempt.outcome = Outcome::noServer;
        break;
    case HandOverWire::Result::Outcome::notTaken:
        attempt.outcome = Outcome::notTaken;
        break;
    case HandOverWire::Result::Outcome::noAnswer:
        attempt.outcome = Outcome::noAnswer;
        break;
    case HandOverWire::Result::Outcome::tooLarge:
        attempt.outcome = Outcome::tooLarge;
        attempt.reply = {HandOver::Reply::Status::refused,
                         QString::fromStdString(HandOverWire::tooLargeMessage(frame.size()))};
        break;
    }
    return attempt;
}
