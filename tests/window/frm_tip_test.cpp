// The window in-process on the offscreen platform, and the pictures the program carries.
#include <QAccessible>
#include <QFile>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "support/fake_platform.h"
#include "window/fixed_texts.h"
#include "window/qt/access_key_label.h"
#include "window/qt/picture_box.h"
#include "window/qt/tip_window.h"
#include "window/qt/window_placement.h"

using farlous::QtTipWindow;
using farlous::testing::FakePlatform;
using Calls = std::vector<std::string>;

namespace {

const char* const kSettingKey = "FARLOUS/Options/Show Tips at Startup";
const char* const kJokesPath = "/programme/FARLOUS.TXT";

// A window shown, active and ready for keys and grabs.
struct Shown {
    FakePlatform platform;
    QtTipWindow window{platform};
    Shown() {
        window.show();
        if (!QTest::qWaitForWindowActive(&window)) qFatal("the window did not become active");
    }
};

QWidget* Focus() { return QApplication::focusWidget(); }
QImage Grab(QWidget* widget) { return widget->grab().toImage(); }

bool ShowsDarkInk(QWidget* widget) {
    const QImage image = Grab(widget);
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = image.pixelColor(x, y);
            if (std::max({c.red(), c.green(), c.blue()}) < 96) return true;
        }
    }
    return false;
}

