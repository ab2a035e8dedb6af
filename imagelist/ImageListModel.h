#pragma once

#include <QAbstractListModel>
#include <QStringList>

// The image list: the ordered full paths of the pictures to convert. Its order
// is the frame order of the slide show. Duplicates are allowed; it is never
// sorted and never saved.
class ImageListModel : public QAbstractListModel
{
    Q_OBJECT
public:
    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;
    QVariant headerData(int section, Qt::Orientation orientation,
                        int role = Qt::DisplayRole) const override;
    Qt::ItemFlags flags(const QModelIndex &index) const override;

    void append(const QString &path);
    // One insertion for the whole batch: 100,000 paths cost milliseconds.
    void append(const QStringList &paths);
    void setText(int row, const QString &text);
    void remove(int row);
    int count() const { return int(m_paths.size()); }
    // Rows are 0-based here; the window code converts from 1-based positions.
    QString text(int row) const { return m_paths.at(row); }
    const QStringList &paths() const { return m_paths; }

private:
    QStringList m_paths;
};
