// The host's side of a file under Wine: its Unix name and permissions.
#pragma once

#include <string>

// The host's name of a Windows path under Wine, or "" elsewhere.
std::string UnixName(const std::string& path);

// The file's Unix permissions in octal ("600"), "" when not under Wine or
// they could not be read.
std::string HostMode(const std::string& path);

// Sets the file's Unix permissions ("640"); false when not under Wine or it
// failed.
bool SetHostMode(const std::string& path, const std::string& mode);
