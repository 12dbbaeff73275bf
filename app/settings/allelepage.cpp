#include "app/settings/allelepage.h"

#include "app/settings/allelelistmodel.h"
#include "app/settings/colourpicker.h"
#include "app/settings/generaloptionspanel.h"

#include <QCursor>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace rvk {

AllelePage::AllelePage(AlleleTable &table, QWidget *parent)
    : QWidget(parent),
      mTable(table),
      mModel(new AlleleListModel(table, this)),
      mList(new QTableView),
      mGeneralOptions(new GeneralOptionsPanel)
{
    setObjectName(QStringLiteral("AllelePage"));
    mChooseColour = [this](char code, Rgb current, QPoint at) { return pickAlleleColour(this, code, current, at); };
    mChooseHatch = [this](int current, QPoint at) { return pickHatchPattern(this, current, at); };

    mList->setObjectName(QStringLiteral("AlleleList"));
    mList->setModel(mModel);
    mList->setFont(QFont(QStringLiteral("Tahoma"), 10));
    mList->setSelectionBehavior(QAbstractItemView::SelectRows);
    mList->setSelectionMode(QAbstractItemView::SingleSelection);
    mList->setEditTriggers(QAbstractItemView::NoEditTriggers);
    mList->verticalHeader()->hide();
    mList->verticalHeader()->setDefaultSectionSize(20);
    mList->setColumnWidth(AlleleListModel::ColourColumn, 35);
    mList->setColumnWidth(AlleleListModel::CodeColumn, 45);
    mList->setColumnWidth(AlleleListModel::LegendColumn, 100);
    mList->setColumnWidth(AlleleListModel::NumvalColumn, 55);
    connect(mList, &QTableView::clicked, this, [this](const QModelIndex &index) { activateCell(index, QCursor::pos()); });

    auto *apply = new QPushButton(QStringLiteral("Apply"));
    apply->setObjectName(QStringLiteral("ApplyButton"));
    connect(apply, &QPushButton::clicked, this, &AllelePage::applyRequested);

    auto *files = new QGroupBox(QStringLiteral("Settings Load && Save"));
    auto *filesLayout = new QHBoxLayout(files);
    const struct
    {
        const char *caption;
        void (AllelePage::*signal)();
    } buttons[] = {{"Save Settings..", &AllelePage::saveSettingsRequested},
                   {"Load Settings..", &AllelePage::loadSettingsRequested},
                   {"Set as Default", &AllelePage::setAsDefaultRequested}};
    for (const auto &button : buttons) {
        auto *push = new QPushButton(QString::fromLatin1(button.caption));
        connect(push, &QPushButton::clicked, this, button.signal);
        filesLayout->addWidget(push);
    }

    auto *left = new QVBoxLayout;
    left->addWidget(mList, 1);
    left->addWidget(apply, 0, Qt::AlignLeft);
    left->addWidget(files);
    auto *layout = new QHBoxLayout(this);
    layout->addLayout(left, 1);
    layout->addWidget(mGeneralOptions, 1);
}

void AllelePage::activateCell(const QModelIndex &index, QPoint globalPosition)
{
    if (!index.isValid())
        return;
    const int row = index.row();
    mList->setCurrentIndex(index);
    switch (index.column()) {
    case AlleleListModel::ColourColumn:
        if (const auto colour = mChooseColour(AlleleTable::codeOf(row), mTable.entry(row).Color, globalPosition))
            mModel->setColour(row, *colour);
        break;
    case AlleleListModel::CodeColumn:
    case AlleleListModel::LegendColumn:
        mList->edit(mModel->index(row, AlleleListModel::LegendColumn));
        break;
    case AlleleListModel::HatchColumn:
        if (const auto pattern = mChooseHatch(mTable.entry(row).Hatch, globalPosition))
            mModel->setHatch(row, *pattern);
        break;
    case AlleleListModel::NumvalColumn:
        mList->edit(mModel->index(row, AlleleListModel::NumvalColumn));
        break;
    default:
        break;
    }
}

} // namespace rvk
