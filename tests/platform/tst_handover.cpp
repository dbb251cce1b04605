#include "platform/HandOver.h"
#include "platform/HandOverWire.h"

#include <QtTest>

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
        QTest::newRow("failed") << int(HandOver::Reply::Status::failed)
                                << QStringLiteral("disk full \u2014 sorry");
        QTest::newRow("refused") << int(HandOver::Reply::Status::refused) << QStringLiteral("not yet");
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
};

QTEST_GUILESS_MAIN(HandOverTest)
#include "tst_handover.moc"
