#include "features/NoteKeyTable.h"

#include <QGuiApplication>

using namespace NoteKeyTable;

// The keys that change the text at a soft cut of the note editor, under X11's key bindings: they
// bind more deleting keys (Ctrl+K, Ctrl+D) and another redo than the offscreen platform does.
class NoteKeysTest : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase()
    {
        if (QGuiApplication::platformName() != QLatin1String("xcb"))
            QSKIP("needs an X server");
        QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    }
    void keyAtACutActsAsElsewhere_data() { addKeyRows(); }
    void keyAtACutActsAsElsewhere() { checkKeyRow(); }
};

QTEST_MAIN(NoteKeysTest)
#include "tst_notekeys.moc"
