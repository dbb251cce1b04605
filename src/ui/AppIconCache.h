#pragma once

#include <QHash>
#include <QIcon>
#include <QWidget>
#include <functional>
#include <optional>

// Application icons by bundle identifier (on Linux the desktop-entry id), remembered for the
// life of the process. The lookup itself is injected: the shell hands in the desktop-entry
// resolver; without one the icon theme is asked for an icon of that name. Identifiers with no
// icon get the placeholder and are not cached, so an application installed later is found.
class AppIconCache
{
public:
    // Answers the icon of an installed application, or a null icon when there is none.
    using Resolver = std::function<QIcon(const QString &bundleID)>;

    static void setResolver(Resolver resolver);
    static QIcon icon(const std::optional<QString> &bundleID);
    // The "app.dashed" symbol: a template drawn in Theme::dim.
    static bool isPlaceholder(const QIcon &icon);
    static QIcon placeholder();

    // Tests only.
    static void clear();
    static int cachedCount();
};

// Draws the icon of `bundleID` fitted into `box`: the application's icon, or the placeholder symbol
// in Theme::dim.
void paintAppIcon(class QPainter &p, const QRectF &box, const std::optional<QString> &bundleID, qreal dpr);

class AppIconView : public QWidget
{
    Q_OBJECT
public:
    AppIconView(const std::optional<QString> &bundleID, qreal size = 16, QWidget *parent = nullptr);

    std::optional<QString> bundleID() const { return m_bundleID; }
    void setBundleID(const std::optional<QString> &bundleID);
    qreal iconSize() const { return m_size; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    std::optional<QString> m_bundleID;
    qreal m_size;
};
