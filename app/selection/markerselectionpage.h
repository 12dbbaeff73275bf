#pragma once

#include "selection/markercriteria.h"

#include <QWidget>

#include <optional>

class QCheckBox;
class QKeyEvent;
class QPushButton;
class QTreeView;

namespace rvk {

class CriteriaListModel;
class MainWindow;
struct SelectionTexts;

// The page "Marker Selection": the criteria list, typed into with the keys of the codes, and the
// buttons "Apply" and "Clear All". The page applies the criteria; the results page shows what
// they selected.
class MarkerSelectionPage : public QWidget
{
    Q_OBJECT

public:
    // texts: the criteria and results texts and the selection panel's text, shared with the
    // results page.
    MarkerSelectionPage(MainWindow &window, SelectionTexts &texts, QWidget *parent = nullptr);
    ~MarkerSelectionPage() override;

    MarkerCriteria &criteria() { return mCriteria; }
    CriteriaListModel *model() const { return mModel; }
    QTreeView *list() const { return mList; }

    // Builds the list for the loaded data set unless it is built already.
    void buildIfNeeded();
    // Empties the list: the data set was loaded anew or closed.
    void resetList();
    // The genotypes shown in the list moved (a sort).
    void refreshRows();

    // A key typed on a row of the list; false when the row keeps its criterion.
    bool typeKey(int row, char key, unsigned modifiers);
    // The row typing acts on: the first highlighted row, -1 when none is.
    int typingRow() const;
    // The code and modifiers of a key event as the criteria take them; nothing for keys that do
    // not set a criterion (arrows, page keys ... keep moving through the list).
    static std::optional<std::pair<char, unsigned>> typedKey(const QKeyEvent &event);

    // "Apply": filtering on with the ticks set from the criteria alone, then the results page.
    void applyCriteria();
    // "Clear All": every criterion "All", filtering off, everyone selected.
    void clearAll();
    // The menu toggle "&Apply Selection Filtering".
    void toggleFiltering();
    // The page is left for newPage.
    void leave(int newPage);

signals:
    // Ticks, filtering or the texts changed.
    void selectionChanged();

private:
    void setLabelFrequency(int frequency);
    void redrawAfterChange(int newPage);

    MainWindow &mWindow;
    SelectionTexts &mTexts;
    MarkerCriteria mCriteria;
    CriteriaListModel *mModel = nullptr;
    QTreeView *mList = nullptr;
    QPushButton *mApply = nullptr;
    QPushButton *mClearAll = nullptr;
    QCheckBox *mSkipUnselected = nullptr;
};

} // namespace rvk
