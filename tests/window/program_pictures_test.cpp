// The pictures the program carries: the logo inside the window's library, the icon files.
#include <QFile>
#include <QImage>
#include <QSet>
#include <QTest>
#include <QtEndian>

#include "support/fake_platform.h"
#include "window/frmTip.h"
#include "window/picture_box.h"

using farlous::frmTip;
using farlous::testing::FakePlatform;

namespace {

QByteArray Read(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

quint16 Word(const QByteArray& bytes, qsizetype at) {
    return qFromLittleEndian<quint16>(bytes.constData() + at);
}

}  // namespace

class ProgramPicturesTest : public QObject {
    Q_OBJECT

private slots:
    // Also fails when Qt's JPEG plugin is missing.
    void logoIsDrawnWholeFromTheBoxsInsideCorner() {
        FakePlatform platform;
        frmTip window(platform);
        const QImage logo = window.Picture2->picture().toImage();
        QCOMPARE(logo.size(), QSize(352, 140));
        const QImage box = window.Picture2->grab().toImage().convertToFormat(logo.format());
        const QRect inside = window.Picture2->contentsRect();
        QCOMPARE(box.copy(inside.x(), inside.y(), inside.width(), logo.height()),
                 logo.copy(0, 0, inside.width(), logo.height()));
        const QColor face = window.Picture2->palette().color(window.Picture2->backgroundRole());
        for (int x = inside.left(); x <= inside.right(); ++x) {
            QCOMPARE(box.pixelColor(x, inside.top() + logo.height()), face);
        }
    }

    void logoIsABaselineJfifAt96Dpi() {
        const QByteArray jpeg = Read(":/logo/glimbo.jpg");
        // SOI, then APP0: JFIF 1.01, dots per inch, 96 x 96, no thumbnail.
        QCOMPARE(jpeg.left(20).toHex(), QByteArray("ffd8ffe000104a46494600010101006000600000"));
        // Baseline frame: 8 bits, 140 x 352, three components sampled 2x2, 1x1, 1x1.
        const qsizetype frame = jpeg.indexOf(QByteArray::fromHex("ffc00011"));
        QVERIFY(frame > 0);
        QCOMPARE(jpeg.mid(frame + 4, 15).toHex(), QByteArray("08008c016003012200021101031101"));
        QVERIFY(!jpeg.contains(QByteArray::fromHex("ffc2")));  // not progressive
    }

    void iconHoldsItsThreeImages() {
        const QByteArray ico = Read(FARLOUS_ICON_FOLDER "/farlous.ico");
        QCOMPARE(Word(ico, 2), quint16(1));
        QCOMPARE(Word(ico, 4), quint16(3));
        struct Entry {
            int size, colours, bits;
        };
        const Entry expected[] = {{32, 2, 1}, {32, 16, 4}, {16, 16, 4}};
        for (int i = 0; i < 3; ++i) {
            const qsizetype at = 6 + 16 * i;
            QCOMPARE(quint8(ico[at]), quint8(expected[i].size));
            QCOMPARE(quint8(ico[at + 1]), quint8(expected[i].size));
            QCOMPARE(quint8(ico[at + 2]), quint8(expected[i].colours));
            QCOMPARE(Word(ico, at + 6), quint16(expected[i].bits));
            // The image itself says the same.
            const qsizetype image = qFromLittleEndian<quint32>(ico.constData() + at + 12);
            QCOMPARE(Word(ico, image + 14), quint16(expected[i].bits));
        }
    }

    void iconPicturesHaveSixteenColoursAndATransparentBackground() {
        for (int size : {16, 32}) {
            const QImage icon(QString(FARLOUS_ICON_FOLDER "/farlous-%1.png").arg(size));
            QCOMPARE(icon.size(), QSize(size, size));
            QSet<QRgb> colours;
            for (int y = 0; y < size; ++y) {
                for (int x = 0; x < size; ++x) {
                    if (qAlpha(icon.pixel(x, y)) != 0) colours.insert(icon.pixel(x, y));
                }
            }
            QVERIFY(colours.size() > 2 && colours.size() <= 16);
            QCOMPARE(qAlpha(icon.pixel(0, 0)), 0);
        }
    }
};

QTEST_MAIN(ProgramPicturesTest)
#include "program_pictures_test.moc"
