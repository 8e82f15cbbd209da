// The window in-process on Qt's offscreen platform: what its user sees and presses, and what a
// screen reader reads of it; and the logo the program carries.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <algorithm>
#include <ostream>

#include "support/fake_platform.h"
#include "support/row_name.h"
#include "window/qt/tip_window.h"
#include "window/qt/window_placement.h"

void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

using farlous::testing::RowName;

QWidget* Focus() { return QApplication::focusWidget(); }
QImage Grab(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The window over runtime services held in memory.
struct Window {
    farlous::testing::FakePlatform platform;
    farlous::QtTipWindow window{platform};

    QWidget* Control(const char* name) { return window.findChild<QWidget*>(name); }
    QLabel* TipText() { return window.findChild<QLabel*>("lblTipText"); }
    // Loaded, then what it leaves for the event loop done, as the program's loop would: the fonts
    // and the logo.
    void Load(const std::string& jokes = "Une blague") {
        platform.files["/programme/FARLOUS.TXT"] = jokes;
        window.Form().Form_Load();
        QCoreApplication::sendPostedEvents();
    }
    // Shown, active and ready for keys.
    void Show() {
        window.show();
        if (!QTest::qWaitForWindowActive(&window)) ADD_FAILURE() << "the window is not active";
    }
};

TEST(WindowTest, RootFolderKeepsItsSeparator) {
    Window w;
    w.platform.folder = "/";
    w.platform.files["//FARLOUS.TXT"] = "racine";
    w.window.Form().Form_Load();
    EXPECT_EQ(w.platform.calls[4], "Open 3 //FARLOUS.TXT");
}

enum class Effect { Closes, Draws, About, FocusesPanel, Nothing };
struct KeyCase {
    const char* name;
    const char* joke;
    const char* focus;
    Qt::Key key;
    Effect effect;
    Qt::KeyboardModifiers modifiers = Qt::NoModifier;
};
class KeyTest : public ::testing::TestWithParam<KeyCase> {};

// Escape anywhere, and Enter anywhere but on another button, mean "OK". A joke's access key takes
// the focus to the joke's panel, and does nothing else.
TEST_P(KeyTest, ActsAsDesigned) {
    const KeyCase& c = GetParam();
    Window w;
    w.Load(c.joke);
    w.Show();
    w.Control(c.focus)->setFocus();
    w.platform.calls.clear();
    QTest::keyClick(Focus(), c.key, c.modifiers);
    EXPECT_EQ(w.window.Form().IsLoaded(), c.effect != Effect::Closes);
    EXPECT_EQ(w.window.isVisible(), c.effect != Effect::Closes);
    EXPECT_EQ(std::ranges::count(w.platform.calls, "Rnd"), c.effect == Effect::Draws ? 1 : 0);
    EXPECT_EQ(w.platform.messages.size(), c.effect == Effect::About ? 1u : 0u);
    if (c.effect != Effect::Closes) {
        EXPECT_EQ(Focus(), w.Control(c.effect == Effect::FocusesPanel ? "Picture1" : c.focus));
    }
}

constexpr Qt::KeyboardModifiers kAlt = Qt::AltModifier;
INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTest,
    ::testing::Values(
        KeyCase{"EnterOnThePanel", "", "Picture1", Qt::Key_Return, Effect::Closes},
        KeyCase{"KeypadEnterOnTheLogo", "", "Picture2", Qt::Key_Enter, Effect::Closes},
        KeyCase{"EscapeOnAbout", "", "cmdAbout", Qt::Key_Escape, Effect::Closes},
        KeyCase{"EnterOnNextTip", "", "cmdNextTip", Qt::Key_Return, Effect::Draws},
        KeyCase{"SpaceOnNextTip", "", "cmdNextTip", Qt::Key_Space, Effect::Draws},
        KeyCase{"EnterOnAbout", "", "cmdAbout", Qt::Key_Return, Effect::About},
        KeyCase{"AccessKey", "Le &chat", "cmdOK", Qt::Key_C, Effect::FocusesPanel, kAlt},
        KeyCase{"AccentedAccessKey", "L'&élan", "cmdOK", Qt::Key_Eacute, Effect::FocusesPanel,
                kAlt},
        KeyCase{"DoubledIsNoAccessKey", "Le &&chat", "cmdOK", Qt::Key_C, Effect::Nothing, kAlt},
        KeyCase{"OnlyTheFirstIsAKey", "&un &deux", "cmdOK", Qt::Key_D, Effect::Nothing, kAlt}),
    RowName());

TEST(WindowTest, OpensOnOkAndTabsInDesignOrderPastTheLabels) {
    Window w;
    w.Show();
    const char* const order[] = {"cmdOK",    "Picture1", "cmdNextTip",
                                 "cmdAbout", "Picture2", "cmdOK"};
    EXPECT_EQ(Focus()->objectName(), order[0]);
    for (int step = 1; step <= 10; ++step) {  // round once, then back
        QTest::keyClick(Focus(), step <= 5 ? Qt::Key_Tab : Qt::Key_Backtab);
        EXPECT_EQ(Focus()->objectName(), order[step <= 5 ? step : 10 - step]);
    }
}

