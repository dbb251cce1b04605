#include "support/DesktopTools.h"
#include "ui/GXTextField.h"
#include "ui/LineEditorKeyTable.h"

#include <QApplication>
#include <QClipboard>
#include <QLineEdit>
#include <QProcess>
#include <QVBoxLayout>

using DesktopTools::run;
using DesktopTools::waitFor;

// The line editor's keys under X11's key bindings and with the X11 selection, which the offscreen
// platform lacks: the same table as offscreen, then Select All pasted with the middle button into
// another field and read by another program.
class LineKeysTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        QVERIFY(QGuiApplication::clipboard()->supportsSelection());
        QVERIFY2(DesktopTools::hasProgram(QStringLiteral("xdotool")), "xdotool is missing");
    }
    void keysActAsQtsLineEdit_data() { LineEditorKeyTable::addRows(); }
    void keysActAsQtsLineEdit() { LineEditorKeyTable::checkRow(); }
    void selectAllPastesElsewhereWithTheMiddleButton();
};

namespace {

// What a middle click pastes in another program: the X11 selection, read by a process of its own
// while this one answers for it.
QString selectionSeenByAnotherProgram()
{
    QProcess reader;
    reader.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--print-selection")});
    if (!reader.waitForStarted())
        return QStringLiteral("(the reader did not start)");
    if (!waitFor([&] { return reader.state() == QProcess::NotRunning; }, 15000)) {
        reader.kill();
        reader.waitForFinished();
        return QStringLiteral("(the reader did not finish)");
    }
    return QString::fromUtf8(reader.readAllStandardOutput());
}

} // namespace

void LineKeysTest::selectAllPastesElsewhereWithTheMiddleButton()
{
    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *field = new GXTextField(QStringLiteral("Search"));
    auto *elsewhere = new QLineEdit;
    layout->addWidget(field);
    layout->addWidget(elsewhere);
    window.resize(320, 120);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    const QString text = QStringLiteral("printer on fire \u00e9\U0001F525");
    field->setText(text);
    field->lineEdit()->setCursorPosition(3);
    QGuiApplication::clipboard()->setText(QStringLiteral("before"), QClipboard::Selection);
    field->lineEdit()->setFocus();

    // A real key press, through the X server, to the window that has the X input focus.
    const QString id = QString::number(window.winId());
    run(QStringLiteral("xdotool"), {QStringLiteral("windowfocus"), QStringLiteral("--sync"), id});
    QVERIFY(QTest::qWaitForWindowActive(&window));
    run(QStringLiteral("xdotool"), {QStringLiteral("key"), QStringLiteral("ctrl+a")});
    QVERIFY(waitFor([&] { return field->lineEdit()->selectedText() == text; }));
    QCOMPARE(QGuiApplication::clipboard()->text(QClipboard::Selection), text);

    // A real middle click on the other field, after its text.
    elsewhere->setText(QStringLiteral("> "));
    const QPoint at = elsewhere->mapTo(&window, QPoint(elsewhere->width() - 4, elsewhere->height() / 2));
    run(QStringLiteral("xdotool"),
        {QStringLiteral("mousemove"), QStringLiteral("--window"), id, QString::number(at.x()),
         QString::number(at.y()), QStringLiteral("click"), QStringLiteral("2")});
    QVERIFY(waitFor([&] { return elsewhere->text() != QStringLiteral("> "); }));
    QCOMPARE(elsewhere->text(), QStringLiteral("> ") + text);

    QCOMPARE(selectionSeenByAnotherProgram(), text);
}

int main(int argc, char **argv)
{
    if (argc == 2 && qstrcmp(argv[1], "--print-selection") == 0) {
        QGuiApplication app(argc, argv);
        const QByteArray selection = QGuiApplication::clipboard()->text(QClipboard::Selection).toUtf8();
        fwrite(selection.constData(), 1, size_t(selection.size()), stdout);
        return 0;
    }
    QApplication app(argc, argv);
    LineKeysTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_linekeys.moc"
