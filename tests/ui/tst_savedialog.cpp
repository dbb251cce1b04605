#include "models/Csv.h"
#include "support/TestSupport.h"
#include "ui/SaveDialog.h"

#include <QDir>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

// The save dialog of the exports, driven as a user drives Qt's own dialog: a name typed into its
// field, then Return.
class TestSaveDialog : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void typedNameIsTheWrittenPath_data();
    void typedNameIsTheWrittenPath();
    void askRunsTheSameDialog();

private:
    static void typeAndAccept(QFileDialog &dialog, const QString &typed);
};

void TestSaveDialog::initTestCase()
{
    TestSupport::isolateFolders();
}

void TestSaveDialog::typeAndAccept(QFileDialog &dialog, const QString &typed)
{
    auto *field = dialog.findChild<QLineEdit *>(QStringLiteral("fileNameEdit"));
    QVERIFY(field);
    field->clear();
    QTest::keyClicks(field, typed);
    QTest::keyClick(field, Qt::Key_Return);
}

void TestSaveDialog::typedNameIsTheWrittenPath_data()
{
    QTest::addColumn<QString>("typed"); // "<dir>" is the dialog's folder
    QTest::addColumn<QString>("suffix");
    QTest::addColumn<bool>("exists"); // a file of that name is there already (and is replaced)
    QTest::addColumn<QString>("written");
    QTest::newRow("quote in a name") << "we\"ird name.csv"
                                     << "" << false << "<dir>/we\"ird name.csv";
    QTest::newRow("quote in a full path") << "<dir>/odd dir/we\"ird name.csv"
                                          << "" << false << "<dir>/odd dir/we\"ird name.csv";
    QTest::newRow("quotes around a name") << "\"both\".csv"
                                          << "" << false << "<dir>/\"both\".csv";
    QTest::newRow("quote, suffix added") << "we\"ird"
                                         << "png" << false << "<dir>/we\"ird.png";
    QTest::newRow("quote, existing file") << "we\"ird name.csv"
                                          << "" << true << "<dir>/we\"ird name.csv";
    QTest::newRow("plain name") << "plain name.csv"
                                << "" << false << "<dir>/plain name.csv";
    QTest::newRow("plain name, suffix added") << "report"
                                              << "png" << false << "<dir>/report.png";
}

void TestSaveDialog::typedNameIsTheWrittenPath()
{
    QFETCH(QString, typed);
    QFETCH(QString, suffix);
    QFETCH(bool, exists);
    QFETCH(QString, written);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkpath(QStringLiteral("odd dir")));
    typed.replace(QLatin1String("<dir>"), dir.path());
    written.replace(QLatin1String("<dir>"), dir.path());
    if (exists) {
        QFile old(written);
        QVERIFY(old.open(QIODevice::WriteOnly));
        old.write("old");
    }

    SaveFileDialog dialog(nullptr, QStringLiteral("Export CSV"), dir.filePath(QStringLiteral("grumblix.csv")),
                          {QStringLiteral("CSV files (*.csv)"), QStringLiteral("All files (*)")}, suffix);
    dialog.setOption(QFileDialog::DontUseNativeDialog);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    bool asked = false;
    if (exists) {
        // The replace question comes up inside the key press; answer it when it shows.
        QTimer::singleShot(0, this, [&] {
            auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
            QVERIFY(box);
            asked = true;
            box->button(QMessageBox::Yes)->click();
        });
    }
    typeAndAccept(dialog, typed);
    QCOMPARE(asked, exists);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
    QCOMPARE(dialog.chosenPath(), written);

    QVERIFY(Csv::write(dialog.chosenPath(), {}, {}));
    QFile file(written);
    QVERIFY(file.open(QIODevice::ReadOnly));
    QCOMPARE(file.readAll(), Csv::document({}, {}));
    // Nothing landed anywhere else.
    QStringList everything;
    for (const QString &folder : {dir.path(), dir.filePath(QStringLiteral("odd dir"))})
        for (const QFileInfo &info : QDir(folder).entryInfoList(QDir::Files))
            everything << info.absoluteFilePath();
    QCOMPARE(everything, QStringList{written});
}

void TestSaveDialog::askRunsTheSameDialog()
{
    QTemporaryDir dir;
    const QString expected = dir.filePath(QStringLiteral("we\"ird.png"));
    QTimer::singleShot(0, this, [&] {
        auto *dialog = qobject_cast<QFileDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog);
        typeAndAccept(*dialog, QStringLiteral("we\"ird"));
    });
    QCOMPARE(SaveDialog::ask(nullptr, QStringLiteral("Export PNG"), dir.filePath(QStringLiteral("r.png")),
                             {QStringLiteral("PNG image (*.png)")}, QStringLiteral("png")),
             expected);

    QTimer::singleShot(0, this, [] {
        if (QWidget *dialog = QApplication::activeModalWidget())
            QTest::keyClick(dialog, Qt::Key_Escape);
    });
    QCOMPARE(SaveDialog::ask(nullptr, QStringLiteral("Export PNG"), dir.filePath(QStringLiteral("r.png")),
                             {QStringLiteral("PNG image (*.png)")}),
             QString());
}

QTEST_MAIN(TestSaveDialog)
#include "tst_savedialog.moc"
