#pragma once

#include "settings/alleletable.h"

#include <QPoint>

#include <optional>

class QWidget;

namespace rvk {

// The colour picker of the allele list: drops down at a point, captioned with the allele code,
// with "Color for " + code (the current colour), a palette, and "more colors.." for the full
// colour dialog. Nothing when the user closes it without a choice.
std::optional<Rgb> pickAlleleColour(QWidget *parent, char code, Rgb current, QPoint at);

// The hatch menu: entries "0" to "15", each with its pattern.
std::optional<int> pickHatchPattern(QWidget *parent, int current, QPoint at);

} // namespace rvk
