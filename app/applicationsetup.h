#pragma once

class QApplication;

namespace rvk {

// What the program sets up before its first window: "." as the decimal point whatever the
// user's locale, the program's name, the tool tip timing.
void configureApplication(QApplication &application);

// The program's name, as message boxes show it in their title bar.
inline constexpr const char *ApplicationName = "RVK - graphical genotypes";

} // namespace rvk
