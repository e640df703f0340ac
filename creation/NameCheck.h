// Whether a Name can be used, judged once for Create and for the hint shown while typing.
#pragma once

#include <string>

#include "catalogue/ClassTable.h"
#include "creation/Platform.h"

namespace kitwright {

// The category's folder below the install root, ending in a backslash.
std::string DestinationFolder(const std::string& installRoot, const ClassRow& row);

// Why Create would refuse `name` (`bytes` in the code page) below `destination`, in the
// words Create uses but without "Nothing was created"; empty when it may go ahead. The
// library's name rules first, then what the disk holds: another name of an existing
// folder, the path's length, an asset already there.
std::wstring NameProblem(Platform& platform, const std::string& destination,
                         const std::wstring& name, const std::string& bytes);

// The same for a Name as it is being typed, for the selected class: the code page first.
// Empty for an empty Name and wherever the problem is not the Name's (no Railvane).
std::wstring TypedNameProblem(Platform& platform, const ClassRow& row, const std::wstring& name);

}  // namespace kitwright
