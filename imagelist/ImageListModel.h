#pragma once

#include <QAbstractListModel>
#include <QSet>
#include <QStringList>

// The image list: the ordered full paths of the pictures to convert. Its order
// is the frame order of the slide show. Duplicates are allowed; it is never
// sorted and never saved. Rows move as rows (moveRows), so selections,
// persistent indexes and screen readers follow a moved picture.
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
    bool moveRows(const QModelIndex &sourceParent, int sourceRow, int count,
                  const QModelIndex &destinationParent, int destinationChild) override;

    void append(const QString &path);
    // One insertion for the whole batch: 100,000 paths cost milliseconds.
    void append(const QStringList &paths);
    // The pictures at rows a and b change places; the rows between stay.
    void exchange(int a, int b);
    void remove(int row);
    // Removes every row that holds one of these paths; returns how many.
    int removePaths(const QSet<QString> &paths);
    int count() const { return int(m_paths.size()); }
    QString path(int row) const { return m_paths.at(row); }
    const QStringList &paths() const { return m_paths; }

private:
    QStringList m_paths;
};
