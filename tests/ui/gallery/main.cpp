// Shows every piece of the design kit, or writes each to PNG files in light and dark:
//   grumblix-gallery                 a window (toggle the appearance with the segmented control)
//   grumblix-gallery --out DIR       DIR/<piece>-light.png, DIR/<piece>-dark.png, DIR/page-*.png
#include "models/Trigger.h"
#include "support/TriggerFixtures.h"
#include "ui/AchievementBanner.h"
#include "ui/AppIconCache.h"
#include "ui/BarRow.h"
#include "ui/BrutalCard.h"
#include "ui/ChunkyButton.h"
#include "ui/ChunkySegmented.h"
#include "ui/DialogCard.h"
#include "ui/DotGrid.h"
#include "ui/EmptyHint.h"
#include "ui/FlapCounter.h"
#include "ui/Fonts.h"
#include "ui/GXDropdown.h"
#include "ui/GXTextField.h"
#include "ui/GXToggles.h"
#include "ui/HazardStripes.h"
#include "ui/IconButton.h"
#include "ui/Icons.h"
#include "ui/Labels.h"
#include "ui/OverlayCenter.h"
#include "ui/OverlayHost.h"
#include "ui/SpringAnimator.h"
#include "ui/StickyNote.h"
#include "ui/Theme.h"
#include "ui/ThemedLabel.h"
#include "ui/TriggerGrid.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QDebug>
#include <QDir>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QPainter>
#include <QScrollArea>
#include <QTimer>
#include <QVBoxLayout>

namespace {

class Page : public QWidget
{
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.fillRect(rect(), Theme::paper.resolve());
        paintDotGrid(p, rect(), 22);
    }
};

QWidget *row(std::initializer_list<QWidget *> widgets, int spacing = 12)
{
    auto *w = new QWidget;
    auto *l = new QHBoxLayout(w);
    l->setContentsMargins(0, 0, 0, 0);
    l->setSpacing(spacing);
    for (QWidget *c : widgets)
        l->addWidget(c);
    l->addStretch(1);
    return w;
}

struct Piece
{
    QString name;
    QWidget *widget;
};

