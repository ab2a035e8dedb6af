#include "ImageListModel.h"

int ImageListModel::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : int(m_paths.size());
}

QVariant ImageListModel::data(const QModelIndex &index, int role) const
{
    if (!checkIndex(index, CheckIndexOption::IndexIsValid | CheckIndexOption::ParentIsInvalid))
        return {};
    if (role == Qt::DisplayRole)
        return m_paths.at(index.row());
    return {};
}

QVariant ImageListModel::headerData(int section, Qt::Orientation orientation, int role) const
{
    if (section == 0 && orientation == Qt::Horizontal && role == Qt::DisplayRole)
        return tr("JPG File(s)");
    return {};
}

Qt::ItemFlags ImageListModel::flags(const QModelIndex &index) const
{
    if (!index.isValid())
        return Qt::NoItemFlags;
    // Selectable, never editable: a double-click removes a row instead.
    return Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren;
}

void ImageListModel::append(const QString &path)
{
    append(QStringList{path});
}

void ImageListModel::append(const QStringList &paths)
{
    if (paths.isEmpty())
        return;
    const int first = int(m_paths.size());
    beginInsertRows({}, first, first + int(paths.size()) - 1);
    m_paths.append(paths);
    endInsertRows();
}

bool ImageListModel::moveRows(const QModelIndex &sourceParent, int sourceRow, int count,
                              const QModelIndex &destinationParent, int destinationChild)
{
    if (sourceParent.isValid() || destinationParent.isValid() || count <= 0 || sourceRow < 0
        || sourceRow + count > m_paths.size() || destinationChild < 0 || destinationChild > m_paths.size()
        || !beginMoveRows({}, sourceRow, sourceRow + count - 1, {}, destinationChild))
        return false;   // a move onto itself is refused by beginMoveRows, and is no move
    const QStringList moving = m_paths.mid(sourceRow, count);
    m_paths.remove(sourceRow, count);
    const int to = destinationChild > sourceRow ? destinationChild - count : destinationChild;
    for (int i = 0; i < count; ++i)
        m_paths.insert(to + i, moving[i]);
    endMoveRows();
    return true;
}

void ImageListModel::exchange(int a, int b)
{
    if (a == b)
        return;
    const int upper = qMin(a, b), lower = qMax(a, b);
    moveRow({}, upper, {}, lower + 1);   // the upper picture goes down; the lower one is now a row higher
    if (lower - 1 > upper)
        moveRow({}, lower - 1, {}, upper);
}

void ImageListModel::remove(int row)
{
    beginRemoveRows({}, row, row);
    m_paths.removeAt(row);
    endRemoveRows();
}

int ImageListModel::removePaths(const QSet<QString> &paths)
{
    // From the bottom up, one removal per run of neighbouring rows.
    int removed = 0;
    for (int last = count() - 1; last >= 0; --last) {
        if (!paths.contains(m_paths.at(last)))
            continue;
        int first = last;
        while (first > 0 && paths.contains(m_paths.at(first - 1)))
            --first;
        beginRemoveRows({}, first, last);
        m_paths.remove(first, last - first + 1);
        endRemoveRows();
        removed += last - first + 1;
        last = first;
    }
    return removed;
}
