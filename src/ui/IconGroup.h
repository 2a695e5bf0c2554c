#pragma once

#include <windows.h>

#include <vector>

// The images of an icon group resource, for showing the one that suits a place best.

// The sizes of the group's images in pixels (square; a stored 0 is 256), in the group's order;
// empty when the module has no such group or it is damaged.
std::vector<int> IconGroupSizes(HMODULE module, UINT groupId);

// Of sizes, the one nearest to wanted, and of two equally near the larger; wanted when sizes is
// empty.
int NearestSize(const std::vector<int>& sizes, int wanted);
