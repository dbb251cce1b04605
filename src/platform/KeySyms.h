#pragma once

#include <QtGlobal>

// The X keysym that a Qt::Key names, or 0 when there is none. Letters map to their lower-case
// keysym, which is what the unshifted level of a keyboard mapping carries.
quint32 keysymForQtKey(int qtKey);
