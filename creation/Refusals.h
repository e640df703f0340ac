// Every reason for which Create refuses and keeps the dialog open for the author to put right,
// as one table of rules walked in order: each rule once, with its check and its message.
// Create walks them at three moments, and the hint on the Name field walks the Name's own as
// the author types. CreateAsset keeps two stops of another kind: a missing creator identifier
// opens Nameplate and says nothing, and a class the catalogue does not know is the program's
// own fault and ends the run.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "catalogue/ClassTable.h"
#include "creation/Platform.h"

namespace kitwright {

// What a Create would make, as far as it is known when a rule is asked.
struct Proposal {
    Proposal(Platform& system, std::wstring name, std::wstring description)
        : platform(system), typedName(std::move(name)), typedDescription(std::move(description)) {}

    Platform& platform;
    std::wstring typedName;
    std::wstring typedDescription;
    const ClassRow* row = nullptr;
    std::string name;         // the typed Name in the code page, once it converts exactly
    std::string description;  // the same for the Description
    std::string installRoot;
    std::string destination;  // the category's folder, ending in a backslash
    std::string assetFolder;  // destination + name
    std::string skinFolder;   // a repaint's stock model, once its rule has found it
};

// The moments of a Create at which rules are asked, in the order in which they come.
enum class Moment {
    kBeforePackage,  // on the typed text alone, before the library is called
    kBeforeWrite,    // once the place is known, before anything is stored
    kBeforeSource,   // for a repaint, before the stock model is added
};

// What the author has to change when a rule refuses.
enum class Subject { kName, kDescription, kPlace, kStockModel };

// The first refusal at `moment`, or one with an empty message.
struct Refusal {
    Subject subject = Subject::kName;
    std::wstring message;  // as Create shows it, "Nothing was created" included
    explicit operator bool() const { return !message.empty(); }
};

Refusal FirstRefusal(Proposal& proposal, Moment moment);

// The moment of each rule, in the table's order. The rows come moment by moment, so that the
// table reads in the order in which a Create reports.
std::vector<Moment> RuleMoments();

// The place of a Create: the install root read now, and the row's category folder in it.
void FindPlace(Proposal& proposal, const ClassRow& row);

// The category's folder below the install root, ending in a backslash.
std::string DestinationFolder(const std::string& installRoot, const ClassRow& row);

// What the author is told of a Name as it is being typed, for the selected class.
struct TypedNameHints {
    // Why Create would refuse it, in Create's words without "Nothing was created"; empty when
    // it may go ahead, for an empty Name, and wherever the problem is not the Name's (no
    // Railvane).
    std::wstring problem;
    // Where Create would write it and from what; empty unless the Name can be used there.
    std::wstring wouldCreate;
};

// Both hints from the Name's rules, walked as Create walks them, with Create's look-ups: a few
// at most.
TypedNameHints CheckTypedName(Platform& platform, const ClassRow& row, const std::wstring& name);

}  // namespace kitwright
