#pragma once
// Files the app ships with (the building list, the map, the terms text) and
// the deployment's replacements for them: a folder given with --resources
// (or the deployment file's "resources") whose files take the place of the
// bundled files of the same name.

#include <string>

namespace yx {

// The replacement file when the override folder has it, else the bundled
// file (which may not exist either). `fileName` is a relative name such as
// "placeList.plist" or "terms/terms_of_use.txt"; a name that could leave the
// folders ("..", an absolute path, a backslash or NUL) gives "".
std::string resourcePath(const std::string& fileName);

// The override folder ("" for none, the default).
void setResourceOverrideDirectory(std::string dir);
std::string resourceOverrideDirectory();

// Where the bundled resources live (default: the source tree's resources/).
void setBundledResourceDirectory(std::string dir);
std::string bundledResourceDirectory();

}  // namespace yx
