# Sourced by the test runners: the environment every test starts from, whatever the caller exported.
# A variable that picks a display, a desktop, a look, a scale, a locale, a time zone or a folder is
# set to one fixed value or removed, so a test sees the same program on every machine and never the
# user's session, files or running Grumblix. Takes the Qt platform plugin the tests use; sets
# GRUMBLIX_TEST_HOME, a fresh folder holding the XDG folders, for the runner to remove.
grumblix_test_environment() {
    local platform=$1
    GRUMBLIX_TEST_HOME=$(mktemp -d "${TMPDIR:-/tmp}/grumblix-test.XXXXXX")
    chmod 700 "$GRUMBLIX_TEST_HOME"
    local name
    for name in config data cache state runtime; do
        mkdir -m 700 "$GRUMBLIX_TEST_HOME/$name"
    done
    export XDG_CONFIG_HOME="$GRUMBLIX_TEST_HOME/config" XDG_DATA_HOME="$GRUMBLIX_TEST_HOME/data" \
        XDG_CACHE_HOME="$GRUMBLIX_TEST_HOME/cache" XDG_STATE_HOME="$GRUMBLIX_TEST_HOME/state" \
        XDG_RUNTIME_DIR="$GRUMBLIX_TEST_HOME/runtime"
    export XDG_DATA_DIRS=/usr/local/share:/usr/share XDG_CONFIG_DIRS=/etc/xdg

    export QT_QPA_PLATFORM=$platform XDG_SESSION_TYPE=x11
    unset WAYLAND_DISPLAY WAYLAND_SOCKET XDG_CURRENT_DESKTOP XDG_SESSION_DESKTOP DESKTOP_SESSION \
        KDE_FULL_SESSION GNOME_DESKTOP_SESSION_ID XDG_ACTIVATION_TOKEN DESKTOP_STARTUP_ID
    # The runner provides the display and the bus (or none).
    unset DISPLAY XAUTHORITY DBUS_SESSION_BUS_ADDRESS
    unset QT_QPA_PLATFORMTHEME QT_STYLE_OVERRIDE QT_QPA_PLATFORM_PLUGIN_PATH QT_PLUGIN_PATH \
        QT_QPA_GENERIC_PLUGINS QT_SCALE_FACTOR QT_SCREEN_SCALE_FACTORS QT_AUTO_SCREEN_SCALE_FACTOR \
        QT_ENABLE_HIGHDPI_SCALING QT_SCALE_FACTOR_ROUNDING_POLICY QT_FONT_DPI QT_DEVICE_PIXEL_RATIO \
        QT_USE_PHYSICAL_DPI QT_FATAL_WARNINGS QT_FATAL_CRITICALS QT_LOGGING_RULES QT_MESSAGE_PATTERN \
        QT_ACCESSIBILITY QT_IM_MODULE QT_QUICK_CONTROLS_STYLE QT_XCB_GL_INTEGRATION QT_DEBUG_PLUGINS \
        QT_HASH_SEED QT_ASSUME_STDERR_HAS_CONSOLE QT_FORCE_STDERR_LOGGING GTK_THEME GDK_SCALE \
        GDK_BACKEND XMODIFIERS XCURSOR_THEME XCURSOR_SIZE PULSE_SERVER PULSE_SINK PULSE_RUNTIME_PATH \
        PULSE_STATE_PATH PULSE_CLIENTCONFIG PULSE_COOKIE
    unset LANGUAGE LC_CTYPE LC_NUMERIC LC_TIME LC_COLLATE LC_MONETARY LC_MESSAGES LC_PAPER LC_NAME \
        LC_ADDRESS LC_TELEPHONE LC_MEASUREMENT LC_IDENTIFICATION
    export LANG=C.UTF-8 LC_ALL=C.UTF-8 TZ=UTC
}