// The frame holds the one size the layout is made for, and the window is listed in the task bar
// like any program's.
TEST(WindowTest, FrameKeepsTheDesignedSize) {
    Window w;
    const Qt::WindowFlags flags = w.window.windowFlags();
    EXPECT_EQ(w.window.windowType(), Qt::Window);
    EXPECT_FALSE(flags & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_EQ(w.window.minimumSize(), w.window.maximumSize());
    // Measured from the screen's own corner; moved inside a screen too small for it.
    EXPECT_EQ(farlous::ClientArea({1280, 0, 1280, 1024}, {1280, 0, 1280, 1024}),
              QRect(1481, 483, 624, 189));
    EXPECT_EQ(farlous::ClientArea({0, 0, 640, 480}, {0, 32, 640, 448}), QRect(16, 291, 624, 189));
}

// The font is fitted to the fixed captions as the window shows: none is cut, whatever the joke.
TEST(WindowTest, FontFitsTheCaptionsNotTheJoke) {
    Window plain;
    plain.Load();
    Window w;  // after, or the loop would settle it before its joke is in
    w.Load(std::string(2000, 'x'));
    w.Show();
    EXPECT_EQ(w.window.font(), plain.window.font());
    for (const QPushButton* button : w.window.findChildren<QPushButton*>()) {
        EXPECT_LT(QFontMetrics(button->font()).horizontalAdvance(button->text()),
                  button->width() - 4)
            << button->text().toStdString();
    }
}

// The logo at its natural size from the frame's inner corner, cut where the frame begins.
TEST(WindowTest, LogoIsDrawnUnscaledAndCutAtItsFrame) {
    Window w;
    w.Load();
    const QImage box = Grab(w.Control("Picture2"));
    const QImage logo = QImage(":/logo/glimbo.jpg").convertToFormat(QImage::Format_RGB32);
    ASSERT_EQ(logo.size(), QSize(352, 140)) << "is Qt's JPEG plugin installed?";
    ASSERT_EQ(box.size(), QSize(353, 145));
    EXPECT_EQ(box.copy(1, 1, 351, 140), logo.copy(0, 0, 351, 140));
    const QColor frame = box.pixelColor(352, 1);
    for (int y = 1; y < 144; ++y) EXPECT_EQ(box.pixelColor(352, y), frame) << "row " << y;
}

// What `text` looks like drawn plainly, with no markup and no access-key marks.
QImage PlainText(const QLabel& label, const QString& text) {
    QImage image(label.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(label.font());
    painter.setPen(label.palette().color(QPalette::WindowText));
    painter.drawText(label.rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    return image;
}

struct AmpersandCase {
    const char* name;
    const char* caption;
    const char* drawn;
    bool underlined;  // a letter, below the line
};
class AmpersandTest : public ::testing::TestWithParam<AmpersandCase> {};

// A joke is plain text in which '&' marks an access key; a screen reader gets it as drawn.
TEST_P(AmpersandTest, DrawsAndReadsTheJokeAsShown) {
    const AmpersandCase& c = GetParam();
    Window w;
    w.Load(c.caption);
    const QImage shown = Grab(w.TipText()), plain = PlainText(*w.TipText(), c.drawn);
    const int baseline = QFontMetrics(w.TipText()->font()).ascent();
    EXPECT_EQ(shown.copy(0, 0, shown.width(), baseline), plain.copy(0, 0, plain.width(), baseline));
    EXPECT_EQ(shown != plain, c.underlined);
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(w.TipText());
    EXPECT_EQ(read->textInterface()->text(0, -1), c.drawn);
    EXPECT_EQ(read->text(QAccessible::Name), QString("Zinoquet : ") + c.drawn);
}

INSTANTIATE_TEST_SUITE_P(
    Ampersands, AmpersandTest,
    ::testing::Values(AmpersandCase{"Markup", "<b>pas du gras</b>", "<b>pas du gras</b>", false},
                      AmpersandCase{"Doubled", "Tom && Jerry", "Tom & Jerry", false},
                      AmpersandCase{"Last", "fin &", "fin ", false},
                      AmpersandCase{"Marked", "&Chat", "Chat", true}),
    RowName());

// On a dark desktop the button text is light: on the white panel it must turn dark.
TEST(WindowTest, TextOnThePanelStaysReadableWithADarkPalette) {
    const QPalette saved = QApplication::palette();
    QApplication::setPalette(QPalette(QColor(0x303030)));  // and light text to go with it
    Window w;
    w.Load("MMMMMMMM MMMMMMMM");
    for (const char* label : {"Label1", "lblTipText"}) {
        const QImage image = Grab(w.Control(label));
        int darkest = 255;
        for (int at = 0; at < image.width() * image.height(); ++at)
            darkest = std::min(darkest, qGray(image.pixel(at % image.width(), at / image.width())));
        EXPECT_LT(darkest, 96) << label;
        EXPECT_EQ(image.pixelColor(0, image.height() - 1), QColor(Qt::white)) << label;
    }
    QApplication::setPalette(saved);
}

TEST(PicturesTest, LogoIsABaselineJfifAt96Dpi) {
    QFile file(":/logo/glimbo.jpg");
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray jpeg = file.readAll();
    // SOI, then APP0: JFIF 1.01, dots per inch, 96 x 96, no thumbnail.
    EXPECT_EQ(jpeg.left(20).toHex(), "ffd8ffe000104a46494600010101006000600000");
    // Baseline frame: 8 bits, 140 x 352, three components sampled 2x2, 1x1, 1x1.
    const qsizetype frame = jpeg.indexOf(QByteArray::fromHex("ffc00011"));
    ASSERT_GT(frame, 0);
    EXPECT_EQ(jpeg.mid(frame + 4, 15).toHex(), "08008c016003012200021101031101");
}

}  // namespace
