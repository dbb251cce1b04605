// The model's press sound goes through the sound service: warmed up at start, played on every log.
#include "app/AppModel.h"
#include "app/AppSound.h"
#include "app/DashboardWindow.h"
#include "app/Toast.h"
#include "models/Prefs.h"
#include "services/SoundService.h"
#include "services/Synth.h"
#include "support/FakeAudioOutput.h"
#include "support/TestSupport.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

class TestAppSound : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase() { TestSupport::isolateFolders(); }
    void logPlaysTheChosenSound();
};

void TestAppSound::logPlaysTheChosenSound()
{
    QTemporaryDir dir;
    Prefs prefs(dir.filePath(QStringLiteral("Grumblix.conf")));
    FakeAudioOutput output;
    QRandomGenerator random(3);
    SoundService service(output, prefs, {}, &random);
    AppSound sound(service);

    AppModel model(dir.filePath(QStringLiteral("Grumblix.store")), prefs);
    QVERIFY(model.isValid());
    AppServices services;
    services.sound = &sound;
    model.setServices(std::move(services));
    model.bootstrap({QStringLiteral("grumblix")});

    // Start-up rendered the default sound, and played nothing.
    QCOMPARE(service.cache().size(), std::size_t(1));
    QVERIFY(service.cache().count(SoundChoice::thunk));
    QVERIFY(output.records.isEmpty());

    model.log(EventSource::menuBar);
    QCOMPARE(output.records.size(), 1);
    QCOMPARE(output.records[0]->bytes.constData(), service.cache().at(SoundChoice::thunk).constData());
    QCOMPARE(output.records[0]->volume, 0.85);

    prefs.setValue(PrefKey::sound, QStringLiteral("off"));
    model.log(EventSource::shortcut);
    QCOMPARE(output.records.size(), 1);

    prefs.setValue(PrefKey::sound, QStringLiteral("kaching"));
    model.log(EventSource::url);
    QCOMPARE(output.records.size(), 2);
    QCOMPARE(output.records[1]->bytes, Synth::wav(Synth::render(SoundChoice::kaching)));
}

QTEST_GUILESS_MAIN(TestAppSound)
#include "tst_appsound.moc"
