#include "app/files/mergerwindow.h"

#include "app/mainwindow.h"

#include <QAbstractListModel>
#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListView>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace rvk {

namespace {

// The check list "Marker names && positions ": the merger's entries, ticked once merged. Maps
// hold thousands of markers, so the list reads the entries instead of copying them into items.
class MapEntryModel : public QAbstractListModel
{
public:
    MapEntryModel(const LocusMapMerger &merger, QObject *parent) : QAbstractListModel(parent), mMerger(merger) {}

    int rowCount(const QModelIndex &parent = {}) const override
    {
        return parent.isValid() ? 0 : static_cast<int>(mMerger.entries().size());
    }
    QVariant data(const QModelIndex &index, int role) const override
    {
        if (!index.isValid() || index.row() >= rowCount())
            return {};
        const LocusMapMerger::MapEntry &entry = mMerger.entries()[static_cast<size_t>(index.row())];
        if (role == Qt::DisplayRole)
            return QString::fromStdString(entry.text);
        if (role == Qt::CheckStateRole)
            return entry.merged ? Qt::Checked : Qt::Unchecked;
        return {};
    }
    Qt::ItemFlags flags(const QModelIndex &index) const override
    {
        return index.isValid() ? Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemNeverHasChildren : Qt::NoItemFlags;
    }
    void reload()
    {
        beginResetModel();
        endResetModel();
    }

private:
    const LocusMapMerger &mMerger;
};

QPlainTextEdit *readOnlyText()
{
    auto *edit = new QPlainTextEdit;
    edit->setReadOnly(true);
    edit->setLineWrapMode(QPlainTextEdit::NoWrap);
    return edit;
}

} // namespace

MergerWindow::MergerWindow(MainWindow &window)
    : QDialog(&window),
      mWindow(window),
      mMerger(window.userInterface()),
      mRunModal([](QDialog &dialog) { dialog.exec(); })
{
    setObjectName(QStringLiteral("MergerWindow"));
    setWindowTitle(QStringLiteral("Build RVK file "));
    resize(820, 560);

    auto *entries = new QGroupBox(QStringLiteral("Marker names && positions "));
    auto *entriesLayout = new QVBoxLayout(entries);
    auto *model = new MapEntryModel(mMerger, this);
    mEntryModel = model;
    mEntryList = new QListView;
    mEntryList->setObjectName(QStringLiteral("MarkerList"));
    mEntryList->setModel(model);
    mEntryList->setUniformItemSizes(true);
    entriesLayout->addWidget(mEntryList);

    mPages = new QTabWidget;
    mUnmodified = readOnlyText();
    mModified = readOnlyText();
    auto *help = readOnlyText();
    help->setPlainText(QString::fromStdString(LocusMapMerger::helpText()));
    mPages->addTab(mUnmodified, QStringLiteral("unmodified"));
    mPages->addTab(mModified, QStringLiteral("modified"));
    mPages->addTab(help, QStringLiteral("help"));

    auto *top = new QHBoxLayout;
    top->addWidget(entries, 1);
    top->addWidget(mPages, 2);

    mSeparateFiles = new QCheckBox(QStringLiteral("Create a separate file for every group/chromosome"));
    mLoadMapsButton = new QPushButton(QStringLiteral("Load marker maps"));
    mLoadLocusButton = new QPushButton(QStringLiteral("Load Locus data"));
    mMergeButton = new QPushButton(QStringLiteral("Merge data"));
    auto *resetButton = new QPushButton(QStringLiteral("Reset"));
    auto *closeButton = new QPushButton(QStringLiteral("Close"));
    auto *cancelButton = new QPushButton(QStringLiteral("Cancel"));
    connect(mLoadMapsButton, &QPushButton::clicked, this, &MergerWindow::loadMarkerMaps);
    connect(mLoadLocusButton, &QPushButton::clicked, this, &MergerWindow::loadLocusData);
    connect(mMergeButton, &QPushButton::clicked, this, &MergerWindow::mergeData);
    connect(resetButton, &QPushButton::clicked, this, &MergerWindow::resetMerger);
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *button : {mLoadMapsButton, mLoadLocusButton, mMergeButton, resetButton})
        buttons->addWidget(button);
    buttons->addStretch();
    buttons->addWidget(closeButton);
    buttons->addWidget(cancelButton);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(top, 1);
    layout->addWidget(mSeparateFiles);
    layout->addLayout(buttons);
    refresh();
}

MergerWindow::~MergerWindow() = default;

void MergerWindow::BuildRvkFile()
{
    mMergedThisVisit = false;
    mRunModal(*this);
    // A merge of an earlier showing was opened then; only this showing's result is new.
    if (mMergedThisVisit && !mMerger.writtenPath().empty())
        mWindow.openDataFiles({QString::fromStdString(mMerger.writtenPath())});
}

void MergerWindow::loadMarkerMaps()
{
    mMerger.LoadMarkerMaps();
    refresh();
}

void MergerWindow::loadLocusData()
{
    if (!mMerger.canLoadLocusData())
        return;
    mMerger.LoadLocusData();
    refresh();
}

void MergerWindow::mergeData()
{
    if (!mMerger.canMerge())
        return;
    if (!mMerger.MergeData(separateFiles()).empty())
        mMergedThisVisit = true;
    refresh();
    if (mMergedThisVisit)
        mPages->setCurrentWidget(mModified);
}

void MergerWindow::resetMerger()
{
    mMerger.reset();
    refresh();
    mPages->setCurrentIndex(0);
}

bool MergerWindow::separateFiles() const { return mSeparateFiles->isChecked(); }

void MergerWindow::setSeparateFiles(bool on) { mSeparateFiles->setChecked(on); }

QString MergerWindow::unmodifiedText() const { return mUnmodified->toPlainText(); }

QString MergerWindow::modifiedText() const { return mModified->toPlainText(); }

int MergerWindow::entryCount() const { return mEntryModel->rowCount(); }

void MergerWindow::refresh()
{
    static_cast<MapEntryModel *>(mEntryModel)->reload();
    mUnmodified->setPlainText(mMerger.canMerge() ? QString::fromStdString(mMerger.unmodifiedText()) : QString());
    mModified->setPlainText(QString::fromStdString(mMerger.modifiedText()));
    mLoadLocusButton->setEnabled(mMerger.canLoadLocusData());
    mMergeButton->setEnabled(mMerger.canMerge());
}

} // namespace rvk
