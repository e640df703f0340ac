// Prints the catalogue, a row a line in list order: label, template, category and, for a
// repaint row, the stock model, separated by tabs. The demo reads it to find the classes'
// places in the list and the stock models that a sandbox Livery Loft needs.
#include <cstdio>
#include <string>

#include "catalogue/ClassTable.h"

int main() {
    for (const kitwright::ClassRow& row : kitwright::kClassTable) {
        const std::string model = kitwright::IsReskinRow(row) ? kitwright::ModelName(row) : "";
        std::printf("%s\t%s\t%s\t%s\n", row.label, row.templateName, row.category, model.c_str());
    }
    return 0;
}
