// The Qt window in-process, on Qt's offscreen screen of 800 x 800: what its user sees and
// presses, and what a screen reader reads of the joke.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QProxyStyle>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <optional>

#include "platform/linux/toolkit.h"
#include "support/fake_platform.h"
#include "window/qt/tip_window.h"
#include "window/qt/title_bar.h"

namespace farlous {
namespace {

QImage Grab(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}
int DarkestGrey(const QImage& image, int fromRow = 0) {
    int darkest = 255;
    for (int y = fromRow; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            darkest = std::min(darkest, qGray(image.pixel(x, y)));
    return darkest;
}

// The window over services held in memory, loaded, then as the event loop leaves it once it
// has loaded the fonts and the logo. Of many jokes, it shows the first, then the last.
struct Window {
    testing::FakePlatform platform;
    frmTip form{platform};
    std::unique_ptr<QtTipWindow> window;

    explicit Window(const std::optional<std::string>& jokes = "Une blague") {
        if (jokes) platform.files["/programme/FARLOUS.TXT"] = *jokes;
        platform.draws = {0.0f, 0.99f};
        form.Form_Load();
        window = std::make_unique<QtTipWindow>(form);
        QCoreApplication::sendPostedEvents();
    }
    QWidget* Control(const char* name) { return window->findChild<QWidget*>(name); }
    QLabel* TipText() { return window->findChild<QLabel*>("lblTipText"); }
    // Shown and active.
    void Show() {
        window->show();
        if (!QTest::qWaitForWindowActive(window.get())) ADD_FAILURE() << "not active";
    }
};

struct ControlRow {
    const char* name;
    QRect place;  // in the inside of its container
    const char* caption;
    bool white, sunken;  // sunken: a frame dark on its left edge, light on its right
};

const ControlRow kControls[] = {
    {"cmdAbout", {512, 160, 105, 25}, "A Propos de Glimbo", false, false},
    {"cmdNextTip", {384, 160, 113, 25}, "Blague suivante", false, false},
    {"Picture1", {0, 8, 257, 181}, "", true, true},
    {"Label1", {8, 8, 81, 17}, "Zinoquet :", true, false},
    {"lblTipText", {8, 32, 241, 141}, "Une blague", true, false},
    {"cmdOK", {264, 160, 105, 25}, "OK", false, false},
    {"Picture2", {264, 8, 353, 145}, "", false, true},
};

TEST(ControlTest, StandsWhereDesigned) {
    Window w;
    for (const ControlRow& row : kControls) {
        SCOPED_TRACE(row.name);
        QWidget* control = w.Control(row.name);
        ASSERT_NE(control, nullptr);
        const auto* container = qobject_cast<QFrame*>(control->parentWidget());
        const QPoint inside = container ? container->contentsRect().topLeft() : QPoint();
        EXPECT_EQ(control->geometry().translated(-inside), row.place);
        const auto* label = qobject_cast<QLabel*>(control);
        const auto* button = qobject_cast<QPushButton*>(control);
        EXPECT_EQ(label ? label->text() : button ? button->text() : "", row.caption);
        const QImage shown = Grab(control);
        EXPECT_EQ(shown.pixelColor(shown.width() - 2, shown.height() - 2) == Qt::white, row.white);
        EXPECT_EQ(qGray(shown.pixel(0, 10)) < qGray(shown.pixel(shown.width() - 1, 10)),
                  row.sunken);
        // The font fits the fixed captions.
        if (button) {
            EXPECT_LT(QFontMetrics(button->font()).horizontalAdvance(row.caption),
                      row.place.width() - 4);
        }
    }
}

// The one size the layout is made for, minimise and close boxes but no maximise box, and the
// designed place, moved left just enough to fit the screen's 800 pixels.
TEST(WindowTest, FrameKeepsTheDesignedSizeAndPlace) {
    Window w(std::string(2000, 'x'));
    EXPECT_EQ(w.window->geometry(), QRect(176, 483, 624, 189));
    EXPECT_EQ(w.window->minimumSize(), w.window->maximumSize());
    EXPECT_EQ(w.window->windowFlags() & ~Qt::WindowFullscreenButtonHint,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                  Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                  Qt::WindowCloseButtonHint);
    // The design's 8 points, a half point less for the captions to fit in DejaVu Sans, whatever
    // the joke.
    EXPECT_EQ(QFontInfo(w.window->font()).pointSizeF(), 7.5);
    // A narrower family keeps the 8 points, never more.
    const QFont system = QApplication::font();
    QApplication::setFont(QFont("DejaVu Sans Condensed"));
    EXPECT_EQ(Window().window->font().pointSizeF(), 8);
    QApplication::setFont(system);
}

// A long joke wraps at word boundaries down the label; what does not fit its height is cut.
TEST(WindowTest, LongJokeWrapsAndIsCut) {
    QString joke;
    for (int word = 0; word < 300; ++word) joke += "mot" + QString::number(word) + ' ';
    Window w(joke.toStdString());
    const QImage shown = Grab(w.TipText());
    EXPECT_EQ(shown.size(), QSize(241, 141));
    EXPECT_LT(DarkestGrey(shown, 130), 128) << "not wrapped down to the label's last line";
    EXPECT_EQ(w.TipText()->text(), joke);
}

enum class Effect { Closes, Draws, About, FocusesPanel, Nothing };
struct KeyRow {
    const char* name;
    const char* joke;
    const char* focus;
    Qt::Key key;
    Effect effect;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};
constexpr Qt::KeyboardModifiers kAlt = Qt::AltModifier;
const KeyRow kKeys[] = {
    {"EnterOnOk", "un\ndeux", "cmdOK", Qt::Key_Return, Effect::Closes},
    {"EnterOnThePanel", "un\ndeux", "Picture1", Qt::Key_Return, Effect::Closes},
    {"KeypadEnterOnTheLogo", "un\ndeux", "Picture2", Qt::Key_Enter, Effect::Closes},
    {"EscapeOnAbout", "un\ndeux", "cmdAbout", Qt::Key_Escape, Effect::Closes},
    {"EnterOnNextTip", "un\ndeux", "cmdNextTip", Qt::Key_Return, Effect::Draws},
    {"SpaceOnNextTip", "un\ndeux", "cmdNextTip", Qt::Key_Space, Effect::Draws},
    {"EnterOnAbout", "un\ndeux", "cmdAbout", Qt::Key_Return, Effect::About},
    {"AccessKey", "Le &chat", "cmdOK", Qt::Key_C, Effect::FocusesPanel, kAlt},
    {"DoubledIsNoAccessKey", "Le &&chat", "cmdOK", Qt::Key_C, Effect::Nothing, kAlt},
};

// Escape anywhere, and Enter anywhere but on another button, mean "OK". A joke's access key takes
// the focus to the joke's panel, and does nothing else.
TEST(KeyTest, ActsAsDesigned) {
    for (const KeyRow& row : kKeys) {
        SCOPED_TRACE(row.name);
        Window w(row.joke);
        w.Show();
        w.Control(row.focus)->setFocus();
        QTest::keyClick(QApplication::focusWidget(), row.key, row.modifiers);
        EXPECT_EQ(w.form.IsLoaded(), row.effect != Effect::Closes);
        EXPECT_EQ(w.window->isVisible(), row.effect != Effect::Closes);
        EXPECT_EQ(w.TipText()->text(),
                  row.effect == Effect::Draws ? "deux" : QString(row.joke).section('\n', 0, 0));
        EXPECT_EQ(w.platform.shown.size(), row.effect == Effect::About ? 1u : 0u);
        // What tells a screen reader of a new joke is no window on the screen.
        EXPECT_EQ(std::ranges::count_if(QGuiApplication::topLevelWindows(), &QWindow::isVisible),
                  row.effect == Effect::Closes ? 0 : 1);
        if (row.effect != Effect::Closes) {
            EXPECT_EQ(QApplication::focusWidget(),
                      w.Control(row.effect == Effect::FocusesPanel ? "Picture1" : row.focus));
        }
    }
}

// Tabbed to, each picture box marks the focus inside its frame, over what it holds; the mark goes
// with the focus.
TEST(WindowTest, PictureBoxesShowTheFocus) {
    Window w;
    w.Show();
    for (const char* name : {"Picture1", "Picture2"}) {
        const QImage unfocused = Grab(w.Control(name));
        while (QApplication::focusWidget() != w.Control(name))
            QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        const QImage focused = Grab(w.Control(name));
        EXPECT_NE(focused.pixel(2, 40), unfocused.pixel(2, 40)) << name << " left edge unmarked";
        EXPECT_EQ(focused.copy(4, 4, 240, 100), unfocused.copy(4, 4, 240, 100)) << name;
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
        EXPECT_EQ(Grab(w.Control(name)), unfocused) << name;
    }
}

// The logo keeps its logical size of 352 x 140, drawn from the picture made for the screen: the
// one of twice the size at a device pixel ratio of 2 (ctest's farlous_double_scale).
TEST(WindowTest, LogoIsDrawnForTheScreensPixelRatio) {
    Window w;
    const QPixmap logo = static_cast<QLabel*>(w.Control("Picture2"))->pixmap();
    const bool twice = qgetenv("QT_SCALE_FACTOR") == "2";
    EXPECT_EQ(w.window->devicePixelRatio(), twice ? 2 : 1);
    EXPECT_EQ(logo.size(), twice ? QSize(704, 280) : QSize(352, 140));
    EXPECT_EQ(logo.deviceIndependentSize(), QSizeF(352, 140));
}

// Under Wayland the window draws the style's title bar over its designed client area: clicked from
// end to end, it minimises and closes, as the system would, and never maximises.
TEST(WaylandTest, TitleBarMinimisesAndClosesOnly) {
    if (QGuiApplication::platformName() != "wayland") GTEST_SKIP() << "for a Wayland compositor";
    Window w;
    w.Show();
    QWidget* bar = w.window->childAt(1, 1);
    EXPECT_EQ(w.window->size(), QSize(624, 189 + bar->height()));
    EXPECT_EQ(w.Control("cmdOK")->pos(), QPoint(264, 160 + bar->height()));
    int minimised = 0, maximised = 0, minimisedFrom = -1, x = 0;
    for (; x < bar->width() && w.window->isVisible(); ++x) {
        QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(x, bar->height() / 2));
        maximised += w.window->isMaximized();
        if (!w.window->isMinimized()) continue;
        if (!minimised++) minimisedFrom = x;
        w.window->showNormal();
    }
    // The minimise box, 18 pixels from x = 580, then the close box from 600: no maximise box.
    EXPECT_EQ(std::vector({minimisedFrom, minimised, x - 1, maximised}),
              std::vector({580, 18, 600, 0}));
    EXPECT_FALSE(w.window->isVisible()) << "not closed";
    EXPECT_TRUE(w.platform.shown.empty());
    // The bar shows the window's caption: without it, it looks otherwise.
    const QImage titled = bar->grab().toImage();
    w.window->setWindowTitle({});
    EXPECT_NE(bar->grab().toImage(), titled) << "no caption on the title bar";
}

// The same title bar, wherever it is drawn, marks its window active as the style does: in blue. Its
// close box closes only if the button is let go over it.
TEST(TitleBarTest, MarksItsWindowActiveAndClosesWhereReleased) {
    QWidget window;
    auto* bar = new TitleBar(&window, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint);
    bar->resize(300, bar->height());
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    const QColor middle = Grab(bar).pixelColor(150, bar->height() / 2);
    EXPECT_GT(middle.blue(), middle.red() + 100) << middle.name().toStdString();
    const QPoint close(290, bar->height() / 2);
    QTest::mousePress(bar, Qt::LeftButton, {}, close);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(150, close.y()));
    EXPECT_TRUE(window.isVisible());
    QTest::mouseClick(bar, Qt::LeftButton, {}, close);
    EXPECT_FALSE(window.isVisible());
}

struct AmpersandRow {
    const char* name;
    const char* joke;
    const char* drawn;
    bool underlined;  // a letter, below the line
};
const AmpersandRow kAmpersands[] = {
    {"Markup", "<b>pas du gras</b>", "<b>pas du gras</b>", false},
    {"Doubled", "Tom && Jerry", "Tom & Jerry", false},
    {"Last", "fin &", "fin ", false},
    {"Marked", "&Chat", "Chat", true},
};

// A joke is plain text in which '&' marks an access key; a screen reader gets it as drawn, after
// its heading.
TEST(AmpersandTest, DrawsAndReadsTheJokeAsShown) {
    for (const AmpersandRow& row : kAmpersands) {
        SCOPED_TRACE(row.name);
        Window w(row.joke);
        QImage plain(w.TipText()->size(), QImage::Format_RGB32);
        plain.fill(Qt::white);
        QPainter painter(&plain);
        painter.setFont(w.TipText()->font());
        painter.drawText(plain.rect(), Qt::AlignLeft | Qt::AlignTop, row.drawn);
        const QImage shown = Grab(w.TipText());
        const int baseline = QFontMetrics(w.TipText()->font()).ascent();
        EXPECT_EQ(shown.copy(0, 0, shown.width(), baseline),
                  plain.copy(0, 0, plain.width(), baseline));
        EXPECT_EQ(shown != plain, row.underlined);
        QAccessibleInterface* read = QAccessible::queryAccessibleInterface(w.TipText());
        EXPECT_EQ(read->textInterface()->text(0, -1), row.drawn);
        EXPECT_EQ(read->textInterface()->characterCount(), QString(row.drawn).size());
        EXPECT_EQ(read->textInterface()->text(1, 3), QString(row.drawn).mid(1, 2));
        int start = -1, end = -1;  // one run of attributes over the whole joke
        read->textInterface()->attributes(0, &start, &end);
        EXPECT_EQ(std::pair(start, end), std::pair(0, int(QString(row.drawn).size())));
        EXPECT_EQ(read->text(QAccessible::Name), QString("Zinoquet : ") + row.drawn);
        EXPECT_EQ(read->text(QAccessible::Description), "Blague du jour");
    }
}

// On a dark desktop the button text is light: on the white panel it turns dark, as a bright green
// does. A dark red reads well on white: it stays.
TEST(WindowTest, TextOnThePanelStaysReadableWithADarkPalette) {
    const QPalette saved = QApplication::palette();
    QApplication::setPalette(QPalette(QColor(0x303030)));
    Window w("MMMMMMMM MMMMMMMM");
    QPalette coloured = saved;
    coloured.setColor(QPalette::ButtonText, QColor(0x00E000));
    QApplication::setPalette(coloured);
    Window g("MMMMMMMM MMMMMMMM");
    coloured.setColor(QPalette::ButtonText, QColor(0xC00000));
    QApplication::setPalette(coloured);
    Window r("MMMMMMMM MMMMMMMM");
    QApplication::setPalette(saved);
    EXPECT_LT(DarkestGrey(Grab(w.Control("Label1"))), 96);
    EXPECT_LT(DarkestGrey(Grab(w.TipText())), 96);
    EXPECT_LT(DarkestGrey(Grab(g.TipText())), 96);
    const QImage shown = Grab(r.TipText());
    int redder = 0;  // than green, at most
    for (int y = 0; y < shown.height(); ++y)
        for (int x = 0; x < shown.width(); ++x)
            redder = std::max(redder, qRed(shown.pixel(x, y)) - qGreen(shown.pixel(x, y)));
    EXPECT_GT(redder, 128);
}

// Without jokes, the label says where to get them; "A Propos de Glimbo" says who offers them.
TEST(WindowTest, SaysWhereToGetJokesAndWhoOffersThem) {
    Window w(std::nullopt);
    EXPECT_EQ(
        w.TipText()->text().toStdString(),
        "Si vous lisez ce texte, c'est que vous n'avez pas encore le fichier farlous.txt Pour "
        "avoir ce fichier, téléchargez le sur http://www.glimbo.example/ et décompressez le "
        "dans le dossier où vous avez installé ce programme (ex : C:/FARLOUS/). Dans le "
        "dossier où vous avez installé le programme, cliquez sur FARLOUS.EXE avec le bouton "
        "droit et créez un raccourci que vous allez placer dans "
        "C:/WINDOWS/MENU DEMARRER/PROGRAMMES/DEMARRAGE/");
    static_cast<QPushButton*>(w.Control("cmdAbout"))->click();
    EXPECT_EQ(w.platform.shown,
              std::vector<std::string>{
                  "Ce programme vous est offert par Glimbo, Webzine d'humour fait par des cons, "
                  "pour des cons, disponible sur http://www.glimbo.example/ (textes, dessins et "
                  "programme : la joyeuse équipe de rédaction de Glimbo) Pour avoir plus de "
                  "farlous, téléchargez la dernière version du fichier farlous.txt sur "
                  "http://www.glimbo.example/ Vous pouvez distribuer ce programme librement, tant "
                  "que vous mentionnez l'URL d'où il provient: http://www.glimbo.example/ Vous "
                  "pouvez vous rendre à cet URL pour y lire Glimbo, Webzine mensuel."});
}

// The system's message box: the program's title, the text as it is, one OK button, no picture,
// even in a style that puts glyphs on dialog buttons.
TEST(MessageTest, ShowsThePlainTextUnderTheTitle) {
    struct GlyphsOnButtons : QProxyStyle {
        using QProxyStyle::QProxyStyle;
        int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                      QStyleHintReturn* returned) const override {
            return hint == SH_DialogButtonBox_ButtonsHaveIcons ||
                   QProxyStyle::styleHint(hint, option, widget, returned);
        }
    };
    const QString style = QApplication::style()->name();
    QApplication::setStyle(new GlyphsOnButtons(style));
    QString seen;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = box->windowTitle() + " | " + box->text() + " |";
        for (QAbstractButton* button : box->buttons()) {
            seen += ' ' + button->text() + (button->icon().isNull() ? "" : " (icon)");
        }
        seen += box->iconPixmap().isNull() ? "" : " (icon)";
        seen += box->textFormat() == Qt::PlainText ? "" : " (rich text)";
        box->accept();
    });
    ShowMessage("<b>Tom</b> & Jerry");
    QApplication::setStyle(style);
    EXPECT_EQ(seen, "Zinoquet | <b>Tom</b> & Jerry | OK");
}

}  // namespace
}  // namespace farlous
