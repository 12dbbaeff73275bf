#pragma once
// What a core-subset search asks of its criterion: the value of the current subset and of the
// subsets one change away. DiversityCounter is the one the program uses; the tests put in
// evaluators of known behaviour to drive the searches down particular roads.

#include "selection/diversitycriteria.h"

namespace rvk {

class SubsetEvaluator
{
public:
    virtual ~SubsetEvaluator() = default;

    virtual void assign(const Subset &subset) = 0;
    virtual void add(int individual) = 0;
    virtual void remove(int individual) = 0;
    // out leaves and in enters; after valueSwapped(out, in) the subset takes the value returned.
    virtual void swap(int out, int in)
    {
        remove(out);
        add(in);
    }
    virtual double value() = 0;
    // The value one change away; the subset stays as it is.
    virtual double valueWith(int individual) = 0;
    virtual double valueWithout(int individual) = 0;
    virtual double valueSwapped(int out, int in) = 0;
    // Whether the value of a subset can differ between evaluations (random resolution of
    // missing codes); otherwise one evaluation stands for any number of them.
    virtual bool drawsRandomly() const { return false; }
};

} // namespace rvk
