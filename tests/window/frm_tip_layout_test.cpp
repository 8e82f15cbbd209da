#include <QApplication>
#include <QPainter>
#include <QPushButton>
#include <QTest>
#include <algorithm>

#include "support/fake_platform.h"
#include "window/access_key_label.h"
#include "window/frmTip.h"
#include "window/picture_box.h"
#include "window/window_placement.h"

using farlous::AccessKeyLabel;
using farlous::frmTip;
using farlous::testing::FakePlatform;

namespace {

// A shown window, ready for keys and grabs.
struct ShownWindow {
    FakePlatform platform;
    frmTip window{platform};

    ShownWindow() {
        window.show();
        if (!QTest::qWaitForWindowActive(&window)) qFatal("the window did not become active");
    }
    QWidget* focus() const { return QApplication::focusWidget(); }
};

QImage Grab(QWidget* widget) { return widget->grab().toImage(); }

// Some of the widget's pixels are dark on every channel.
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
QImage PlainText(const AccessKeyLabel& label, const QString& text) {
    QImage image(label.size(), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setFont(label.font());
    painter.setPen(label.palette().color(QPalette::ButtonText));
    painter.drawText(label.rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextWordWrap, text);
    return image;
}

}  // namespace

class FrmTipLayoutTest : public QObject {
    Q_OBJECT

private slots:
    // Pixels at 96 dots per inch, measured inside the container's frame.
    void controlsStandInTheirContainersAsDesigned() {
        FakePlatform platform;
        frmTip window(platform);
        struct Placed {
            const char* name;
            const char* container;
            QRect rect;
        };
        for (const Placed& p : {Placed{"cmdAbout", "frmTip", {512, 160, 105, 25}},
                                Placed{"cmdNextTip", "frmTip", {384, 160, 113, 25}},
                                Placed{"Picture1", "frmTip", {0, 8, 257, 181}},
                                Placed{"Label1", "Picture1", {8, 8, 81, 17}},
                                Placed{"lblTipText", "Picture1", {8, 32, 241, 141}},
                                Placed{"cmdOK", "frmTip", {264, 160, 105, 25}},
                                Placed{"Picture2", "frmTip", {264, 8, 353, 145}}}) {
            const QWidget* control = window.findChild<QWidget*>(p.name);
            QVERIFY2(control, p.name);
            const QWidget* container = control->parentWidget();
            QCOMPARE(container->objectName(), QString(p.container));
            QCOMPARE(control->geometry().translated(-container->contentsRect().topLeft()), p.rect);
            QVERIFY2(!control->testAttribute(Qt::WA_SetFont), p.name);
        }
        QCOMPARE(window.findChildren<QWidget*>().size(), 7);
        QCOMPARE(window.size(), QSize(624, 189));
        QCOMPARE(window.minimumSize(), window.maximumSize());
        QCOMPARE(window.Picture2->contentsRect(), QRect(1, 1, 351, 143));
        // Also fails when Qt's JPEG plugin is missing.
        QCOMPARE(window.Picture2->picture().size(), QSize(352, 140));
        const Qt::WindowFlags frame = window.windowFlags();
        QCOMPARE(frame & Qt::WindowType_Mask, Qt::Window);
        QVERIFY(frame.testFlag(Qt::WindowCloseButtonHint));
        QVERIFY(!(frame & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));
    }

    void clientAreaGoesToItsPlaceOrJustInside() {
        using farlous::ClientArea;
        const QRect large(0, 0, 1280, 1024);
        QCOMPARE(ClientArea(large, large), QRect(201, 483, 624, 189));
        // Measured from the screen's own corner, not the desktop's.
        QCOMPARE(ClientArea({1280, 0, 1280, 1024}, {1280, 0, 1280, 1024}),
                 QRect(1481, 483, 624, 189));
        QCOMPARE(ClientArea({0, 0, 800, 600}, {0, 0, 800, 560}), QRect(176, 371, 624, 189));
        QCOMPARE(ClientArea({0, 0, 640, 480}, {0, 32, 640, 448}), QRect(16, 291, 624, 189));
        QCOMPARE(ClientArea({0, 0, 600, 150}, {0, 0, 600, 150}), QRect(0, 0, 624, 189));
    }

    // The system's family at 8 points, or smaller if the buttons' captions would not fit.
    void fontFitsTheButtons() {
        FakePlatform platform;
        frmTip window(platform);
        const QFont font = window.font();
        QCOMPARE(font.family(), QApplication::font().family());
        QVERIFY(font.pointSizeF() <= 8 && font.pointSizeF() >= 6);
        const QFontMetrics metrics(font);
        for (const QPushButton* button : window.findChildren<QPushButton*>()) {
            QVERIFY2(metrics.horizontalAdvance(button->text()) < button->width() - 4,
                     qPrintable(button->text()));
        }
    }

