#pragma once

#include <string>

namespace rvk {

// Folder of the running executable, always ending in "/", so that file names are appended
// directly: programDirectory() + "example.rvk". Empty when it cannot be determined.
std::string programDirectory();

// The user's configuration folder for this program, ending in "/": $XDG_CONFIG_HOME/rvk/, or
// ~/.config/rvk/ when that variable is unset or not absolute. Not created here.
std::string userConfigDirectory();

// Where the default settings file "rvk.ini" lives: beside the program when that folder can be
// written (so a copied or unpacked program keeps its settings with it), otherwise in the user's
// configuration folder, which is created when needed. An installed program (see
// installedDataDirectory) always uses the configuration folder, even when run by a user who could
// write into its folder.
std::string defaultSettingsFilePath();
// The same choice for given folders (both ending in "/"); for tests and for callers that know
// their folders.
std::string defaultSettingsFilePath(const std::string &programFolder, const std::string &configFolder);

// The shared data folder of an installed program, "<prefix>/share/rvk/" beside "<prefix>/bin/",
// ending in "/"; empty when the program runs from a folder of its own (the build folder, an
// unpacked copy). The installation puts the manual and "whatsnew.txt" there.
std::string installedDataDirectory(const std::string &programFolder);

// The program's own document NAME ("rvkmanual.pdf", "whatsnew.txt"): beside the program, else in
// the installed data folder. Empty when neither holds it.
std::string programDocumentPath(const std::string &programFolder, const std::string &name);

} // namespace rvk
