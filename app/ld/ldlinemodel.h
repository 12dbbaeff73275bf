#pragma once

#include <QAbstractListModel>

#include <functional>
#include <string>

namespace rvk {

// A list of text lines written when shown: the pairwise list and the log of the LD page, which
// can run to millions of lines.
class LdLineModel : public QAbstractListModel
{
public:
    using LineCount = std::function<long long()>;
    using Line = std::function<std::string(long long)>;

    explicit LdLineModel(QObject *parent = nullptr) : QAbstractListModel(parent) {}

    // Shows the lines of a new source (no source: the fixed text, one line per entry).
    void setSource(LineCount count, Line line);
    void setFixedLines(QStringList lines);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role) const override;
    // Line k as the model shows it.
    QString lineText(int row) const;

private:
    LineCount mCount;
    Line mLine;
    QStringList mFixed;
};

} // namespace rvk
