// The Create operation: from a class, a name and a description to a new asset folder.
#pragma once

#include <string>

#include "creation/PackageLibrary.h"
#include "creation/Platform.h"

namespace kitwright {

// What the creation dialog hands to the operation: the fields as the author typed them.
class CreationForm {
public:
    virtual ~CreationForm() = default;
    virtual std::string SelectedClassLabel() = 0;
    virtual std::wstring NameText() = 0;
    virtual std::wstring DescriptionText() = 0;
    // The Name was refused: the author is taken back to it, to type over it.
    virtual void ReturnToName() = 0;
};

enum class CreateOutcome { kStayOpen, kClose };

inline constexpr char kIdentityTool[] = "Nameplate.exe";
inline constexpr char kExplorer[] = "explorer.exe";

// True when the author has a creator identifier; otherwise launches the identity tool.
bool EnsureCreatorIdentity(PackageLibrary& library, Platform& platform);

// Builds the asset that the form describes and says whether the dialog closes.
CreateOutcome CreateAsset(Platform& platform, PackageLibrary& library, CreationForm& form);

}  // namespace kitwright
