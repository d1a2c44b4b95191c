#pragma once
// Where a project finds the Touchstone file it was designed from. A file in
// the project's folder or below it is stored relative to that folder, so the
// two moved or copied together still find each other; any other file by its
// absolute path. A relative path read back is taken from the project's folder.
#include <string>

// The text to store for `filePath` in the project saved at `projectPath`.
std::string StoredLinkedPath(const std::string& projectPath, const std::string& filePath);
// The file a stored text names, for the project read from `projectPath`.
std::string ResolvedLinkedPath(const std::string& projectPath, const std::string& stored);