QList<Piece> buildPieces()
{
    QList<Piece> pieces;
    const QList<Trigger> triggers = Fixtures::builtInTriggers();

    auto *grid = new TriggerGrid(triggers, QStringLiteral("build"), 5, true);
    grid->setFixedWidth(360);
    pieces << Piece{QStringLiteral("trigger-grid"), grid};

    auto *segmented =
        new ChunkySegmented({QStringLiteral("Week"), QStringLiteral("Month"), QStringLiteral("All time")}, 1);
    pieces << Piece{QStringLiteral("segmented"), segmented};

    auto *bars = new QWidget;
    auto *bl = new QVBoxLayout(bars);
    bl->setSpacing(12);
    auto emoji = [](const QString &e) { return new ThemedLabel(e, Fonts::font(15), Theme::ink); };
    bl->addWidget(new BarRow(1, emoji(QStringLiteral("📅")), QStringLiteral("Meetings"), 23, 1.0, true,
                             QStringLiteral("38%")));
    bl->addWidget(new BarRow(2, new AppIconView(QStringLiteral("org.gnome.Terminal"), 16),
                             QStringLiteral("Terminal"), 9, 0.4, false));
    bl->addWidget(new BarRow(std::nullopt, emoji(QStringLiteral("🐛")),
                             QStringLiteral("An extremely long trigger name that will not fit on the row"), 1,
                             0.0, false));
    bars->setFixedWidth(360);
    pieces << Piece{QStringLiteral("bar-rows"), bars};

    pieces << Piece{QStringLiteral("empty-hint"),
                    new EmptyHint(QStringLiteral("Nothing yet. Suspiciously calm."))};

    auto *banner = new AchievementBanner(QStringLiteral("🏆"), QStringLiteral("First Blood"));
    banner->setFixedWidth(320);
    pieces << Piece{QStringLiteral("achievement-banner"), banner};

    auto *card = new BrutalCard(20, Theme::card, 16, 4);
    auto *cl = new QVBoxLayout(card);
    cl->setContentsMargins(0, 0, 0, 0);
    cl->addWidget(new Caption(QStringLiteral("Standard card")));
    cl->addWidget(new ThemedLabel(QStringLiteral("Padding 20, radius 16, lift 4."),
                                  Fonts::rounded(13, QFont::DemiBold), Theme::ink));
    pieces << Piece{QStringLiteral("card"), card};

    auto *buttons =
        row({new ChunkyButton(QStringLiteral("Export PNG…"), Theme::red, Theme::white),
             new ChunkyButton(QStringLiteral("Copy image"), Theme::card, Theme::ink),
             new ChunkyButton(QStringLiteral("Compact"), Theme::ink, Theme::card, true),
             new GhostButton(QStringLiteral("Ghost")),
             new IconButton(QStringLiteral("trash"), Theme::red, QStringLiteral("Delete incident"))});
    static_cast<ChunkyButton *>(buttons->layout()->itemAt(0)->widget())
        ->setSymbol(QStringLiteral("square.and.arrow.down"));
    pieces << Piece{QStringLiteral("buttons"), buttons};

    pieces << Piece{
        QStringLiteral("labels"),
        row({new TapeLabel(QStringLiteral("Grumblix"), -2),
             new TapeLabel(QStringLiteral("Unlocked"), 2, Theme::red),
             new KeyCaps({QStringLiteral("Alt"), QStringLiteral("Shift"), QStringLiteral("F")}, 11),
             new Caption(QStringLiteral("Section caption"))})};

    auto *flap = new FlapCounter(7, 28, 3);
    pieces << Piece{QStringLiteral("flap-counter"),
                    row({flap, new FlapCounter(1234, 20, 2), new FlapCounter(-5, 16, 2)})};

    pieces << Piece{
        QStringLiteral("sticky-note"),
        new StickyNote(QStringLiteral("Meetings again.\nThree before lunch; a new record for a Tuesday."),
                       220, -2)};

    auto *field =
        new GXTextField(QStringLiteral("Search incidents"), QStringLiteral("magnifyingglass"), true);
    auto *filled = new GXTextField(QStringLiteral("Name"), std::nullopt, true);
    filled->setText(QStringLiteral("Printer on fire"));
    auto *fields = new QWidget;
    auto *fl = new QVBoxLayout(fields);
    fl->addWidget(field);
    fl->addWidget(filled);
    fields->setFixedWidth(300);
    pieces << Piece{QStringLiteral("text-fields"), fields};

    QList<GXOption> options;
    options << GXOption{QStringLiteral("all"), QStringLiteral("All triggers"), QString(QChar(0x2731)), false};
    for (const Trigger &t : triggers)
        options << GXOption{t.key, t.name, t.emoji, t.key == QLatin1String("meeting")};
    auto *dropdown = new GXDropdown(options, QStringLiteral("bug"), 200);
    auto *all = new GXDropdown(options, QStringLiteral("all"), 180);
    auto *empty = new GXDropdown(options, QStringLiteral("nothing"), 160);
    pieces << Piece{QStringLiteral("dropdowns"), row({dropdown, all, empty})};

    auto *on = new GXSwitch(QStringLiteral("Show the toast"));
    on->setChecked(true);
    auto *off = new GXSwitch(QStringLiteral("Count in the tray"));
    auto *checked = new GXCheckbox(QStringLiteral("Weekly report"));
    checked->setChecked(true);
    auto *toggles = new QWidget;
    auto *tl = new QVBoxLayout(toggles);
    tl->addWidget(on);
    tl->addWidget(off);
    tl->addWidget(row({checked, new GXCheckbox(QStringLiteral("Calm days"))}));
    toggles->setFixedWidth(300);
    pieces << Piece{QStringLiteral("toggles"), toggles};

    auto *symbols = new QWidget;
    auto *sl = new QGridLayout(symbols);
    sl->setSpacing(4);
    int i = 0;
    for (const QString &name : Icons::names()) {
        auto *b = new IconButton(name, Theme::ink, name);
        sl->addWidget(b, i / 12, i % 12);
        ++i;
    }
    pieces << Piece{QStringLiteral("symbols"), symbols};

    auto *stripes = new HazardStripes(12, Theme::hazard, Theme::tape);
    stripes->setFixedSize(300, 14);
    pieces << Piece{QStringLiteral("hazard-stripes"), stripes};

    OverlayCenter::Dialog destructive{
        QStringLiteral("Erase everything?"),
        QStringLiteral("Every incident goes. Triggers stay. This cannot be undone."),
        QStringLiteral("Erase all"), true, [] {}};
    pieces << Piece{QStringLiteral("dialog-destructive"), new DialogCard(destructive, [] {})};
    OverlayCenter::Dialog plain{QStringLiteral("Load demo data?"),
                                QStringLiteral("Adds a few weeks of believable incidents."),
                                QStringLiteral("Add"), false, [] {}};
    pieces << Piece{QStringLiteral("dialog"), new DialogCard(plain, [] {})};

    auto *menu = new DropdownMenu(options.mid(0, 6), QStringLiteral("email"));
    auto *surface = new PopoverSurface(menu);
    surface->setFixedWidth(220 + 28);
    pieces << Piece{QStringLiteral("popover-menu"), surface};
    return pieces;
}

