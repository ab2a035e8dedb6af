#include "PicturePreview.h"

#include <QFileInfo>
#include <QFutureWatcher>
#include <QImageReader>
#include <QPromise>
#include <QThreadPool>

#include <memory>

Preview loadPreview(const QString &path, int side)
{
    if (!QFileInfo(path).isFile())
        return {{}, QObject::tr("This file is gone.")};
    QImageReader reader(path);
    reader.setAutoTransform(true);   // upright, as the slide show shows it
    const QSize stored = reader.size();
    // Within a square, so a picture turned a quarter by its orientation fits too.
    if (stored.isValid() && (stored.width() > side || stored.height() > side))
        reader.setScaledSize(stored.scaled(side, side, Qt::KeepAspectRatio));
    const QImage image = reader.read();
    if (image.isNull())
        return {{}, QObject::tr("This file is not a picture.")};
    return {image, {}};
}

void PreviewLoader::request(const QString &path)
{
    auto promise = std::make_shared<QPromise<Preview>>();
    auto *watcher = new QFutureWatcher<Preview>(this);
    connect(watcher, &QFutureWatcherBase::finished, this, [this, watcher, path] {
        emit ready(path, watcher->result());
        watcher->deleteLater();
    });
    watcher->setFuture(promise->future());
    // The worker holds only its own copies: a loader destroyed meanwhile
    // takes its watcher along, and the result is dropped.
    QThreadPool::globalInstance()->start([promise, path, side = m_side] {
        promise->start();
        promise->addResult(loadPreview(path, side));
        promise->finish();
    });
}
