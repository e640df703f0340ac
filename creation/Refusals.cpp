#include "creation/Refusals.h"

#include "contract/PackageFiles.h"
#include "creation/CodePageText.h"
#include "creation/Locations.h"
#include "creation/Messages.h"
#include "names/AssetName.h"

namespace kitwright {
namespace {

// What the hint on the Name field makes of a rule.
enum class ForHint {
    kNo,          // not the Name's business, or a look that typing should not cost
    kPlaceGate,   // the place is unknown when it refuses, and the rules that need it wait
    kNeedsPlace,  // the Name's, once the place is known
    kAlways,      // the Name's, on its text alone
};

struct Rule {
    Moment moment;
    Subject subject;
    ForHint forHint;
    // The refusal in Create's words, without "Nothing was created"; empty when it allows.
    std::wstring (*check)(Proposal&);
};

std::wstring NameInCodePage(Proposal& p) {
    const CodePageText text = ToCodePageExactly(p.platform, p.typedName);
    p.name = text.bytes;
    return text.exact() ? std::wstring()
                        : messages::NameUnstorable(p.platform, p.typedName, text.unstorable);
}

std::wstring DescriptionInCodePage(Proposal& p) {
    const CodePageText text = ToCodePageExactly(p.platform, p.typedDescription);
    p.description = text.bytes;
    return text.exact() ? std::wstring()
                        : messages::DescriptionUnstorable(p.platform, text.unstorable);
}

std::wstring RailvaneRegistered(Proposal& p) {
    return p.installRoot.empty() ? messages::HostNotFound(p.platform, p.installRoot)
                                 : std::wstring();
}

std::wstring RailvaneThere(Proposal& p) {
    return p.platform.PathExists(p.installRoot) ? std::wstring()
                                                : messages::HostNotFound(p.platform, p.installRoot);
}

std::wstring DestinationFits(Proposal& p) {
    return names::FitsWindowsPath(p.destination) ? std::wstring()
                                                 : messages::PathTooLong(p.platform, p.destination);
}

// The rules shared with the library, which need no disk.
std::wstring NameRules(Proposal& p) {
    const names::Verdict verdict = names::CheckAssetName(std::wstring_view(p.typedName));
    return verdict ? std::wstring()
                   : messages::NameRefused(p.typedName, p.platform.WideText(verdict.message()));
}

// An existing folder on the way must be known by the very name typed, not be another name
// (an 8.3 short name) of one.
std::wstring NoOtherFolderName(Proposal& p) {
    std::string folder = p.destination;
    for (std::size_t start = 0; start <= p.name.size();) {
        const std::size_t end = NextBackslash(p.platform, p.name, start);
        const std::string part = p.name.substr(start, end - start);
        const std::string stored = p.platform.StoredNameIfOther(folder + part);
        if (!stored.empty()) {
            return messages::Alias(p.platform, p.typedName, folder, stored);
        }
        folder += part + "\\";
        start = end + 1;
    }
    return {};
}

std::wstring AssetFolderFits(Proposal& p) {
    return names::FitsWindowsPath(p.assetFolder) ? std::wstring()
                                                 : messages::PathTooLong(p.platform, p.assetFolder);
}

std::wstring NotThereYet(Proposal& p) {
    const bool there = p.platform.PathExists(p.assetFolder + "\\" + contract::kConfigFileName);
    return there ? messages::AssetExists() : std::wstring();
}

// A repaint needs the repaint tool, its folder, the model's folder and its train folder:
// the message names the first one missing.
std::wstring StockModel(Proposal& p) {
    if (!IsReskinRow(*p.row)) {
        return {};
    }
    PathBuffer repaintRoot = {};
    GetLiveryLoftPath(p.platform, repaintRoot);
    if (repaintRoot[0] == '\0') {
        return messages::StockModel(p.platform, std::string());
    }
    p.skinFolder = std::string(repaintRoot) + "\\skins\\" + ModelName(*p.row);
    for (const std::string& folder :
         {std::string(repaintRoot), p.skinFolder, p.skinFolder + "\\train"}) {
        if (!p.platform.PathExists(folder)) {
            return messages::StockModel(p.platform, folder);
        }
    }
    return {};
}

constexpr Rule kRules[] = {
    {Moment::kBeforePackage, Subject::kName, ForHint::kAlways, NameInCodePage},
    {Moment::kBeforePackage, Subject::kDescription, ForHint::kNo, DescriptionInCodePage},
    {Moment::kBeforeWrite, Subject::kPlace, ForHint::kPlaceGate, RailvaneRegistered},
    {Moment::kBeforeWrite, Subject::kPlace, ForHint::kNo, RailvaneThere},
    {Moment::kBeforeWrite, Subject::kPlace, ForHint::kPlaceGate, DestinationFits},
    {Moment::kBeforeWrite, Subject::kName, ForHint::kAlways, NameRules},
    {Moment::kBeforeWrite, Subject::kName, ForHint::kNeedsPlace, NoOtherFolderName},
    {Moment::kBeforeWrite, Subject::kName, ForHint::kNeedsPlace, AssetFolderFits},
    {Moment::kBeforeWrite, Subject::kName, ForHint::kNeedsPlace, NotThereYet},
    {Moment::kBeforeSource, Subject::kStockModel, ForHint::kNo, StockModel},
};

// Every refusal ends in these words, but for the one whose words are fixed as they are.
std::wstring AsCreateSaysIt(const std::wstring& problem) {
    return problem == messages::AssetExists() ? problem : problem + messages::kNothingCreated;
}

// Which rules a walk asks: Create asks every one, the hint only those it has a use for.
bool EveryRule(const Rule&) {
    return true;
}
bool PlaceGates(const Rule& rule) {
    return rule.forHint == ForHint::kPlaceGate;
}
bool NamesOwnOnItsText(const Rule& rule) {
    return rule.forHint == ForHint::kAlways;
}
bool NamesOwn(const Rule& rule) {
    return rule.forHint == ForHint::kAlways || rule.forHint == ForHint::kNeedsPlace;
}

struct Problem {
    const Rule* rule = nullptr;
    std::wstring text;  // in Create's words, without "Nothing was created"
    explicit operator bool() const { return rule != nullptr; }
};

// The one walk of the table: the first rule at `moment` that `asks` and that refuses.
Problem FirstProblem(Proposal& proposal, Moment moment, bool (*asks)(const Rule&)) {
    for (const Rule& rule : kRules) {
        if (rule.moment != moment || !asks(rule)) {
            continue;
        }
        if (std::wstring text = rule.check(proposal); !text.empty()) {
            return Problem{&rule, std::move(text)};
        }
    }
    return Problem{};
}

}  // namespace

Refusal FirstRefusal(Proposal& proposal, Moment moment) {
    const Problem problem = FirstProblem(proposal, moment, EveryRule);
    return problem ? Refusal{problem.rule->subject, AsCreateSaysIt(problem.text)} : Refusal{};
}

std::vector<Moment> RuleMoments() {
    std::vector<Moment> moments;
    for (const Rule& rule : kRules) {
        moments.push_back(rule.moment);
    }
    return moments;
}

std::string DestinationFolder(const std::string& installRoot, const ClassRow& row) {
    return installRoot + "\\World\\Custom\\" + row.category + "\\";
}

void FindPlace(Proposal& proposal, const ClassRow& row) {
    PathBuffer installRoot = {};
    GetInstallPath(proposal.platform, installRoot);
    proposal.row = &row;
    proposal.installRoot = installRoot;
    proposal.destination = DestinationFolder(proposal.installRoot, row);
    proposal.assetFolder = proposal.destination + proposal.name;
}

TypedNameHints CheckTypedName(Platform& platform, const ClassRow& row, const std::wstring& name) {
    if (name.empty()) {
        return {};
    }
    Proposal proposal(platform, name, std::wstring());
    if (Problem problem = FirstProblem(proposal, Moment::kBeforePackage, NamesOwnOnItsText)) {
        return TypedNameHints{std::move(problem.text), {}};
    }
    FindPlace(proposal, row);
    // Where the place is unknown, the disk's part is Create's to report, and only the Name's
    // own text is judged.
    const bool placeKnown = !FirstProblem(proposal, Moment::kBeforeWrite, PlaceGates);
    if (Problem problem = FirstProblem(proposal, Moment::kBeforeWrite,
                                       placeKnown ? NamesOwn : NamesOwnOnItsText)) {
        return TypedNameHints{std::move(problem.text), {}};
    }
    if (!placeKnown) {
        return {};
    }
    return TypedNameHints{{}, messages::WouldCreate(platform, proposal.assetFolder, row)};
}

}  // namespace kitwright