QWidget *framed(const Piece &piece)
{
    auto *box = new QWidget;
    auto *l = new QVBoxLayout(box);
    l->setContentsMargins(16, 12, 16, 12);
    l->addWidget(new Caption(piece.name));
    l->addWidget(piece.widget);
    return box;
}

void writePngs(const QString &dir)
{
    QDir().mkpath(dir);
    SpringAnimator::setAnimationsEnabled(false);
    for (ColorScheme scheme : {ColorScheme::Light, ColorScheme::Dark}) {
        Theme::ScopedScheme forced(scheme);
        const QString suffix =
            scheme == ColorScheme::Light ? QStringLiteral("light") : QStringLiteral("dark");
        for (const Piece &piece : buildPieces()) {
            auto *page = new Page;
            auto *l = new QVBoxLayout(page);
            l->addWidget(framed(piece));
            page->adjustSize();
            page->grab().save(QStringLiteral("%1/%2-%3.png").arg(dir, piece.name, suffix));
            delete page;
        }
        // A window with an overlay: a popup from the drop-down and the dialog over it.
        auto *window = new Page;
        window->resize(640, 420);
        auto *l = new QVBoxLayout(window);
        QList<GXOption> options;
        for (const Trigger &t : Fixtures::builtInTriggers())
            options << GXOption{t.key, t.name, t.emoji, false};
        auto *dropdown = new GXDropdown(options, QStringLiteral("code"), 220);
        l->addWidget(dropdown, 0, Qt::AlignTop | Qt::AlignLeft);
        l->addStretch(1);
        OverlayHost::install(window);
        window->show();
        dropdown->openMenu();
        if (qEnvironmentVariableIsSet("GALLERY_DEBUG")) {
            auto *c = OverlayCenter::of(window)->popup()->content.data();
            qInfo() << c->geometry() << c->hasHeightForWidth() << c->heightForWidth(248) << c->sizeHint()
                    << dropdown->menu()->heightForWidth(220) << dropdown->menu()->sizeHint();
        }
        window->grab().save(QStringLiteral("%1/page-popup-%2.png").arg(dir, suffix));
        OverlayCenter::of(window)->dismiss();
        QList<GXOption> many;
        for (int i = 0; i < 20; ++i)
            many << GXOption{i, QStringLiteral("Option %1").arg(i + 1), std::nullopt, i == 10};
        auto *longMenu = new GXDropdown(many, 3, 220, 260.0, true, window);
        longMenu->move(400, 10);
        longMenu->show();
        longMenu->openMenu();
        window->grab().save(QStringLiteral("%1/page-scrolling-%2.png").arg(dir, suffix));
        OverlayCenter::of(window)->dismiss();
        dropdown->openMenu();
        OverlayCenter::of(window)->openDialog({QStringLiteral("Delete this incident?"),
                                               QStringLiteral("It will be gone for good."),
                                               QStringLiteral("Delete"), true, [] {}});
        window->grab().save(QStringLiteral("%1/page-dialog-%2.png").arg(dir, suffix));
        delete window;
    }
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QCommandLineParser parser;
    parser.addHelpOption();
    QCommandLineOption out(QStringLiteral("out"), QStringLiteral("Write PNGs to <dir> and exit."),
                           QStringLiteral("dir"));
    parser.addOption(out);
    parser.process(app);
    if (parser.isSet(out)) {
        writePngs(parser.value(out));
        return 0;
    }

    auto *page = new Page;
    auto *grid = new QGridLayout(page);
    auto *look = new ChunkySegmented({QStringLiteral("Paper"), QStringLiteral("Night")}, 0);
    QObject::connect(look, &ChunkySegmented::selectionChanged, page, [page](int i) {
        Theme::setApplicationScheme(i == 1 ? ColorScheme::Dark : ColorScheme::Light);
        page->update();
    });
    grid->addWidget(look, 0, 0);
    int n = 1;
    for (const Piece &piece : buildPieces()) {
        grid->addWidget(framed(piece), n / 2 + 1, n % 2);
        ++n;
    }
    auto *scroll = new QScrollArea;
    scroll->setWidget(page);
    scroll->setWidgetResizable(true);
    auto *dialogButton = new ChunkyButton(QStringLiteral("Open a dialog"), Theme::red, Theme::white);
    grid->addWidget(dialogButton, 0, 1);
    OverlayHost::install(page);
    QObject::connect(dialogButton, &QAbstractButton::clicked, [page] {
        OverlayCenter::of(page)->openDialog({QStringLiteral("Erase everything?"),
                                             QStringLiteral("Every incident goes."),
                                             QStringLiteral("Erase all"), true, [] { qInfo("confirmed"); }});
    });
    scroll->resize(900, 800);
    scroll->show();
    return app.exec();
}
