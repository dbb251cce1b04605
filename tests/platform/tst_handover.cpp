#include "platform/HandOver.h"
#include "platform/HandOverClient.h"
#include "platform/HandOverWire.h"
#include "platform/SingleInstance.h"
#include "support/FakeInstance.h"
#include "support/UnixSockets.h"

#include <QtTest>
#include <atomic>
#include <sys/socket.h>
#include <thread>
#include <unistd.h>

namespace {

// Runs `work` on another thread while this one serves the event loop (the running instance's side).
template<typename Work> void whileServing(Work work)
{
    std::atomic<bool> done = false;
    std::thread worker([&] {
        work();
        done = true;
    });
    while (!done)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
    worker.join();
}

// One argument of `units` ASCII characters makes a frame payload of 12 + 2 * units bytes.
std::string argumentFilling(qsizetype payload)
{
    return std::string(size_t((payload - 12) / 2), 'n');
}

} // namespace

// The frame the launcher writes without Qt is the frame the running instance reads with Qt.
class HandOverTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void launcherFrameReadsBack_data()
    {
        QTest::addColumn<QByteArrayList>("arguments");
        QTest::newRow("none") << QByteArrayList{};
        QTest::newRow("empty argument") << QByteArrayList{""};
        QTest::newRow("url and options")
            << QByteArrayList{"grumblix://log?note=a%20b", "--tab=report", "--panel"};
        QTest::newRow("accents and emoji")
            << QByteArrayList{"grumblix://log?note=caf\xc3\xa9 \xf0\x9f\x94\xa5"};
        QTest::newRow("not UTF-8") << QByteArrayList{"a\xff"
                                                     "b",
                                                     "\xe2\x82", "\xc0\xaf", "\xed\xa0\x80"};
    }
    void launcherFrameReadsBack()
    {
        QFETCH(QByteArrayList, arguments);
        std::vector<std::string> raw;
        QStringList expected;
        for (const QByteArray &argument : arguments) {
            raw.push_back(argument.toStdString());
            expected << QString::fromUtf8(argument);
        }
        QByteArray buffer = QByteArray::fromStdString(HandOverWire::encodeRequest(raw));
        // Arrives in two pieces: nothing until the whole frame is there.
        QByteArray first = buffer.left(buffer.size() / 2);
        bool malformed = true;
        QVERIFY(!HandOver::takeRequest(first, &malformed));
        QVERIFY(!malformed);
        const std::optional<QStringList> read = HandOver::takeRequest(buffer, &malformed);
        QVERIFY(!malformed);
        QVERIFY(read);
        QCOMPARE(*read, expected);
        QVERIFY(buffer.isEmpty());
    }

    void malformedFramesAreRejected_data()
    {
        QTest::addColumn<QByteArray>("frame");
        // Length 12: the magic, then a list that claims four billion strings and holds none (read
        // as claimed, the list alone would ask for about 100 GB).
        QTest::newRow("count beyond the payload") << QByteArray::fromHex("0000000c"
                                                                         "47524d31"
                                                                         "ffffffff"
                                                                         "00000000");
        QTest::newRow("count of two, one string") << QByteArray::fromHex("0000000e"
                                                                         "47524d31"
                                                                         "00000002"
                                                                         "00000002"
                                                                         "0061");
        QTest::newRow("odd string length") << QByteArray::fromHex("0000000d"
                                                                  "47524d31"
                                                                  "00000001"
                                                                  "00000001"
                                                                  "61");
        QTest::newRow("wrong magic") << QByteArray::fromHex("00000008"
                                                            "47524d32"
                                                            "00000000");
        QTest::newRow("bytes after the list") << QByteArray::fromHex("00000009"
                                                                     "47524d31"
                                                                     "00000000"
                                                                     "00");
    }
    void malformedFramesAreRejected()
    {
        QFETCH(QByteArray, frame);
        bool malformed = false;
        QVERIFY(!HandOver::takeRequest(frame, &malformed));
        QVERIFY(malformed);
    }

    void repliesReadBack_data()
    {
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("message");
        QTest::newRow("done") << int(HandOver::Reply::Status::done) << QString();
        QTest::newRow("kept") << int(HandOver::Reply::Status::kept)
                              << QStringLiteral("disk full \u2014 sorry");
        QTest::newRow("refused") << int(HandOver::Reply::Status::refused) << QStringLiteral("not yet");
        QTest::newRow("unanswered") << int(HandOver::Reply::Status::unanswered) << QStringLiteral("gone");
    }
    void repliesReadBack()
    {
        QFETCH(int, status);
        QFETCH(QString, message);
        const HandOver::Reply reply{HandOver::Reply::Status(status), message};
        const auto read = HandOver::Reply::decode(reply.encode());
        QVERIFY(read);
        QCOMPARE(int(read->status), status);
        QCOMPARE(read->message, message);
        QVERIFY(!HandOver::Reply::decode(QByteArray()));
        QVERIFY(!HandOver::Reply::decode(QByteArray("x")));
    }

    // What a script acts on: the status byte of a reply, whichever version wrote it, and the reply
    // read from it agree on the exit status.
    void replyBytesGiveTheExitStatus_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<int>("status"); // -1: no reply can be read from the bytes
        QTest::addColumn<int>("exitStatus");
        QTest::newRow("done") << QByteArray("k") << int(HandOver::Reply::Status::done) << 0;
        QTest::newRow("nothing done") << QByteArray("rnot yet") << int(HandOver::Reply::Status::refused) << 1;
        QTest::newRow("kept, not on disk")
            << QByteArray("pdisk full") << int(HandOver::Reply::Status::kept) << 2;
        // An instance of an earlier version said "failed" for a save that failed: it had kept the
        // incident all the same, so a retry would log it twice.
        QTest::newRow("an earlier version's failed save")
            << QByteArray("ecould not save") << int(HandOver::Reply::Status::kept) << 2;
        QTest::newRow("no answer") << QByteArray("ugone") << int(HandOver::Reply::Status::unanswered) << 3;
        QTest::newRow("a byte no version writes") << QByteArray("zwhat") << -1 << 3;
    }
    void replyBytesGiveTheExitStatus()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(int, status);
        QFETCH(int, exitStatus);
        QCOMPARE(HandOverWire::exitStatusFor(bytes.front()), exitStatus);
        const std::optional<HandOver::Reply> reply = HandOver::Reply::decode(bytes);
        QCOMPARE(bool(reply), status >= 0);
        if (!reply)
            return;
        QCOMPARE(int(reply->status), status);
        QCOMPARE(reply->exitStatus(), exitStatus);
        QCOMPARE(reply->message, QString::fromUtf8(bytes.mid(1)));
    }

    // A peer that takes no request, or takes it and says nothing: the launcher must tell "nothing
    // was handed over" from "handed over, fate unknown", since only the first may be repeated.
    void aSilentPeerIsToldApartFromOneThatNeverHadTheRequest_data()
    {
        QTest::addColumn<int>("behaviour");
        QTest::addColumn<qsizetype>("payload");
        QTest::addColumn<int>("outcome");
        const int noAnswer = int(HandOverWire::Result::Outcome::noAnswer);
        QTest::newRow("hangs up once it has the request")
            << int(FakeInstance::Behaviour::hangUpAfterRequest) << qsizetype(100) << noAnswer;
        QTest::newRow("keeps the request and never answers")
            << int(FakeInstance::Behaviour::neverAnswer) << qsizetype(100) << noAnswer;
        // The request is far larger than the socket's buffers, so most of it was never sent.
        QTest::newRow("hangs up before the request is in")
            << int(FakeInstance::Behaviour::hangUpAfterLength) << HandOver::maxFrame
            << int(HandOverWire::Result::Outcome::notTaken);
    }
    void aSilentPeerIsToldApartFromOneThatNeverHadTheRequest()
    {
        QFETCH(int, behaviour);
        QFETCH(qsizetype, payload);
        QFETCH(int, outcome);
        QTemporaryDir folder;
        const QString path = HandOver::socketPathIn(folder.path());
        const FakeInstance peer(path, FakeInstance::Behaviour(behaviour));
        QVERIFY(peer.isListening());
        QElapsedTimer clock;
        clock.start();
        const HandOverWire::Result result = HandOverWire::send(
            path.toStdString(), HandOverWire::encodeRequest({argumentFilling(payload)}), 500);
        QCOMPARE(int(result.outcome), outcome);
        QVERIFY(clock.elapsed() < 2000);
    }

    void theLauncherChecksTheSizeOnlyWhenSomeoneListens_data()
    {
        QTest::addColumn<bool>("listening");
        QTest::newRow("nobody listens: the launch will run the program itself") << false;
        QTest::newRow("an instance listens: nothing is sent") << true;
    }
    void theLauncherChecksTheSizeOnlyWhenSomeoneListens()
    {
        QFETCH(bool, listening);
        QTemporaryDir folder;
        const QString path = HandOver::socketPathIn(folder.path());
        const int server = listening ? UnixSockets::listenAt(path) : -1;
        QCOMPARE(server >= 0, listening);
        const std::string frame = HandOverWire::encodeRequest({argumentFilling(HandOver::maxFrame + 2)});
        const HandOverWire::Result result = HandOverWire::send(path.toStdString(), frame, 2000);
        QCOMPARE(int(result.outcome), int(listening ? HandOverWire::Result::Outcome::tooLarge
                                                    : HandOverWire::Result::Outcome::noServer));
        if (!listening)
            return;
        // The connection was made and closed without a byte.
        const int peer = ::accept(server, nullptr, nullptr);
        QVERIFY(peer >= 0);
        char byte = 0;
        QCOMPARE(::recv(peer, &byte, 1, 0), ssize_t(0));
        ::close(peer);
        ::close(server);
    }

    void theInstanceTakesAFrameUpToTheLimit_data()
    {
        QTest::addColumn<qsizetype>("payload");
        QTest::addColumn<bool>("taken");
        QTest::newRow("at the limit") << HandOver::maxFrame << true;
        QTest::newRow("one character more") << HandOver::maxFrame + 2 << false;
    }
    void theInstanceTakesAFrameUpToTheLimit()
    {
        QFETCH(qsizetype, payload);
        QFETCH(bool, taken);
        QTemporaryDir folder;
        SingleInstance instance(folder.path());
        QCOMPARE(instance.claim({}), SingleInstance::Role::Primary);
        QVERIFY(instance.listen());
        QStringList received;
        instance.setHandler([&received](const QStringList &arguments) {
            received = arguments;
            return HandOver::Reply{};
        });

        const std::string argument = argumentFilling(payload);
        HandOverAttempt attempt;
        whileServing([&] {
            attempt = HandOverAttempt::send(instance.socketPath(), {QString::fromStdString(argument)}, 5000);
        });
        if (taken) {
            QCOMPARE(int(attempt.outcome), int(HandOverAttempt::Outcome::answered));
            QCOMPARE(int(attempt.reply.status), int(HandOver::Reply::Status::done));
            QCOMPARE(received, QStringList{QString::fromStdString(argument)});
        } else {
            QCOMPARE(int(attempt.outcome), int(HandOverAttempt::Outcome::tooLarge));
            QCOMPARE(int(attempt.reply.status), int(HandOver::Reply::Status::refused));
            // In bytes and what a character costs, which holds for any text.
            for (const char *words : {"request is 1,025 KiB", "at most 1,024 KiB", "two bytes",
                                      "an emoji four", "Nothing was done"})
                QVERIFY2(attempt.reply.message.contains(QLatin1String(words)),
                         qPrintable(attempt.reply.message));
            QVERIFY2(!attempt.reply.message.contains(QLatin1String("500,000")),
                     qPrintable(attempt.reply.message));
            QVERIFY(received.isEmpty());
        }
    }

    void theInstanceAnswersAnOversizedFrame_data()
    {
        QTest::addColumn<bool>("whole");
        // A launcher that did not check first: the instance tells it why rather than hanging up.
        QTest::newRow("only the length written") << false;
        QTest::newRow("the whole frame written") << true;
    }
    void theInstanceAnswersAnOversizedFrame()
    {
        QFETCH(bool, whole);
        QTemporaryDir folder;
        SingleInstance instance(folder.path());
        QCOMPARE(instance.claim({}), SingleInstance::Role::Primary);
        QVERIFY(instance.listen());
        bool handled = false;
        instance.setHandler([&handled](const QStringList &) {
            handled = true;
            return HandOver::Reply{};
        });

        std::string frame = HandOverWire::encodeRequest({argumentFilling(2 * HandOver::maxFrame)});
        if (!whole)
            frame.resize(4);
        std::string reply;
        whileServing([&] {
            const int fd = UnixSockets::connectTo(instance.socketPath());
            if (fd < 0)
                return;
            for (size_t sent = 0; sent < frame.size();) {
                const ssize_t n = ::send(fd, frame.data() + sent, frame.size() - sent, MSG_NOSIGNAL);
                if (n <= 0)
                    break; // the instance stopped reading
                sent += size_t(n);
            }
            char buffer[512];
            for (ssize_t n; (n = ::recv(fd, buffer, sizeof buffer, 0)) > 0;)
                reply.append(buffer, size_t(n));
            ::close(fd);
        });
        const std::optional<HandOver::Reply> read = HandOver::Reply::decode(QByteArray::fromStdString(reply));
        QVERIFY2(read, reply.c_str());
        QCOMPARE(int(read->status), int(HandOver::Reply::Status::refused));
        for (const char *words : {"request is 2,049 KiB", "at most 1,024 KiB"})
            QVERIFY2(read->message.contains(QLatin1String(words)), qPrintable(read->message));
        QVERIFY(!handled);
    }
};

QTEST_GUILESS_MAIN(HandOverTest)
#include "tst_handover.moc"
