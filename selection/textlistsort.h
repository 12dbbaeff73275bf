#pragma once
// The order in which the program lists texts: ascending and without regard to letter case. Used
// by the sort of individuals and by the summaries that list names.

#include <string>
#include <string_view>
#include <vector>

namespace rvk {

// The place of a character in the order: blanks and other symbols come before digits, digits
// before letters, and a letter sorts with its other case. Because symbols sort low, a key ending
// in "{" ("ab{") comes before the longer keys it begins ("abc{"). The order is the same on every
// platform and in every locale.
unsigned char collationWeight(char c);

// Negative, zero or positive as a sorts before, with or after b. A text sorts before every
// longer text it begins.
int compareTextKeys(std::string_view a, std::string_view b);
inline bool textKeyLess(std::string_view a, std::string_view b) { return compareTextKeys(a, b) < 0; }

// Sorts a list of texts ascending, ignoring letter case. Texts that differ only in case may come
// out in either order.
void sortTextList(std::vector<std::string> &texts);

} // namespace rvk
