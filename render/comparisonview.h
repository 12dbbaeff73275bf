#pragma once
// "Compare Individuals": the individual view of up to ten ticked individuals side by side.

#include "render/drawcontext.h"
#include "render/drawsurface.h"
#include "render/viewpicture.h"
#include "settings/alleletable.h"

#include <string>
#include <vector>

namespace rvk {

class GenotypeData;

class ComparisonView
{
public:
    static constexpr int MaxIndividuals = 10;
    static constexpr const char *TooManyMessage = "too many individuals selected: ";
    static constexpr const char *NoneSelectedMessage = "No individuals are ticked to compare.";

    struct Layout
    {
        std::vector<int> individuals; // 1-based, in list order
        std::string message;          // when not empty: show it and draw nothing
        int width = 0;                // zoomed
        int height = 0;
        double scale = 1.0;
        bool landscape = false;
    };

    ComparisonView(const GenotypeData &data, AlleleTable &table, const DrawContext &context);

    Layout layout() const;
    void paint(DrawSurface &surface, const Layout &layout) const;
    Layout draw(DrawSurface &surface) const;

private:
    const GenotypeData &mData;
    AlleleTable &mTable;
    const DrawContext &mContext;
};

// Records the comparison of the ticked individuals. When layout.message is not empty nothing was
// drawn: the caller shows the message and keeps its current picture.
ViewPicture drawComparison(const GenotypeData &data, AlleleTable &table, const DrawContext &context,
                           ComparisonView::Layout *layout = nullptr);

} // namespace rvk
