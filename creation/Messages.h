// What Create tells the author. Names and paths are quoted shortened in their middle, and a
// reason is wrapped, never cut, so that every box fits a small screen.
#pragma once

#include <string>

#include "catalogue/ClassTable.h"
#include "creation/Platform.h"

namespace kitwright::messages {

inline constexpr wchar_t kNothingCreated[] = L" Nothing was created.";
// The tool's words for its own fault, a class list that the catalogue does not know, which
// authors who report it quote as they are.
inline constexpr wchar_t kNoClass[] = L"Fatal Error!\n\nCould not find internal class!";

// The name rules' own words for an asset already there, which the library uses too.
std::wstring AssetExists();

// An 8-bit path or name of the code page, shortened to fit a message line.
std::wstring Quoted(Platform& platform, const std::string& text);

std::wstring ErrorAdding(Platform& platform, const std::string& source, const std::string& error);

// The refusals, said without "Nothing was created", which Create adds.
std::wstring HostNotFound(Platform& platform, const std::string& installRoot);
std::wstring StockModel(Platform& platform, const std::string& missing);
std::wstring PathTooLong(Platform& platform, const std::string& path);
std::wstring NameRefused(const std::wstring& name, const std::wstring& reason);
std::wstring Alias(Platform& platform, const std::wstring& name, const std::string& folder,
                   const std::string& stored);
std::wstring NameUnstorable(Platform& platform, const std::wstring& name,
                            const std::wstring& character);
std::wstring DescriptionUnstorable(Platform& platform, const std::wstring& character);

// What Create would make of a Name it accepts: the asset's folder and what it is built from.
std::wstring WouldCreate(Platform& platform, const std::string& assetFolder, const ClassRow& row);

// A written asset, and what the library says the author should know of it.
std::wstring WrittenWithNote(Platform& platform, const std::string& assetFolder,
                             const std::string& note);

// A write-out that left a folder without config.txt.
std::wstring NotComplete(Platform& platform, const std::string& assetFolder,
                         const std::string& destination, const std::string& reason);
// A write-out that left nothing at all; `destination` is the category's folder.
std::wstring NothingWritten(Platform& platform, const std::string& assetFolder,
                            const std::string& destination, const std::string& reason);

}  // namespace kitwright::messages
