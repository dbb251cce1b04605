#pragma once

#include <cstdint>
#include <optional>
#include <xcb/xcb.h>

// The X connection and root window that Qt's own xcb platform uses, when the program runs on X11.
struct X11Connection
{
    xcb_connection_t *connection = nullptr;
    xcb_window_t root = 0;

    static std::optional<X11Connection> fromApplication();
    xcb_atom_t atom(const char *name) const;
};
