#pragma once

#include <filesystem>

#include "MakeMedium.h"
#include "MediumPlan.h"
#include "Problems.h"

// The outputs of a make-medium request, checked before anything is written: each may replace
// only what an earlier make-medium made there, and only with --force; none may be, hold or lie in
// an input or the other output, or be a link; each needs its folder, a name that leaves room for
// the temporaries beside it, and the space it will take.
namespace outputcheck {

// True for a medium folder, or an image, that make-medium made.
bool IsOwnMediumFolder(const std::filesystem::path& folder);
bool IsOwnImage(const std::filesystem::path& file);

// Sets plan's outputs; every problem found is added.
void Check(const makemedium::Request& request, mediumplan::Plan& plan, Problems& problems);

}  // namespace outputcheck
