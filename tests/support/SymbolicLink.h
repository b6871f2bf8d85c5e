// Symbolic links for tests of documents reached through one.
#pragma once

#include <string>

// Makes link a symbolic link to target, a path relative to the link's folder
// or a full one. Windows makes it itself (given the right, or in developer
// mode); Wine 8 only says it did, so there the host's ln makes it, started
// through Wine's support for Unix programs. False when neither could.
bool MakeSymbolicLink(const std::string& link, const std::string& target);

// Removes the link itself. Wine's DeleteFile would remove the file it
// leads to instead.
void RemoveSymbolicLink(const std::string& link);
