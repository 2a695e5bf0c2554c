#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The ISO 9660 image of a medium folder, with Joliet names (UTF-16, so Cyrillic names reach
// Windows whole) and Rock Ridge, written by xorriso. Every date in the image is the given time,
// owners are 0 and modes fixed, so one folder and one time always give the same bytes.
namespace mediumimage {

// The date form xorriso's "-volume_date uuid" takes: YYYYMMDDhhmmsscc, UTC.
std::string VolumeDate(std::int64_t seconds);

// The xorriso command line that writes the folder's contents to image with the volume label.
std::vector<std::string> XorrisoCommand(const std::string& folder, const std::string& image,
                                        const std::string& label, std::int64_t seconds);

// Runs xorriso; false with a message when it cannot be started or fails.
bool Write(const std::string& folder, const std::string& image, const std::string& label,
           std::int64_t seconds, std::string& error);

}  // namespace mediumimage
