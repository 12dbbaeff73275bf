#pragma once

#include "settings/alleletable.h"

#include <QPoint>
#include <QWidget>

#include <functional>
#include <optional>

class QModelIndex;
class QTableView;

namespace rvk {

class AlleleListModel;
class GeneralOptionsPanel;

// The page "Allele && General options": the allele list with its four editing gestures, the
// settings buttons and the general options.
class AllelePage : public QWidget
{
    Q_OBJECT

public:
    using ColourChooser = std::function<std::optional<Rgb>(char code, Rgb current, QPoint at)>;
    using HatchChooser = std::function<std::optional<int>(int current, QPoint at)>;

    explicit AllelePage(AlleleTable &table, QWidget *parent = nullptr);

    AlleleListModel *model() const { return mModel; }
    QTableView *list() const { return mList; }
    GeneralOptionsPanel *generalOptions() const { return mGeneralOptions; }

    // The pop-ups that a click opens; replaceable so they can be answered without a person.
    void setColourChooser(ColourChooser chooser) { mChooseColour = std::move(chooser); }
    void setHatchChooser(HatchChooser chooser) { mChooseHatch = std::move(chooser); }

    // A click on a cell: acts by the column (colour picker, legend box, hatch menu, Numval box).
    void activateCell(const QModelIndex &index, QPoint globalPosition);

signals:
    void applyRequested();
    void saveSettingsRequested();
    void loadSettingsRequested();
    void setAsDefaultRequested();

private:
    AlleleTable &mTable;
    AlleleListModel *mModel;
    QTableView *mList;
    GeneralOptionsPanel *mGeneralOptions;
    ColourChooser mChooseColour;
    HatchChooser mChooseHatch;
};

} // namespace rvk
