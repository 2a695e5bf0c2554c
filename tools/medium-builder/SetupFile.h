#pragma once

#include <cstdint>
#include <filesystem>
#include <string>

#include "SetupTree.h"

// A set-up program's file put into a tree the build owns: opened once (a link only where the scan
// followed one), checked to be the very file the scan saw, and then copied from that descriptor,
// or, for a large file where allowed, hard-linked to it. A copy gets the medium's mode and date
// at once; a hard link is the author's file and keeps its own, for the image to set.
namespace setupfile {

// Files from this size on are linked when linking is allowed; smaller ones are copied.
constexpr std::uintmax_t kLinkFrom = 1 << 20;

// Puts entry's file at to; linked tells whether it was hard-linked. False with a message.
bool Place(const setuptree::Entry& entry, const std::filesystem::path& to, bool mayLink,
           std::int64_t seconds, bool& linked, std::string& error);

}  // namespace setupfile
