// The built program's window as the screen shows it: a private X server without a window manager
// runs the program, and the screen is read back pixel by pixel. Only what does not depend on the
// fonts is checked: rectangles, colours, the logo. What was seen is kept as farlous.png.
#include <poll.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <chrono>
#include <optional>

// Last: Xlib's macros (Bool, Status, CursorShape...) break the Qt headers.
#include <X11/Xatom.h>
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace {

constexpr int kHangMs = 20000;
const QRect kClientArea(201, 483, 624, 189);
const QColor kWhite(Qt::white);
const QByteArray kJoke =
    "Pourquoi les plongeurs plongent-ils toujours en arrière ? Parce que sinon, ils tombent dans "
    "le bateau.";

// Inside the client area, in pixels.
const QRect kPanel(0, 8, 257, 181);
const QRect kLogoBox(264, 8, 353, 145);
const QRect kButtons[] = {{264, 160, 105, 25}, {384, 160, 113, 25}, {512, 160, 105, 25}};
// Nothing but the face colour: the margins and gaps of the design, and the logo box below the
// logo.
const QRect kFaceOnly[] = {{0, 0, 624, 8},     {257, 0, 7, 189},   {617, 0, 7, 189},
                           {257, 153, 367, 7}, {257, 185, 367, 4}, {369, 160, 15, 25},
                           {497, 160, 15, 25}, {265, 149, 351, 3}};
// Nothing but white: the panel's inside around its two labels.
const QRect kWhiteOnly[] = {{1, 9, 255, 8}, {1, 9, 8, 179}, {250, 9, 6, 179}, {1, 182, 255, 6}};

// The first pixel of `rect` that is not `colour`, as text for a failure message; empty if none.
QString Stray(const QImage& image, const QRect& rect, const QColor& colour) {
    for (int y = rect.top(); y <= rect.bottom(); ++y) {
        for (int x = rect.left(); x <= rect.right(); ++x) {
            if (image.pixelColor(x, y) != colour) {
                return QString("(%1, %2) is %3, not %4")
                    .arg(x)
                    .arg(y)
                    .arg(image.pixelColor(x, y).name(), colour.name());
            }
        }
    }
    return {};
}

class XServer {
public:
    XServer() : display_(XOpenDisplay(nullptr)) {
        if (display_) XSelectInput(display_, DefaultRootWindow(display_), SubstructureNotifyMask);
    }
    ~XServer() {
        if (display_) XCloseDisplay(display_);
    }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    bool open() const { return display_ != nullptr; }

    // The first top-level window mapped from now on.
    std::optional<Window> nextMapped() {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kHangMs);
        while (std::chrono::steady_clock::now() < deadline) {
            while (XPending(display_) > 0) {
                XEvent event;
                XNextEvent(display_, &event);
                if (event.type == MapNotify) return event.xmap.window;
            }
            pollfd fd{ConnectionNumber(display_), POLLIN, 0};
            poll(&fd, 1, 100);
        }
        return std::nullopt;
    }

    QRect geometry(Window window) {
        XWindowAttributes attributes{};
        XGetWindowAttributes(display_, window, &attributes);
        int x = 0, y = 0;
        Window child;
        XTranslateCoordinates(display_, window, DefaultRootWindow(display_), 0, 0, &x, &y, &child);
        return {x, y, attributes.width, attributes.height};
    }

    // Widths of the images of the window's icon.
    QList<int> iconWidths(Window window) {
        Atom type;
        int format;
        unsigned long count = 0, after;
        unsigned char* data = nullptr;
        XGetWindowProperty(display_, window, XInternAtom(display_, "_NET_WM_ICON", False), 0,
                           1 << 16, False, XA_CARDINAL, &type, &format, &count, &after, &data);
        QList<int> widths;
        const auto* values = reinterpret_cast<const unsigned long*>(data);
        for (unsigned long at = 0; at + 2 <= count; at += 2 + values[at] * values[at + 1]) {
            widths << int(values[at]);
        }
        if (data) XFree(data);
        return widths;
    }

    QImage grab(const QRect& area) {
        XImage* shot = XGetImage(display_, DefaultRootWindow(display_), area.x(), area.y(),
                                 area.width(), area.height(), AllPlanes, ZPixmap);
        if (!shot) return {};
        QImage image(area.size(), QImage::Format_RGB32);
        for (int y = 0; y < area.height(); ++y) {
            for (int x = 0; x < area.width(); ++x) {
                image.setPixel(x, y, QRgb(XGetPixel(shot, x, y)) | 0xff000000u);
            }
        }
        XDestroyImage(shot);
        return image;
    }

private:
    Display* display_;
};

}  // namespace

