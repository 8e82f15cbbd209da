// The pictures the program carries, as files: the logo inside the window's library, the icon
// that the Windows program file carries.
#include <QFile>
#include <QTest>
#include <QtEndian>

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
    void logoIsABaselineJfifAt96Dpi() {
        const QByteArray jpeg = Read(":/logo/glimbo.jpg");
        // SOI, then APP0: JFIF 1.01, dots per inch, 96 x 96, no thumbnail.
        QCOMPARE(jpeg.left(20).toHex(), QByteArray("ffd8ffe000104a46494600010101006000600000"));
        // Baseline frame: 8 bits, 140 x 352, three components sampled 2x2, 1x1, 1x1.
        const qsizetype frame = jpeg.indexOf(QByteArray::fromHex("ffc00011"));
        QVERIFY(frame > 0);
        QCOMPARE(jpeg.mid(frame + 4, 15).toHex(), QByteArray("08008c016003012200021101031101"));
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
};

QTEST_MAIN(ProgramPicturesTest)
#include "program_pictures_test.moc"
