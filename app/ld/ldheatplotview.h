#pragma once
// The heat plot on screen at its own size, (L + 3) x block size pixels a side, however many loci
// there are: the view is as large as the plot inside its scroll area and paints only what is
// exposed, in tiles rendered when first shown and kept while they are reused.

#include "render/ldheatplot.h"

#include <QCache>
#include <QImage>
#include <QWidget>

#include <optional>

namespace rvk {

class LdHeatPlotView : public QWidget
{
public:
    explicit LdHeatPlotView(QWidget *parent = nullptr);

    // The plot to show (its input must stay valid while shown); none clears the view.
    void setPlot(std::optional<LdHeatPlotInput> input);
    bool hasPlot() const { return mInput.has_value(); }
    // The plot's pixels within area (picture coordinates), as the screen shows them.
    QImage renderArea(const QRect &area) const;
    // The whole plot as one bitmap; for small plots (tests, checks), null without a plot.
    QImage renderWhole() const;

    static constexpr int TileSide = 256;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    const QImage &tile(int column, int row) const;

    std::optional<LdHeatPlotInput> mInput;
    LdHeatPlotLayout mLayout;
    mutable QCache<quint64, QImage> mTiles;
};

} // namespace rvk