    void tabVisitsButtonsAndPictureBoxesInDesignOrder() {
        ShownWindow shown;
        frmTip& w = shown.window;
        QCOMPARE(shown.focus(), w.cmdOK);
        const QList<QWidget*> forward{w.Picture1, w.cmdNextTip, w.cmdAbout, w.Picture2, w.cmdOK};
        for (QWidget* expected : forward) {
            QTest::keyClick(shown.focus(), Qt::Key_Tab);
            QCOMPARE(shown.focus(), expected);
            // Only the focused button looks like the default one; "OK" when none has the focus.
            QCOMPARE(w.cmdOK->isDefault(),
                     !qobject_cast<QPushButton*>(expected) || expected == w.cmdOK);
        }
        for (auto it = forward.rbegin() + 1; it != forward.rend(); ++it) {
            QTest::keyClick(shown.focus(), Qt::Key_Backtab);
            QCOMPARE(shown.focus(), *it);
        }
        QCOMPARE(w.Label1->focusPolicy(), Qt::NoFocus);
        QCOMPARE(w.lblTipText->focusPolicy(), Qt::NoFocus);
    }

    // On a dark desktop the button text is light: on the white panel it must turn dark.
    void textOnThePanelStaysReadableWithADarkPalette() {
        struct RestorePalette {
            QPalette saved = QApplication::palette();
            ~RestorePalette() { QApplication::setPalette(saved); }
        } restore;
        QPalette dark;
        for (QPalette::ColorRole role : {QPalette::Window, QPalette::Button, QPalette::Base}) {
            dark.setColor(role, QColor(0x30, 0x30, 0x30));
        }
        for (QPalette::ColorRole role :
             {QPalette::WindowText, QPalette::ButtonText, QPalette::Text}) {
            dark.setColor(role, QColor(0xe0, 0xe0, 0xe0));
        }
        QApplication::setPalette(dark);
        FakePlatform platform;
        frmTip window(platform);
        window.lblTipText->setCaption("MMMMMMMM MMMMMMMM");
        QVERIFY(ShowsDarkInk(window.lblTipText));
        QVERIFY(ShowsDarkInk(window.Label1));
        QCOMPARE(Grab(window.lblTipText).pixelColor(0, 140), QColor(Qt::white));
        const QImage logoBox = Grab(window.Picture2);
        QCOMPARE(logoBox.pixelColor(logoBox.width() - 3, logoBox.height() - 3),
                 QColor(0x30, 0x30, 0x30));
    }

    void labelsDrawPlainTextAndAmpersandsAsMarks() {
        FakePlatform platform;
        frmTip window(platform);
        AccessKeyLabel& label = *window.lblTipText;
        struct Case {
            const char* caption;
            const char* drawn;
        };
        for (const Case& c :
             {Case{"<b>pas du gras</b>", "<b>pas du gras</b>"}, Case{"Tom && Jerry", "Tom & Jerry"},
              Case{"&&", "&"}, Case{"fin &", "fin "}, Case{"", ""}}) {
            label.setCaption(c.caption);
            QCOMPARE(Grab(&label), PlainText(label, c.drawn));
        }
        // The marked letter is underlined: the same letters, with a line below them.
        label.setCaption("&Chat");
        const QImage marked = Grab(&label);
        const QImage plain = PlainText(label, "Chat");
        const int baseline = QFontMetrics(label.font()).ascent();
        QVERIFY(marked != plain);
        QCOMPARE(marked.copy(0, 0, label.width(), baseline),
                 plain.copy(0, 0, label.width(), baseline));
    }

    // A joke's access key gives the focus to the control after the joke label in tab order.
    void accessKeyOfAJokeMovesTheFocusOn() {
        struct Case {
            const char* caption;
            Qt::Key key;
            bool moves;
        };
        for (const Case& c :
             {Case{"Le &chat", Qt::Key_C, true}, Case{"L'&élan", Qt::Key_Eacute, true},
              Case{"Le &&chat", Qt::Key_C, false}, Case{"a & b", Qt::Key_B, false},
              Case{"&un &deux", Qt::Key_D, false}}) {
            ShownWindow shown;
            shown.window.lblTipText->setCaption(c.caption);
            QTest::keyClick(&shown.window, c.key, Qt::AltModifier);
            QCOMPARE(shown.focus(), c.moves ? shown.window.cmdAbout : shown.window.cmdOK);
            QVERIFY(shown.window.IsLoaded());
            QVERIFY(shown.platform.messages.empty());
        }
        // The key goes with the joke that made it.
        ShownWindow shown;
        shown.window.lblTipText->setCaption("Le &chat");
        shown.window.lblTipText->setCaption("Le chien");
        QTest::keyClick(&shown.window, Qt::Key_C, Qt::AltModifier);
        QCOMPARE(shown.focus(), shown.window.cmdOK);
    }
};

QTEST_MAIN(FrmTipLayoutTest)
#include "frm_tip_layout_test.moc"
