#pragma once

// Telling a link from the thing itself where the attributes do not: wine lists a symbolic link to
// a file as a plain file, and deletes or truncates its target through it. The system's answer to
// "where does this name really lead" (GetFinalPathNameByHandleA, looked up at run time: the
// Windows 95 family lacks it, and has no links either) settles it.

#include <string>

namespace platform {

// True when `path` is a link: what it leads to is not its own folder's entry of that name; and
// when the name exists yet where it, or its folder, leads cannot be read (a target whose real
// path is too long for the call, say), since such a name cannot be trusted to be itself. False
// for anything that is itself (a file or folder, also inside a linked folder), for names that do
// not exist, and where the system has no such call.
bool LeadsElsewhere(const std::string& path);

}  // namespace platform
