#include "app/selection/sortcontrols.h"

#include "app/mainwindow.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace rvk {

namespace {

QString toQt(const std::string &text) { return QString::fromStdString(text); }

// "&" in a caption made from data (a trait name) must show as it is.
QString literalCaption(const std::string &text) { return toQt(text).replace(QLatin1Char('&'), QStringLiteral("&&")); }

constexpr int ChoiceCount = 7;

} // namespace

SortControls::SortControls(MainWindow &window, QWidget *parent)
    : QWidget(parent),
      mWindow(window)
{
    setObjectName(QStringLiteral("SortControls"));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);

    auto *group = new QGroupBox(QStringLiteral("Sort individuals"));
    group->setObjectName(QStringLiteral("Sortgrp"));
    auto *choices = new QVBoxLayout(group);
    mChoices = new QButtonGroup(this);
    for (int i = 0; i < ChoiceCount; ++i) {
        const auto choice = static_cast<SortChoice>(i);
        auto *button = new QRadioButton(literalCaption(IndividualSort::choiceCaption(choice)));
        mChoices->addButton(button, i);
        if (choice == SortChoice::AlleleContent) {
            // The allele list stands beside its choice.
            auto *row = new QHBoxLayout;
            row->addWidget(button);
            mAlleleChoice = new QComboBox;
            mAlleleChoice->setObjectName(QStringLiteral("sortallelechoice"));
            mAlleleChoice->setPlaceholderText(QStringLiteral("choose.."));
            mAlleleChoice->setSizeAdjustPolicy(QComboBox::AdjustToContents);
            row->addWidget(mAlleleChoice);
            row->addStretch();
            choices->addLayout(row);
        } else {
            choices->addWidget(button);
        }
        if (choice == SortChoice::Trait) {
            // Present from the start, usable once the trait table hands over its keys.
            mTraitChoice = button;
            button->setText(QStringLiteral("Trait "));
            button->setEnabled(false);
        }
    }
    mChoices->button(0)->setChecked(true);
    layout->addWidget(group);

    mSortButton = new QPushButton(QStringLiteral("Sort !"));
    mSortButton->setObjectName(QStringLiteral("sortbtn"));
    connect(mSortButton, &QPushButton::clicked, this, [this] { sort(); });
    layout->addWidget(mSortButton);
    layout->addStretch();

    refreshAlleleChoices();
    connect(&mWindow, &MainWindow::dataSetLoaded, this, [this] {
        clearTreeNode();
        refreshAlleleChoices();
    });
    connect(&mWindow, &MainWindow::dataSetClosed, this, [this] {
        clearTreeNode();
        refreshAlleleChoices();
    });
}

SortChoice SortControls::choice() const
{
    const int id = mChoices->checkedId();
    return id < 0 ? SortChoice::NoSort : static_cast<SortChoice>(id);
}

void SortControls::setChoice(SortChoice choice)
{
    if (QAbstractButton *button = mChoices->button(static_cast<int>(choice)); button && button->isEnabled())
        button->setChecked(true);
}

void SortControls::refreshAlleleChoices()
{
    const QString current = mAlleleChoice->currentText();
    mAlleleChoice->clear();
    const AlleleTable &table = mWindow.alleles();
    for (int i = 0; i < AlleleTable::Size; ++i)
        if (table.entry(i).Used)
            mAlleleChoice->addItem(toQt(IndividualSort::alleleItem(table, AlleleTable::codeOf(i))));
    // A legend edited meanwhile changes the item's text, not its code.
    int keep = -1;
    for (int i = 0; !current.isEmpty() && i < mAlleleChoice->count() && keep < 0; ++i)
        if (mAlleleChoice->itemText(i).at(0) == current.at(0))
            keep = i;
    mAlleleChoice->setCurrentIndex(keep);
}

bool SortControls::chooseAllele(char code)
{
    for (int i = 0; i < mAlleleChoice->count(); ++i) {
        if (mAlleleChoice->itemText(i).at(0) == QLatin1Char(code)) {
            mAlleleChoice->setCurrentIndex(i);
            return true;
        }
    }
    return false;
}

void SortControls::setTreeNode(int level, int group, int locus, const QString &text)
{
    mNodeLevel = level;
    mNodeGroup = group;
    mNodeLocus = locus;
    mNodeText = text;
    setChoice(IndividualSort::choiceForTreeLevel(level));
}

void SortControls::clearTreeNode()
{
    mNodeLevel = -1;
    mNodeGroup = -1;
    mNodeLocus = -1;
    mNodeText.clear();
}

void SortControls::sortOnTreeNode()
{
    if (mNodeLevel < 0)
        return;
    if (!mWindow.userInterface().confirm(IndividualSort::ConfirmTreeSort))
        return;
    if (mNodeLevel == 1)
        setChoice(SortChoice::SelectedGroup);
    else if (mNodeLevel == 2)
        setChoice(SortChoice::SelectedMarker);
    sort();
}

SortRequest SortControls::request() const
{
    const std::string node = mNodeText.toStdString();
    switch (choice()) {
    case SortChoice::NoSort:
        return SortRequest::undo();
    case SortChoice::AllMarkers:
        return SortRequest::allMarkers();
    case SortChoice::SelectedMarker:
        // Only a locus node names a marker; anything else lets the sort ask for one.
        return mNodeLevel == 2 ? SortRequest::marker(mNodeGroup, mNodeLocus, node) : SortRequest::marker(-1, -1);
    case SortChoice::SelectedGroup:
        return mNodeLevel == 1 ? SortRequest::wholeGroup(mNodeGroup, node) : SortRequest::wholeGroup(-1);
    case SortChoice::Alias:
        return SortRequest::alias();
    case SortChoice::AlleleContent:
        return SortRequest::alleleContent(mAlleleChoice->currentIndex() < 0
                                              ? std::string()
                                              : mAlleleChoice->currentText().toStdString());
    case SortChoice::Trait:
        return SortRequest::trait(&mTraitKeys);
    }
    return SortRequest::undo();
}

bool SortControls::sort() { return run(request()); }

bool SortControls::sortOnTrait(const TraitSortKeys &keys)
{
    if (keys.empty())
        return false;
    mTraitKeys = keys;
    mTraitChoice->setText(literalCaption(IndividualSort::choiceCaption(SortChoice::Trait, mTraitKeys.name())));
    mTraitChoice->setEnabled(true);
    mTraitChoice->setChecked(true);
    return run(SortRequest::trait(&mTraitKeys));
}

bool SortControls::run(const SortRequest &request)
{
    const SortOutcome outcome = IndividualSort::sortIndividuals(mWindow.data(), request, mWindow.userInterface());
    if (!outcome.statusText.empty())
        mWindow.setStatusText(2, toQt(outcome.statusText));
    if (outcome.sorted) {
        emit mWindow.individualsChanged();
        mWindow.redrawIfShown();
    }
    return outcome.sorted;
}

void SortControls::showEvent(QShowEvent *event)
{
    // Loading settings or editing the allele table may have changed the used codes.
    refreshAlleleChoices();
    QWidget::showEvent(event);
}

} // namespace rvk
