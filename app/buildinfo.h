#pragma once

#include <QString>

namespace rvk {

// The program's name as the splash window and the About box show it.
QString programTitle();
// When the program was built: the modification time of the program file, as
// "yyyy-mm-dd hh:mm:ss" (empty when the file cannot be found).
QString buildDateTimeText();

} // namespace rvk
