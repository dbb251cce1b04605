#include "ui/ChosenSkin.h"

#include "models/Prefs.h"

ButtonSkin chosenSkin(const Prefs &prefs)
{
    return ButtonSkin::effective(prefs.buttonSkin());
}

void followChosenSkin(const Prefs &prefs, QObject *context, std::function<void(ButtonSkin)> apply)
{
    apply(chosenSkin(prefs));
    QObject::connect(&prefs, &Prefs::changed, context, [&prefs, apply](const QString &key) {
        if (key == PrefKey::buttonSkin)
            apply(chosenSkin(prefs));
    });
}