class FarlousScreenshotTest : public QObject {
    Q_OBJECT

private slots:
    void windowLooksAsDesigned() {
        XServer screen;
        if (!screen.open()) QSKIP("no X server: run under xvfb-run");
        const QImage logo(FARLOUS_LOGO);
        QCOMPARE(logo.size(), QSize(352, 140));
        const QImage visibleLogo = logo.copy(0, 0, 351, 140).convertToFormat(QImage::Format_RGB32);

        QTemporaryDir program, config, runtime;
        QVERIFY(QFile::copy(FARLOUS_EXE, program.filePath("FARLOUS")));
        QFile jokes(program.filePath("FARLOUS.TXT"));
        QVERIFY(jokes.open(QIODevice::WriteOnly) && jokes.write(kJoke) == kJoke.size());
        jokes.close();
        QProcess process;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "xcb");
        env.insert("XDG_CONFIG_HOME", config.path());
        env.insert("XDG_RUNTIME_DIR", runtime.path());
        process.setProcessEnvironment(env);
        process.start(program.filePath("FARLOUS"), {});
        QVERIFY2(process.waitForStarted(kHangMs), qPrintable(process.errorString()));

        const auto window = screen.nextMapped();
        QVERIFY2(window, "no window");
        QCOMPARE(screen.geometry(*window), kClientArea);
        // The program paints after mapping: wait for the logo, the last thing it needs.
        QImage client;
        for (int tries = 0; tries < kHangMs / 50; ++tries) {
            client = screen.grab(kClientArea);
            if (client.copy(kLogoBox.x() + 1, kLogoBox.y() + 1, 351, 140) == visibleLogo) break;
            QTest::qSleep(50);
        }
        QVERIFY(client.save("farlous.png"));
        qInfo("screen seen: %s", qPrintable(QDir::current().filePath("farlous.png")));

        QCOMPARE(client.copy(kLogoBox.x() + 1, kLogoBox.y() + 1, 351, 140), visibleLogo);
        const QColor face = client.pixelColor(kClientArea.width() - 1, kClientArea.height() - 1);
        for (const QRect& rect : kFaceOnly) {
            const QString stray = Stray(client, rect, face);
            QVERIFY2(stray.isEmpty(), qPrintable(stray));
        }
        for (const QRect& rect : kWhiteOnly) {
            const QString stray = Stray(client, rect, kWhite);
            QVERIFY2(stray.isEmpty(), qPrintable(stray));
        }
        // The boxes' frames are sunken: dark top and left lines.
        for (const QRect& box : {kPanel, kLogoBox}) {
            const QColor shadow = client.pixelColor(box.topLeft());
            QVERIFY(shadow != face && shadow != kWhite);
            const QString stray =
                Stray(client, {box.left(), box.top(), box.width() - 1, 1}, shadow) +
                Stray(client, {box.left(), box.top(), 1, box.height() - 1}, shadow);
            QVERIFY2(stray.isEmpty(), qPrintable(stray));
        }
        // Each button's frame fills its rectangle to the edges.
        for (const QRect& button : kButtons) {
            const QPoint middle = button.center();
            for (const QPoint edge :
                 {QPoint(button.left(), middle.y()), QPoint(button.right(), middle.y()),
                  QPoint(middle.x(), button.top()), QPoint(middle.x(), button.bottom())}) {
                QVERIFY2(client.pixelColor(edge) != face,
                         qPrintable(QString("(%1, %2)").arg(edge.x()).arg(edge.y())));
            }
        }
        const QList<int> iconWidths = screen.iconWidths(*window);
        QVERIFY2(iconWidths.contains(16) && iconWidths.contains(32), "the window has no icon");

        process.kill();
        QVERIFY(process.waitForFinished(kHangMs));
    }
};

QTEST_GUILESS_MAIN(FarlousScreenshotTest)
#include "farlous_screenshot_test.moc"
