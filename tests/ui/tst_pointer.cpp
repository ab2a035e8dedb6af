// The window pointer and its hover rule, and the pointer files it loads.
#include "MainWindowFixture.h"

#include "CursorFile.h"

#include <QtEndian>

namespace {

using Shape = WindowPointer::Shape;

// A classic cursor file: a 32 bpp DIB (height doubled for the AND mask).
QByteArray dibCursor(int size, QPoint hotspot, QRgb colour)
{
    QByteArray dib(40, '\0');
    qToLittleEndian<quint32>(40, dib.data());
    qToLittleEndian<qint32>(size, dib.data() + 4);
    qToLittleEndian<qint32>(size * 2, dib.data() + 8);
    qToLittleEndian<quint16>(1, dib.data() + 12);
    qToLittleEndian<quint16>(32, dib.data() + 14);
    QByteArray pixel(4, '\0');
    qToLittleEndian<quint32>(colour, pixel.data());
    dib.append(pixel.repeated(size * size));
    dib.append(QByteArray(size * ((size + 31) / 32) * 4, '\0'));   // AND mask: all opaque

    QByteArray file(22, '\0');
    qToLittleEndian<quint16>(2, file.data() + 2);
    qToLittleEndian<quint16>(1, file.data() + 4);
    file[6] = char(size);
    file[7] = char(size);
    qToLittleEndian<quint16>(quint16(hotspot.x()), file.data() + 10);
    qToLittleEndian<quint16>(quint16(hotspot.y()), file.data() + 12);
    qToLittleEndian<quint32>(quint32(dib.size()), file.data() + 14);
    qToLittleEndian<quint32>(22, file.data() + 18);
    return file + dib;
}

} // namespace

class TestPointer : public QObject
{
    Q_OBJECT

private slots:
    void movesOverControlsSwitchBetweenHandAndDefault()
    {
        MainWindowFixture f;
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
            QTest::mouseMove(&f.window, QPoint(438, 150));   // bare surface right of the delay box
            QCOMPARE(pointer.shape(), Shape::Default);
        }
    }

    void busyWinsOverEveryHoverAndSurvivesMoves()
    {
        MainWindowFixture f;   // no hand file beside the program: Qt's hand stands in
        f.showLoaded();
        WindowPointer &pointer = f.window.windowPointer();
        QCOMPARE(f.delayEdit()->cursor().shape(), Qt::IBeamCursor);
        pointer.hover(Shape::Custom);
        QCOMPARE(f.window.cursor().shape(), Qt::PointingHandCursor);

        pointer.set(Shape::Busy);
        QCOMPARE(f.window.cursor().shape(), Qt::WaitCursor);
        QCOMPARE(f.delayEdit()->cursor().shape(), Qt::WaitCursor);
        for (const char *name : {"addFilesButton", "delayLabel", "delayEdit", "progressBar", "imageList", "addFolderButton"}) {
            QWidget *control = f.window.findChild<QWidget *>(name);
            QTest::mouseMove(control, control->rect().center());
            QCOMPARE(pointer.shape(), Shape::Busy);
        }

        pointer.set(Shape::Default);
        QCOMPARE(pointer.shape(), Shape::Default);
        QCOMPARE(f.window.cursor().shape(), Qt::ArrowCursor);
        QCOMPARE(f.delayEdit()->cursor().shape(), Qt::IBeamCursor);
    }

    void cursorHotspotComesFromTheFileHeader()
    {
        const auto dib = decodeCursorFile(dibCursor(32, QPoint(3, 28), 0xFF00FF00));
        QVERIFY(dib);
        QCOMPARE(dib->hotspot, QPoint(3, 28));
        QCOMPARE(dib->image.size(), QSize(32, 32));
        QCOMPARE(dib->image.pixelColor(16, 16), QColor(Qt::green));

        // A PNG cursor's hotspot is checked where the window loads one; an icon
        // has none: the middle stands in.
        QImage picture(24, 24, QImage::Format_ARGB32);
        picture.fill(Qt::blue);
        const auto icon = decodeCursorFile(encodeCursorFile(picture, QPoint(), CursorFileType::Icon));
        QVERIFY(icon && icon->hotspot == QPoint(12, 12));
    }

    void brokenCursorFilesAreRefused()
    {
        const QByteArray good = dibCursor(32, QPoint(1, 1), 0xFFFFFFFF);
        QByteArray badOffset = good, badSize = good, wrongType = good;
        qToLittleEndian<quint32>(0xFFFFFF00u, badOffset.data() + 18);
        qToLittleEndian<quint32>(0xFFFFFFF0u, badSize.data() + 14);
        wrongType[2] = 7;   // neither icon nor cursor
        for (const QByteArray &bytes : {QByteArray(), good.left(22), badOffset, badSize, wrongType, good.left(80)})
            QVERIFY(!decodeCursorFile(bytes));
    }

    void builtPointerFilesLieBesideTheProgram()
    {
        const auto hand = readCursorFile(QStringLiteral(PICTOREEL_PROGRAM_DIR "/HAND-M.CUR"));
        QVERIFY(hand);
        QCOMPARE(hand->image.size(), QSize(32, 32));
        QCOMPARE(hand->hotspot, QPoint(11, 1));
        QVERIFY(qAlpha(hand->image.pixel(11, 3)) > 0);    // the finger is drawn at the hotspot

        const auto drag = readCursorFile(QStringLiteral(PICTOREEL_PROGRAM_DIR "/drag.ico"));
        QVERIFY(drag && drag->image.size() == QSize(32, 32));
    }
};

PICTOREEL_TEST_MAIN(TestPointer)
#include "tst_pointer.moc"
