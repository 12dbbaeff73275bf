#include "render/comparisonview.h"

#include "core/genotypedata.h"
#include "render/picturerecorder.h"
#include "core/textformat.h"
#include "render/individualview.h"

#include <algorithm>

namespace rvk {

namespace {

int roundInt(double value) { return static_cast<int>(roundHalfEven(value)); }

} // namespace

ComparisonView::ComparisonView(const GenotypeData &data, AlleleTable &table, const DrawContext &context)
    : mData(data)
    , mTable(table)
    , mContext(context)
{
}

ComparisonView::Layout ComparisonView::layout() const
{
    Layout layout;
    for (size_t i = 0; i < mData.Ticked.size() && static_cast<int>(i) < mData.nind; ++i)
        if (mData.Ticked[i])
            layout.individuals.push_back(static_cast<int>(i) + 1);
    const int count = static_cast<int>(layout.individuals.size());
    if (count > MaxIndividuals) {
        layout.message = TooManyMessage + formatText("%d", {count});
        return layout;
    }
    if (count == 0 || mData.GroupCount() == 0) {
        layout.message = NoneSelectedMessage;
        return layout;
    }
    const DrawingOptions &o = mContext.options;
    const double z = mContext.zoom;
    const int a = (o.drawmarkers || o.drawpos) ? 15 : 5;
    const int A = mContext.visibleHeight;
    int unit = o.markspace + mData.GroupCount() * (o.barwidth + a * o.space);
    if (unit < 150)
        unit = 150;
    const int lengthAt100 = roundInt(A * o.Lenmul / 2.0);
    const int width = unit * count;
    const int height = o.topmargin + lengthAt100;
    layout.landscape = height < width;
    layout.width = roundInt(width * z);
    layout.height = roundInt(height * z);
    // Like the single individual, a map without positive positions keeps the scale at 1.
    const double longest = IndividualView::longestGroup(mData);
    layout.scale = longest > 0 ? lengthAt100 * 0.9 / longest : 1.0;
    return layout;
}

void ComparisonView::paint(DrawSurface &surface, const Layout &layout) const
{
    if (!layout.message.empty() || layout.individuals.empty())
        return;
    const IndividualView view(mData, mTable, mContext);
    const int count = static_cast<int>(layout.individuals.size());
    for (int k = 0; k < count; ++k)
        view.paintIndividual(surface, layout.individuals[static_cast<size_t>(k)], layout.height, layout.width, layout.scale,
                             k * (layout.width / count));
}

ComparisonView::Layout ComparisonView::draw(DrawSurface &surface) const
{
    const Layout result = layout();
    paint(surface, result);
    return result;
}

ViewPicture drawComparison(const GenotypeData &data, AlleleTable &table, const DrawContext &context,
                           ComparisonView::Layout *layout)
{
    return recordView(ComparisonView(data, table, context), layout);
}

} // namespace rvk
