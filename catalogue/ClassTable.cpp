#include "catalogue/ClassTable.h"

#include <cassert>
#include <cstring>

namespace kitwright {
namespace {

constexpr std::size_t kReskinPrefixLength = sizeof kReskinPrefix - 1;
constexpr std::size_t kClassCodeLength = 2;

}  // namespace

int FindClassRow(std::string_view label) {
    // Every row is visited and a later match wins, so that a label names one row however the
    // table is searched; the labels are unique (the catalogue tests hold them so), and only
    // an edited table could tell.
    int found = -1;
    for (std::size_t i = 0; i < kClassCount; ++i) {
        if (label == kClassTable[i].label) {
            found = static_cast<int>(i);
        }
    }
    return found;
}

const ClassRow& ClassRowAt(int index) {
    assert(index >= 0 && static_cast<std::size_t>(index) < kClassCount);
    return kClassTable[index];
}

int RowImage(int index) {
    return ClassRowAt(index).image;
}
const char* RowLabel(int index) {
    return ClassRowAt(index).label;
}
const char* RowTemplate(int index) {
    return ClassRowAt(index).templateName;
}
const char* RowCategory(int index) {
    return ClassRowAt(index).category;
}

std::string ClassCode(const ClassRow& row) {
    return std::string(row.label).substr(0, kClassCodeLength);
}

std::string ModelName(const ClassRow& row) {
    const std::string label = row.label;
    return label.size() > kReskinPrefixLength ? label.substr(kReskinPrefixLength) : std::string();
}

bool IsReskinRow(const ClassRow& row) {
    return std::strcmp(row.templateName, kReskinTemplate) == 0;
}

}  // namespace kitwright
