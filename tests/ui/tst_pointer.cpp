// The window pointer and its hover rule, and the pointer files it loads.
#include "MainWindowFixture.h"

#include "CursorFile.h"

#include <QDataStream>
#include <QtEndian>

namespace {

using Shape = WindowPointer::Shape;

// A classic 32x32 cursor file: one 32 bpp DIB, its height doubled for the mask.
QByteArray dibCursor(QPoint hotspot, QRgb colour)
{
    QByteArray file;
    QDataStream out(&file, QIODevice::WriteOnly);
    out.setByteOrder(QDataStream::LittleEndian);
    out << quint16(0) << quint16(2) << quint16(1) << quint8(32) << quint8(32) << quint16(0) << quint16(hotspot.x())
        << quint16(hotspot.y()) << quint32(40 + 32 * 32 * 4 + 32 * 4) << quint32(22);
    out << quint32(40) << qint32(32) << qint32(64) << quint16(1) << quint16(32);
    for (int i = 0; i < 6 + 32 * 32; ++i)
        out << quint32(i < 6 ? 0 : colour);
    return file + QByteArray(32 * 4, '\0');   // AND mask: all opaque
}

} // namespace

class TestPointer : public QObject
{
    Q_OBJECT

private slots:
    void movesSwitchBetweenHandAndDefaultAndBusyWinsOverThem()
    {
        MainWindowFixture f;   // no hand file beside the program: Qt's hand stands in
        f.showLoaded();
        WindowPointer &pointer = f.window.windowPointer();
        auto over = [&](const char *name) {
            QWidget *control = f.window.findChild<QWidget *>(name);
            QTest::mouseMove(control, control->rect().center());
            return pointer.shape();
        };
        for (const char *button : {"addFilesButton", "convertButton", "addFolderButton"}) {
            for (const char *other : {"delayLabel", "delayEdit", "progressBar"}) {
                QCOMPARE(over(button), Shape::Custom);
                QCOMPARE(over(other), Shape::Default);
            }
            QCOMPARE(over(button), Shape::Custom);
            QCOMPARE(f.window.cursor().shape(), Qt::PointingHandCursor);
            QTest::mouseMove(&f.window, QPoint(438, 150));   // bare surface right of the delay box
            QCOMPARE(pointer.shape(), Shape::Default);
        }

        pointer.set(Shape::Busy);
        QCOMPARE(f.delayEdit()->cursor().shape(), Qt::WaitCursor);
        for (const char *name : {"addFilesButton", "delayLabel", "delayEdit", "progressBar", "imageList", "addFolderButton"})
            QCOMPARE(over(name), Shape::Busy);
        pointer.set(Shape::Default);
        QCOMPARE(f.window.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(f.delayEdit()->cursor().shape(), Qt::IBeamCursor);
    }

    void cursorFilesGiveTheirHotspotOrAreRefused()
    {
        const QByteArray good = dibCursor(QPoint(3, 28), 0xFF00FF00);
        const auto dib = decodeCursorFile(good);
        QVERIFY(dib && dib->image.size() == QSize(32, 32));
        QCOMPARE(dib->hotspot, QPoint(3, 28));
        QCOMPARE(dib->image.pixelColor(16, 16), QColor(Qt::green));

        // An icon has no hotspot: the middle stands in.
        QImage picture(24, 24, QImage::Format_ARGB32);
        picture.fill(Qt::blue);
        const auto icon = decodeCursorFile(encodeCursorFile(picture, QPoint(), CursorFileType::Icon));
        QVERIFY(icon && icon->hotspot == QPoint(12, 12));

        QByteArray badOffset = good, badSize = good, wrongType = good;
        qToLittleEndian<quint32>(0xFFFFFF00u, badOffset.data() + 18);
        qToLittleEndian<quint32>(0xFFFFFFF0u, badSize.data() + 14);
        wrongType[2] = 7;   // neither icon nor cursor
        for (const QByteArray &bytes : {QByteArray(), good.left(22), badOffset, badSize, wrongType, good.left(80)})
            QVERIFY(!decodeCursorFile(bytes));

        // The hand the build makes, with the finger drawn at the hotspot.
        const auto hand = readCursorFile(QStringLiteral(PICTOREEL_PROGRAM_DIR "/HAND-M.CUR"));
        QVERIFY(hand && hand->image.size() == QSize(32, 32));
        QCOMPARE(hand->hotspot, QPoint(11, 1));
        QVERIFY(qAlpha(hand->image.pixel(11, 3)) > 0);
    }
};

PICTOREEL_TEST_MAIN(TestPointer)
#include "tst_pointer.moc"
