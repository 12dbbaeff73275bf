#pragma once

#include "selection/individualsort.h"

#include <QString>
#include <QWidget>

class QButtonGroup;
class QComboBox;
class QPushButton;
class QRadioButton;

namespace rvk {

class MainWindow;

// The controls that sort the individuals: the choices "Sort individuals", the allele list
// "choose.." for the allele-content sort and the button "Sort !". The marker tree of the data
// page tells the controls which node is chosen (setTreeNode) and starts a sort from its context
// menu (sortOnTreeNode); the trait table starts a trait sort (sortOnTrait).
//
// After a sort the selection panel of the status bar says what the order is, the window's
// individualsChanged() is emitted and the picture is redrawn if it is the page shown.
class SortControls : public QWidget
{
    Q_OBJECT

public:
    SortControls(MainWindow &window, QWidget *parent = nullptr);

    SortChoice choice() const;
    void setChoice(SortChoice choice);
    // The allele list: one item per used code; an empty list shows "choose..".
    void refreshAlleleChoices();
    QComboBox *alleleChoice() const { return mAlleleChoice; }
    // Chooses the item of code; false when the code is not in the list.
    bool chooseAllele(char code);

    // A click on a node of the marker tree: level 0 the whole genome, 1 a group, 2 a locus
    // (group and locus 0-based, -1 where they do not apply); text is the node's caption. The
    // choice that fits the node is preselected; nothing is sorted.
    void setTreeNode(int level, int group, int locus, const QString &text);
    // No node is chosen any more (the tree was rebuilt).
    void clearTreeNode();
    // The context menu of the marker tree: asks "Sort data on selected marker/group ?" and on
    // "Yes" sorts on the chosen group or locus (the whole genome keeps the current choice).
    // Does nothing when no node is chosen.
    void sortOnTreeNode();

    // "Sort !": sorts with the chosen choice. Returns whether the order was rewritten.
    bool sort();

    // The trait table's "Arrange data according to trait values": the trait choice becomes
    // "Trait " + the trait's name, is selected and sorts. Does nothing with empty keys.
    bool sortOnTrait(const TraitSortKeys &keys);

protected:
    void showEvent(QShowEvent *event) override;

private:
    SortRequest request() const;
    bool run(const SortRequest &request);

    MainWindow &mWindow;
    QButtonGroup *mChoices = nullptr;
    QRadioButton *mTraitChoice = nullptr;
    QComboBox *mAlleleChoice = nullptr;
    QPushButton *mSortButton = nullptr;

    int mNodeLevel = -1;
    int mNodeGroup = -1;
    int mNodeLocus = -1;
    QString mNodeText;
    TraitSortKeys mTraitKeys;
};

} // namespace rvk
