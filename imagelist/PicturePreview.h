#pragma once

// Small previews of the listed pictures, for the rows' tooltips.

#include <QImage>
#include <QObject>
#include <QString>

struct Preview {
    QImage image;      // upright, within the requested square; null when there is none
    QString problem;   // why there is none: the file is gone, or not a picture
};

// Decodes the picture at a reduced scale: a JPEG is decoded at the smallest
// fraction of its size (down to an eighth) that still covers the preview, so
// a 12-megapixel photo costs milliseconds.
Preview loadPreview(const QString &path, int side);

// Loads previews on a worker thread, so that the window never waits for a
// file; ready() follows on the loader's own thread, once per request.
class PreviewLoader : public QObject
{
    Q_OBJECT
public:
    explicit PreviewLoader(int side, QObject *parent = nullptr) : QObject(parent), m_side(side) {}

    void request(const QString &path);

signals:
    void ready(const QString &path, const Preview &preview);

private:
    int m_side;
};
