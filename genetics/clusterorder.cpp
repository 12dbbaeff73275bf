#include "genetics/clusterorder.h"

namespace rvk {

namespace {

std::optional<ClusterOrder> &lastOrder()
{
    static std::optional<ClusterOrder> order;
    return order;
}

} // namespace

ClusterOrder clusterOrderOfNewick(std::string_view newick)
{
    ClusterOrder order;
    size_t start = 0;
    while (start <= newick.size()) {
        size_t comma = newick.find(',', start);
        if (comma == std::string_view::npos)
            comma = newick.size();
        std::string_view piece = newick.substr(start, comma - start);
        piece = piece.substr(0, piece.find(':'));
        std::string label;
        for (const char c : piece)
            if (c != '(' && c != ')')
                label += c;
        if (const size_t arrow = label.find('>'); arrow != std::string::npos)
            label.erase(0, arrow + 1);
        order.labels.push_back(std::move(label));
        start = comma + 1;
    }
    return order;
}

const std::optional<ClusterOrder> &lastClusterOrder() { return lastOrder(); }

void setLastClusterOrder(ClusterOrder order) { lastOrder() = std::move(order); }

} // namespace rvk
