// The window in-process on Qt's offscreen platform: what its user sees, presses and hears; and the
// pictures the program carries.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <algorithm>
#include <ostream>

#include "support/fake_platform.h"
#include "window/fixed_texts.h"
#include "window/qt/tip_window.h"
#include "window/qt/window_placement.h"

void PrintTo(const QString& text, std::ostream* out) { *out << '"' << text.toStdString() << '"'; }

namespace {

using farlous::QtTipWindow;
using farlous::testing::FakePlatform;

const char* const kSettingKey = "FARLOUS/Options/Show Tips at Startup";
const char* const kJokesPath = "/programme/FARLOUS.TXT";

template <typename Case>
std::string RowName(const ::testing::TestParamInfo<Case>& info) {
    return info.param.name;
}

QWidget* Focus() { return QApplication::focusWidget(); }
QImage Grab(QWidget* widget) {
    return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

// The window over runtime services held in memory.
struct Window {
    FakePlatform platform;
    QtTipWindow window{platform};

    // What the window leaves for the event loop, as the program's loop runs it once loaded: the
    // fonts and the logo.
    void Settle() { QCoreApplication::sendPostedEvents(); }

    QWidget* Control(const char* name) { return window.findChild<QWidget*>(name); }
    QLabel* TipText() { return window.findChild<QLabel*>("lblTipText"); }
    void Load(const std::string& jokes) {
        platform.files[kJokesPath] = jokes;
        window.Form().Form_Load();
        Settle();
    }
    // Shown, active and ready for keys.
    void Show() {
        window.show();
        if (!QTest::qWaitForWindowActive(&window)) ADD_FAILURE() << "the window is not active";
    }
};

enum class Outcome { Shows, Ends, Fails };
struct SettingCase {
    const char* name;
    const char* setting;  // nullptr: none stored
    Outcome outcome;
};
class SettingTest : public ::testing::TestWithParam<SettingCase> {};

// The setting decides first: a window that ends or fails has not even seeded the random source.
TEST_P(SettingTest, DecidesBeforeAnythingElse) {
    const SettingCase& c = GetParam();
    Window w;
    if (c.setting) w.platform.settings[kSettingKey] = c.setting;
    if (c.outcome == Outcome::Fails) {
        EXPECT_THROW(w.Load("Une blague"), farlous::RuntimeError);
    } else {
        w.Load("Une blague");
        EXPECT_EQ(w.window.Form().IsLoaded(), c.outcome == Outcome::Shows);
        EXPECT_EQ(w.TipText()->text(), c.outcome == Outcome::Shows ? "Une blague" : "");
    }
    if (c.outcome != Outcome::Shows) {
        EXPECT_EQ(w.platform.calls.size(), 1u);
    }
}

INSTANTIATE_TEST_SUITE_P(Settings, SettingTest,
                         ::testing::Values(SettingCase{"Zero", "0", Outcome::Ends},
                                           SettingCase{"ZeroInBlanks", " 0 ", Outcome::Ends},
                                           SettingCase{"RoundsToZero", "0.4", Outcome::Ends},
                                           SettingCase{"MinusHalf", "-0.5", Outcome::Ends},
                                           SettingCase{"HexZero", "&H0", Outcome::Ends},
                                           SettingCase{"Absent", nullptr, Outcome::Shows},
                                           SettingCase{"MinusOne", "-1", Outcome::Shows},
                                           SettingCase{"Seven", "7", Outcome::Shows},
                                           SettingCase{"RoundsToOne", "0.5001", Outcome::Shows},
                                           SettingCase{"HexMinusOne", "&HFFFFFFFF", Outcome::Shows},
                                           SettingCase{"NotANumber", "abc", Outcome::Fails},
                                           SettingCase{"TooLarge", "1e10", Outcome::Fails}),
                         RowName<SettingCase>);

TEST(WindowTest, MissingFileTextStaysAndARootFolderKeepsItsSeparator) {
    Window w;
    w.window.Form().Form_Load();
    const QString missing = QString::fromStdString(farlous::MissingFileText());
    EXPECT_EQ(w.TipText()->text(), missing);
    QTest::mouseClick(w.Control("cmdNextTip"), Qt::LeftButton);
    EXPECT_EQ(w.platform.calls.back(), "Rnd");
    EXPECT_EQ(w.TipText()->text(), missing);

    Window rooted;
    rooted.platform.folder = "/";
    rooted.platform.files["//FARLOUS.TXT"] = "racine";
    rooted.window.Form().Form_Load();
    EXPECT_EQ(rooted.platform.calls[4], "Open 3 //FARLOUS.TXT");
}

enum class Effect { Closes, Draws, About };
struct KeyCase {
    const char* name;
    const char* focus;
    Qt::Key key;
    Effect effect;
};
class KeyTest : public ::testing::TestWithParam<KeyCase> {};

// Escape anywhere, and Enter anywhere but on another button, mean "OK".
TEST_P(KeyTest, ActsAsDesigned) {
    const KeyCase& c = GetParam();
    Window w;
    w.Show();
    w.Control(c.focus)->setFocus();
    QTest::keyClick(Focus(), c.key);
    EXPECT_EQ(w.window.Form().IsLoaded(), c.effect != Effect::Closes);
    EXPECT_EQ(w.window.isVisible(), c.effect != Effect::Closes);
    EXPECT_EQ(std::ranges::count(w.platform.calls, "Rnd"), c.effect == Effect::Draws ? 1 : 0);
    EXPECT_EQ(w.platform.messages.size(), c.effect == Effect::About ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Keys, KeyTest,
    ::testing::Values(KeyCase{"EnterOnOk", "cmdOK", Qt::Key_Return, Effect::Closes},
                      KeyCase{"EnterOnThePanel", "Picture1", Qt::Key_Return, Effect::Closes},
                      KeyCase{"KeypadEnterOnTheLogo", "Picture2", Qt::Key_Enter, Effect::Closes},
                      KeyCase{"EscapeOnAbout", "cmdAbout", Qt::Key_Escape, Effect::Closes},
                      KeyCase{"EscapeOnThePanel", "Picture1", Qt::Key_Escape, Effect::Closes},
                      KeyCase{"EnterOnNextTip", "cmdNextTip", Qt::Key_Return, Effect::Draws},
                      KeyCase{"SpaceOnNextTip", "cmdNextTip", Qt::Key_Space, Effect::Draws},
                      KeyCase{"EnterOnAbout", "cmdAbout", Qt::Key_Return, Effect::About}),
    RowName<KeyCase>);

TEST(WindowTest, OpensOnOkAndTabsInDesignOrderPastTheLabels) {
    Window w;
    w.Show();
    EXPECT_EQ(Focus(), w.Control("cmdOK"));
    const QList<QWidget*> forward{w.Control("Picture1"), w.Control("cmdNextTip"),
                                  w.Control("cmdAbout"), w.Control("Picture2"), w.Control("cmdOK")};
    for (QWidget* expected : forward) {
        QTest::keyClick(Focus(), Qt::Key_Tab);
        EXPECT_EQ(Focus(), expected) << Focus()->objectName().toStdString();
    }
    for (auto it = forward.rbegin() + 1; it != forward.rend(); ++it) {
        QTest::keyClick(Focus(), Qt::Key_Backtab);
        EXPECT_EQ(Focus(), *it) << Focus()->objectName().toStdString();
    }
}

// The frame holds the one size the layout is made for, at the designed place, and the window is
// listed in the task bar like any program's.
TEST(WindowTest, FrameKeepsTheDesignedSizeAndPlace) {
    Window w;
    const Qt::WindowFlags flags = w.window.windowFlags();
    EXPECT_EQ(w.window.windowType(), Qt::Window);
    EXPECT_FALSE(flags & (Qt::WindowMaximizeButtonHint | Qt::WindowMinimizeButtonHint));
    EXPECT_TRUE(flags & Qt::WindowCloseButtonHint);
    EXPECT_EQ(w.window.windowTitle(), "Glimbo http://www.glimbo.example");
    EXPECT_EQ(w.window.minimumSize(), QSize(624, 189));
    EXPECT_EQ(w.window.maximumSize(), QSize(624, 189));
    const QScreen* screen = QGuiApplication::primaryScreen();
    EXPECT_EQ(w.window.geometry(),
              farlous::ClientArea(screen->geometry(), screen->availableGeometry()));
    // Measured from the screen's own corner; moved inside a screen too small for it.
    EXPECT_EQ(farlous::ClientArea({1280, 0, 1280, 1024}, {1280, 0, 1280, 1024}),
              QRect(1481, 483, 624, 189));
    EXPECT_EQ(farlous::ClientArea({0, 0, 640, 480}, {0, 32, 640, 448}), QRect(16, 291, 624, 189));
}

// The font is fitted to the fixed captions as the window shows: none is cut, whatever the joke.
TEST(WindowTest, FontFitsTheCaptionsNotTheJoke) {
    Window plain;
    plain.Settle();
    Window w;
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
    w.Settle();
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
};
class AmpersandTest : public ::testing::TestWithParam<AmpersandCase> {};

// A joke is plain text in which '&' marks an access key; a screen reader gets it as drawn.
TEST_P(AmpersandTest, DrawsAndReadsTheJokeAsShown) {
    const AmpersandCase& c = GetParam();
    Window w;
    w.Load(c.caption);
    EXPECT_EQ(Grab(w.TipText()), PlainText(*w.TipText(), c.drawn));
    QAccessibleInterface* read = QAccessible::queryAccessibleInterface(w.TipText());
    EXPECT_EQ(read->textInterface()->text(0, -1), c.drawn);
    EXPECT_EQ(read->text(QAccessible::Name), QString("Zinoquet : ") + c.drawn);
}

INSTANTIATE_TEST_SUITE_P(Ampersands, AmpersandTest,
                         ::testing::Values(AmpersandCase{"Markup", "<b>pas du gras</b>",
                                                         "<b>pas du gras</b>"},
                                           AmpersandCase{"Doubled", "Tom && Jerry", "Tom & Jerry"},
                                           AmpersandCase{"Last", "fin &", "fin "}),
                         RowName<AmpersandCase>);

TEST(WindowTest, MarkedLetterIsUnderlined) {
    Window w;
    w.Load("&Chat");
    const QImage marked = Grab(w.TipText()), plain = PlainText(*w.TipText(), "Chat");
    const int baseline = QFontMetrics(w.TipText()->font()).ascent();
    EXPECT_NE(marked, plain);
    EXPECT_EQ(marked.copy(0, 0, marked.width(), baseline),
              plain.copy(0, 0, plain.width(), baseline));
}

struct AccessKeyCase {
    const char* name;
    const char* caption;
    Qt::Key key;
    bool moves;
};
class AccessKeyTest : public ::testing::TestWithParam<AccessKeyCase> {};

// A joke's access key takes the focus to the joke's panel, and does nothing else.
TEST_P(AccessKeyTest, TakesTheFocusToThePanel) {
    const AccessKeyCase& c = GetParam();
    Window w;
    w.Load(c.caption);
    w.Show();
    QTest::keyClick(&w.window, c.key, Qt::AltModifier);
    EXPECT_EQ(Focus(), w.Control(c.moves ? "Picture1" : "cmdOK"));
    EXPECT_TRUE(w.window.Form().IsLoaded());
    EXPECT_TRUE(w.platform.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    AccessKeys, AccessKeyTest,
    ::testing::Values(AccessKeyCase{"Marked", "Le &chat", Qt::Key_C, true},
                      AccessKeyCase{"Accented", "L'&élan", Qt::Key_Eacute, true},
                      AccessKeyCase{"Doubled", "Le &&chat", Qt::Key_C, false},
                      AccessKeyCase{"OnlyTheFirst", "&un &deux", Qt::Key_D, false}),
    RowName<AccessKeyCase>);

// On a dark desktop the button text is light: on the white panel it must turn dark.
TEST(WindowTest, TextOnThePanelStaysReadableWithADarkPalette) {
    const QPalette saved = QApplication::palette();
    QApplication::setPalette(QPalette(QColor(0x303030)));  // and light text to go with it
    Window w;
    w.Load("MMMMMMMM MMMMMMMM");
    for (const char* label : {"Label1", "lblTipText"}) {
        const QImage image = Grab(w.Control(label));
        int darkest = 255;
        for (int y = 0; y < image.height(); ++y) {
            for (int x = 0; x < image.width(); ++x)
                darkest = std::min(darkest, qGray(image.pixel(x, y)));
        }
        EXPECT_LT(darkest, 96) << label;
        EXPECT_EQ(image.pixelColor(0, image.height() - 1), QColor(Qt::white)) << label;
    }
    QApplication::setPalette(saved);
}

// The texts given to screen readers to speak while the test runs: the names of the objects with
// the notification role, as they are shown. (The offscreen platform has no accessibility bridge to
// watch; the tests of the built program watch the real one.)
struct Announcements : QObject {
    QStringList texts;
    Announcements() { qApp->installEventFilter(this); }
    bool eventFilter(QObject* object, QEvent* event) override {
        if (event->type() == QEvent::Show) {
            QAccessibleInterface* shown = QAccessible::queryAccessibleInterface(object);
            if (shown && shown->role() == QAccessible::Notification)
                texts << shown->text(QAccessible::Name);
        }
        return false;
    }
};

// Roles a screen reader knows: a dialog whose texts it reads as it opens, a panel and a picture
// rather than frames (which it takes for windows), and the joke as text under its heading.
TEST(AccessibilityTest, EveryControlHasARoleAndAName) {
    Window w;
    w.Load("Dupont && Fils");
    const auto read = [&](const char* name) {
        return QAccessible::queryAccessibleInterface(name ? w.Control(name) : &w.window);
    };
    const struct {
        const char* control;
        QAccessible::Role role;
        const char* name;
    } expected[] = {{nullptr, QAccessible::Dialog, "Glimbo http://www.glimbo.example"},
                    {"cmdOK", QAccessible::PushButton, "OK"},
                    {"cmdNextTip", QAccessible::PushButton, "Blague suivante"},
                    {"cmdAbout", QAccessible::PushButton, "A Propos de Glimbo"},
                    {"Picture1", QAccessible::Pane, "Blague du jour"},
                    {"Label1", QAccessible::StaticText, "Zinoquet :"},
                    {"lblTipText", QAccessible::StaticText, "Zinoquet : Dupont & Fils"},
                    {"Picture2", QAccessible::Graphic, "Logo de Glimbo"}};
    for (const auto& e : expected) {
        EXPECT_EQ(read(e.control)->role(), e.role) << (e.control ? e.control : "frmTip");
        EXPECT_EQ(read(e.control)->text(QAccessible::Name), e.name);
    }
    EXPECT_TRUE(read("Picture2")->text(QAccessible::Description).contains("Glimbo"));
    // Nothing ties the joke to another control: a reader would take it for that control's label.
    EXPECT_TRUE(read("lblTipText")->relations().isEmpty());
}

// Each joke drawn once the window is up is announced once, whatever has the focus; the one shown
// as the window opens is read with the window.
TEST(AccessibilityTest, EachNewJokeIsAnnouncedOnce) {
    Announcements heard;
    Window w;
    w.platform.draws = {0.0f, 0.9f, 0.9f};
    w.Load("Dupont && Fils\nLa suite");
    EXPECT_TRUE(heard.texts.isEmpty());
    w.Show();
    EXPECT_TRUE(heard.texts.isEmpty());
    QTest::mouseClick(w.Control("cmdNextTip"), Qt::LeftButton);
    EXPECT_EQ(heard.texts, QStringList{"La suite"});
    w.Control("Picture2")->setFocus();
    QTest::keyClick(w.Control("Picture2"), Qt::Key_Tab);  // to "OK"
    QTest::keyClick(Focus(), Qt::Key_Tab);
    QTest::keyClick(Focus(), Qt::Key_Tab);
    QTest::keyClick(Focus(), Qt::Key_Space);  // the same joke again, announced again
    EXPECT_EQ(heard.texts, (QStringList{"La suite", "La suite"}));
    EXPECT_EQ(Focus(), w.Control("cmdNextTip"));
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

TEST(PicturesTest, LogoIsABaselineJfifAt96Dpi) {
    const QByteArray jpeg = Read(":/logo/glimbo.jpg");
    // SOI, then APP0: JFIF 1.01, dots per inch, 96 x 96, no thumbnail.
    EXPECT_EQ(jpeg.left(20).toHex(), "ffd8ffe000104a46494600010101006000600000");
    // Baseline frame: 8 bits, 140 x 352, three components sampled 2x2, 1x1, 1x1.
    const qsizetype frame = jpeg.indexOf(QByteArray::fromHex("ffc00011"));
    ASSERT_GT(frame, 0);
    EXPECT_EQ(jpeg.mid(frame + 4, 15).toHex(), "08008c016003012200021101031101");
}

// Entries (width, height, colours, bits per pixel) agree with the images they point to.
TEST(PicturesTest, IconHoldsItsThreeImages) {
    const QByteArray ico = Read(FARLOUS_ICON_FOLDER "/farlous.ico");
    ASSERT_GE(ico.size(), 6 + 3 * 16);
    const auto word = [&](qsizetype at) { return quint8(ico[at]) | quint8(ico[at + 1]) << 8; };
    QList<QList<int>> seen{{word(2), word(4)}};  // an icon, of three images
    for (qsizetype at = 6; at < 6 + 3 * 16; at += 16) {
        const qsizetype image = word(at + 12) | qsizetype(word(at + 14)) << 16;
        seen.append({quint8(ico[at]), quint8(ico[at + 1]), quint8(ico[at + 2]), word(at + 6),
                     word(image + 14)});
    }
    EXPECT_EQ(seen, (QList<QList<int>>{
                        {1, 3}, {32, 32, 2, 1, 1}, {32, 32, 16, 4, 4}, {16, 16, 16, 4, 4}}));
}

}  // namespace