// What `text` looks like drawn plainly, with no markup and no access-key marks.
QImage PlainText(const farlous::AccessKeyLabel& label, const QString& text) {
    QImage image(label.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(label.font());
    painter.setPen(label.palette().color(QPalette::ButtonText));
    painter.drawText(label.rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    return image;
}

QString Accessible(QWidget* control, QAccessible::Text kind) {
    return QAccessible::queryAccessibleInterface(control)->text(kind);
}

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace

class FrmTipTest : public QObject {
    Q_OBJECT

private slots:
    void settingDecidesBeforeAnythingElse() {
        const struct {
            const char* setting;  // nullptr: none stored
            bool shows;
        } cases[] = {{"0", false},   {" 0 ", false},   {"0.4", false},      {"-0.5", false},
                     {"&H0", false}, {nullptr, true},  {"1", true},         {"-1", true},
                     {"7", true},    {"0.5001", true}, {"&HFFFFFFFF", true}};
        for (const auto& c : cases) {
            FakePlatform platform;
            if (c.setting) platform.settings[kSettingKey] = c.setting;
            platform.files[kJokesPath] = "Une blague";
            QtTipWindow window(platform);
            window.Form().Form_Load();
            QCOMPARE(window.Form().IsLoaded(), c.shows);
            QCOMPARE(platform.calls.size() == 1, !c.shows);
            QCOMPARE(window.lblTipText->caption(), QString(c.shows ? "Une blague" : ""));
        }
        for (const char* bad : {"abc", "1e10"}) {
            FakePlatform platform;
            platform.settings[kSettingKey] = bad;
            QtTipWindow window(platform);
            QVERIFY_THROWS_EXCEPTION(farlous::RuntimeError, window.Form().Form_Load());
            QCOMPARE(platform.calls.size(), std::size_t(1));  // not even seeded
        }
    }

    void missingFileTextStaysAndRootFolderKeepsItsSeparator() {
        FakePlatform platform;
        QtTipWindow window(platform);
        window.Form().Form_Load();
        const QString missing = QString::fromStdString(farlous::MissingFileText());
        QCOMPARE(window.lblTipText->caption(), missing);
        QTest::mouseClick(window.cmdNextTip, Qt::LeftButton);
        QCOMPARE(platform.calls.back(), std::string("Rnd"));
        QCOMPARE(window.lblTipText->caption(), missing);

        FakePlatform root;
        root.folder = "/";
        root.files["//FARLOUS.TXT"] = "racine";
        QtTipWindow rooted(root);
        rooted.Form().Form_Load();
        QCOMPARE(root.calls[4], std::string("Open 3 //FARLOUS.TXT"));
    }

    void keysAndButtons() {
        const struct {
            const char* focus;
            Qt::Key key;
            const char* effect;  // "closes", "Rnd" or "About"
        } cases[] = {{"cmdOK", Qt::Key_Return, "closes"},   {"Picture1", Qt::Key_Return, "closes"},
                     {"Picture2", Qt::Key_Enter, "closes"}, {"cmdAbout", Qt::Key_Escape, "closes"},
                     {"cmdNextTip", Qt::Key_Return, "Rnd"}, {"cmdAbout", Qt::Key_Return, "About"}};
        for (const auto& c : cases) {
            Shown shown;
            QWidget* focus = shown.window.findChild<QWidget*>(c.focus);
            focus->setFocus();
            QTest::keyClick(focus, c.key);
            const bool closes = std::string(c.effect) == "closes";
            QCOMPARE(shown.window.Form().IsLoaded(), !closes);
            QCOMPARE(shown.window.isVisible(), !closes);
            if (std::string(c.effect) == "Rnd")
                QCOMPARE(shown.platform.calls.back(), std::string("Rnd"));
            if (std::string(c.effect) == "About")
                QCOMPARE(shown.platform.messages, Calls{farlous::AboutText()});
        }
    }

    void opensWithFocusOnOkAndTabsInDesignOrder() {
        Shown shown;
        QtTipWindow& w = shown.window;
        QCOMPARE(Focus(), w.cmdOK);
        QVERIFY(w.cmdOK->isDefault());
        QCOMPARE(w.windowTitle(), QString("Glimbo http://www.glimbo.example"));
        const QList<QWidget*> forward{w.Picture1, w.cmdNextTip, w.cmdAbout, w.Picture2, w.cmdOK};
        for (QWidget* expected : forward) {
            QTest::keyClick(Focus(), Qt::Key_Tab);
            QCOMPARE(Focus(), expected);
            // Only the focused button looks like the default one; "OK" when none has the focus.
            QCOMPARE(w.cmdOK->isDefault(),
                     !qobject_cast<QPushButton*>(expected) || expected == w.cmdOK);
        }
        for (auto it = forward.rbegin() + 1; it != forward.rend(); ++it) {
            QTest::keyClick(Focus(), Qt::Key_Backtab);
            QCOMPARE(Focus(), *it);
        }
    }

    // Pixels at 96 dots per inch, measured inside the container's frame.
    void controlsStandWhereDesigned() {
        FakePlatform platform;
        QtTipWindow window(platform);
        const struct {
            const char* name;
            const char* container;
            QRect rect;
        } cases[] = {{"cmdAbout", "frmTip", {512, 160, 105, 25}},
                     {"cmdNextTip", "frmTip", {384, 160, 113, 25}},
                     {"Picture1", "frmTip", {0, 8, 257, 181}},
                     {"Label1", "Picture1", {8, 8, 81, 17}},
                     {"lblTipText", "Picture1", {8, 32, 241, 141}},
                     {"cmdOK", "frmTip", {264, 160, 105, 25}},
                     {"Picture2", "frmTip", {264, 8, 353, 145}}};
        for (const auto& p : cases) {
            const QWidget* control = window.findChild<QWidget*>(p.name);
            QVERIFY2(control, p.name);
            const QWidget* container = control->parentWidget();
            QCOMPARE(container->objectName(), QString(p.container));
            QCOMPARE(control->geometry().translated(-container->contentsRect().topLeft()), p.rect);
        }
        QCOMPARE(window.findChildren<QWidget*>().size(), 7);
        QCOMPARE(window.size(), QSize(624, 189));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(window.Picture2->contentsRect(), QRect(1, 1, 351, 143));
        QCOMPARE(window.Picture2->picture().size(),
                 QSize(352, 140));  // fails without the JPEG plugin
        const QFontMetrics metrics(window.font());
        for (const QPushButton* button : window.findChildren<QPushButton*>()) {
            QVERIFY2(metrics.horizontalAdvance(button->text()) < button->width() - 4,
                     qPrintable(button->text()));
        }
        // Measured from the screen's own corner; moved inside a screen too small for it.
        QCOMPARE(farlous::ClientArea({1280, 0, 1280, 1024}, {1280, 0, 1280, 1024}),
                 QRect(1481, 483, 624, 189));
        QCOMPARE(farlous::ClientArea({0, 0, 640, 480}, {0, 32, 640, 448}),
                 QRect(16, 291, 624, 189));
    }

    // On a dark desktop the button text is light: on the white panel it must turn dark.
    void textOnThePanelStaysReadableWithADarkPalette() {
        const QPalette saved = QApplication::palette();
        QApplication::setPalette(QPalette(QColor(0x303030)));  // and light text to go with it
        FakePlatform platform;
        QtTipWindow window(platform);
        window.lblTipText->setCaption("MMMMMMMM MMMMMMMM");
        QVERIFY(ShowsDarkInk(window.lblTipText));
        QVERIFY(ShowsDarkInk(window.Label1));
        QCOMPARE(Grab(window.lblTipText).pixelColor(0, 140), QColor(Qt::white));
        QApplication::setPalette(saved);
    }

    void labelsDrawPlainTextAndAmpersandsAsMarks() {
        FakePlatform platform;
        QtTipWindow window(platform);
        farlous::AccessKeyLabel& label = *window.lblTipText;
        for (const auto& [caption, drawn] : {std::pair{"<b>pas du gras</b>", "<b>pas du gras</b>"},
                                             {"Tom && Jerry", "Tom & Jerry"},
                                             {"fin &", "fin "}}) {
            label.setCaption(caption);
            QCOMPARE(Grab(&label), PlainText(label, drawn));
        }
        // The marked letter is underlined: the same letters, with a line below them.
        label.setCaption("&Chat");
        const QImage marked = Grab(&label), plain = PlainText(label, "Chat");
        const int baseline = QFontMetrics(label.font()).ascent();
        QVERIFY(marked != plain);
        QCOMPARE(marked.copy(0, 0, label.width(), baseline),
                 plain.copy(0, 0, label.width(), baseline));
    }

    // A joke's access key gives the focus to the control after the joke label in tab order.
    void accessKeyOfAJokeMovesTheFocusOn() {
        const struct {
            const char* caption;
            Qt::Key key;
            bool moves;
        } cases[] = {{"Le &chat", Qt::Key_C, true},
                     {"L'&élan", Qt::Key_Eacute, true},
                     {"Le &&chat", Qt::Key_C, false},
                     {"&un &deux", Qt::Key_D, false}};
        for (const auto& c : cases) {
            Shown shown;
            shown.window.lblTipText->setCaption(c.caption);
            QTest::keyClick(&shown.window, c.key, Qt::AltModifier);
            QCOMPARE(Focus(), c.moves ? shown.window.cmdAbout : shown.window.cmdOK);
            QVERIFY(shown.window.Form().IsLoaded() && shown.platform.messages.empty());
        }
    }

    void assistiveToolsReadEveryControlAndEachNewJoke() {
        FakePlatform platform;
        platform.files[kJokesPath] = "Dupont && Fils\nLa suite";
        platform.draws = {0.0f, 0.9f};
        QtTipWindow window(platform);
        window.Form().Form_Load();
        for (QWidget* control : window.findChildren<QWidget*>()) {
            QVERIFY2(!Accessible(control, QAccessible::Name).isEmpty(),
                     qPrintable(control->objectName()));
        }
        QCOMPARE(Accessible(window.lblTipText, QAccessible::Name), QString("Dupont & Fils"));
        QVERIFY(Accessible(window.Picture2, QAccessible::Description).contains("Glimbo"));
        QTest::mouseClick(window.cmdNextTip, Qt::LeftButton);
        QCOMPARE(Accessible(window.lblTipText, QAccessible::Name), QString("La suite"));
    }

    void logoIsABaselineJfifAt96Dpi() {
        const QByteArray jpeg = Read(":/logo/glimbo.jpg");
        // SOI, then APP0: JFIF 1.01, dots per inch, 96 x 96, no thumbnail.
        QCOMPARE(jpeg.left(20).toHex(), QByteArray("ffd8ffe000104a46494600010101006000600000"));
        // Baseline frame: 8 bits, 140 x 352, three components sampled 2x2, 1x1, 1x1.
        const qsizetype frame = jpeg.indexOf(QByteArray::fromHex("ffc00011"));
        QVERIFY(frame > 0);
        QCOMPARE(jpeg.mid(frame + 4, 15).toHex(), QByteArray("08008c016003012200021101031101"));
    }

    // Entries (width, height, colours, bits per pixel) agree with the images they point to.
    void iconHoldsItsThreeImages() {
        const QByteArray ico = Read(FARLOUS_ICON_FOLDER "/farlous.ico");
        const auto word = [&](qsizetype at) { return quint8(ico[at]) | quint8(ico[at + 1]) << 8; };
        QList<QList<int>> seen{{word(2), word(4)}};  // an icon, of three images
        for (qsizetype at = 6; at < 6 + 3 * 16; at += 16) {
            const qsizetype image = word(at + 12) | qsizetype(word(at + 14)) << 16;
            seen.append({quint8(ico[at]), quint8(ico[at + 1]), quint8(ico[at + 2]), word(at + 6),
                         word(image + 14)});
        }
        QCOMPARE(seen, (QList<QList<int>>{
                           {1, 3}, {32, 32, 2, 1, 1}, {32, 32, 16, 4, 4}, {16, 16, 16, 4, 4}}));
    }
};

QTEST_MAIN(FrmTipTest)
#include "frm_tip_test.moc"
