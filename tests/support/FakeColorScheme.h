#pragma once

#include "platform/ColorSchemeSource.h"

// A desktop colour-scheme preference the test sets by hand.
class FakeColorScheme : public ColorSchemeSource
{
public:
    Scheme value = Scheme::NoPreference;
    Scheme scheme() const override { return value; }
    void set(Scheme s)
    {
        value = s;
        Q_EMIT schemeChanged();
    }
};
