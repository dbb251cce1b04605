#pragma once

#include "ui/ButtonSkin.h"

#include <functional>

class Prefs;
class QObject;

// The skin the user chose in `prefs`: the stored one, else classic.
ButtonSkin chosenSkin(const Prefs &prefs);

// Hands `apply` the chosen skin now and again whenever the choice changes, for as long as `context`
// lives. Owners of buttons use it, so the buttons themselves only draw what they are given.
void followChosenSkin(const Prefs &prefs, QObject *context, std::function<void(ButtonSkin)> apply);
