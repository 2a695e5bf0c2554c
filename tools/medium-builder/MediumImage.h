#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The ISO 9660 image of a medium, with Joliet names (UTF-16, so Cyrillic names reach Windows
// whole) and Rock Ridge, written by xorriso from a tree the build owns (see MediumStage.h), with
// no link in it to follow. Every date in the image is the given time, owners are 0 and modes
// fixed, so the same inputs always give the same bytes. The tree's files carry their dates and
// modes already, so xorriso sets them only on the few it holds as hard links, rather than node by
// node on the whole tree, which takes it time that grows with the square of a folder's size.
namespace mediumimage {

// The application id every image of this builder carries, so that --force can tell its own.
extern const char* const kApplicationId;

// The date form xorriso's "-volume_date uuid" takes: YYYYMMDDhhmmsscc, UTC.
std::string VolumeDate(std::int64_t seconds);

struct Source {
    std::string tree;  // the whole medium, its files dated and with the medium's modes
    std::vector<std::string> linked;  // files of the tree that keep their own mode and date
    std::string label;
    std::int64_t seconds = 0;
};

// The xorriso command line that writes the image. Names are UTF-8 whatever the caller's locale.
std::vector<std::string> XorrisoCommand(const Source& source, const std::string& image);

// Runs xorriso; false with a message when it cannot be started or fails.
bool Write(const Source& source, const std::string& image, std::string& error);

// Every path of the image's Joliet tree (what Windows shows), "/"-separated below the root
// without a leading "/", as xorriso lists it; false with a message.
bool ReadJolietPaths(const std::string& image, std::vector<std::string>& paths, std::string& error);

// Turns one line of xorriso's path listing ('/a'"'"'b') into the path ("a'b"); false for a line
// that is not a quoted path.
bool UnquoteListedPath(const std::string& line, std::string& path);

}  // namespace mediumimage
