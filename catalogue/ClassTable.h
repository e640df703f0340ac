// The fixed catalogue of asset classes an author can start from.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace kitwright {

struct ClassRow {
    int image;                 // index of the row's picture in the class list's image list
    const char* label;         // what the class list shows; unique, the key of every look-up
    const char* templateName;  // template folder name, or kReskinTemplate
    const char* category;      // folder under World\Custom\ that receives the asset
};

// The template text shared by every repaint row.
inline constexpr const char kReskinTemplate[] = "liveryloft_reskin";

inline constexpr std::size_t kClassCount = 63;
extern const ClassRow kClassTable[kClassCount];

// Index of the row whose label equals `label` exactly, or -1.
int FindClassRow(std::string_view label);

const ClassRow& ClassRowAt(int index);
int RowImage(int index);
const char* RowLabel(int index);
const char* RowTemplate(int index);
const char* RowCategory(int index);

// The first two characters of a template row's label ("BC").
std::string ClassCode(const ClassRow& row);
// A repaint row's label without its "RESKIN " prefix ("gp38").
std::string ModelName(const ClassRow& row);
// True for repaint rows, decided on the template text alone.
bool IsReskinRow(const ClassRow& row);

}  // namespace kitwright
