#pragma once
// Where the tree buttons write "NJtree.nwk" and "UPGMAtree.nwk": beside the program when its
// folder can be written (a copied or unpacked program keeps its trees with it), otherwise in
// the user's data folder, as the default settings file is placed. An installed program's folder
// is read-only, and a tree written there would be lost.

#include "genetics/treebuilder.h"

#include <string>

namespace rvk {

// $XDG_DATA_HOME/rvk/, or ~/.local/share/rvk/; ending in "/". Not created here.
std::string userDataDirectory();

// The path for the method's tree file given both folders (each ending in "/"); the data folder
// is created when it is the one chosen.
std::string treeFilePath(TreeMethod method, const std::string &programFolder, const std::string &dataFolder);

} // namespace rvk
