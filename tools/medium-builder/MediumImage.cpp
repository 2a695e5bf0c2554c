#include "MediumImage.h"

#include <cstdio>

#include "ChildProcess.h"

namespace mediumimage {

const char* const kApplicationId = "CATALOG_TOOL_MAKE_MEDIUM";

namespace {

// Days from 1970-01-01 to a civil date's year, month and day (proleptic Gregorian).
void CivilFromDays(std::int64_t days, int& year, int& month, int& day) {
    days += 719468;
    const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
    const std::int64_t dayOfEra = days - era * 146097;
    const std::int64_t yearOfEra =
        (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const std::int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const std::int64_t shifted = (5 * dayOfYear + 2) / 153;
    day = static_cast<int>(dayOfYear - (153 * shifted + 2) / 5 + 1);
    month = static_cast<int>(shifted < 10 ? shifted + 3 : shifted - 9);
    year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
}

}  // namespace

std::string VolumeDate(std::int64_t seconds) {
    const std::int64_t days = seconds / 86400;
    const std::int64_t rest = seconds % 86400;
    int year = 0;
    int month = 0;
    int day = 0;
    CivilFromDays(days, year, month, day);
    char text[32];
    std::snprintf(text, sizeof text, "%04d%02d%02d%02d%02d%02d00", year, month, day,
                  static_cast<int>(rest / 3600), static_cast<int>(rest / 60 % 60),
                  static_cast<int>(rest % 60));
    return text;
}

namespace {

// Names on disk and in messages are UTF-8; Joliet holds them as UTF-16. Both are given, so that
// the caller's locale never decides a name.
const std::vector<std::string> kCharsets = {"-local_charset", "UTF-8", "-charset", "UTF-8"};

std::string Failure(int code) {
    if (code == childprocess::kNotStarted)
        return "xorriso cannot be started (is it installed and on the search path?)";
    if (code == childprocess::kInterrupted) return "interrupted";
    return "xorriso failed with exit code " + std::to_string(code);
}

}  // namespace

std::vector<std::string> XorrisoCommand(const Source& source, const std::string& image) {
    const std::string date = VolumeDate(source.seconds);
    const std::string at = "=" + std::to_string(source.seconds);
    std::vector<std::string> command = {
        "xorriso", "-no_rc",
        // Quiet unless something is wrong; any problem fails the run.
        "-report_about", "SORRY", "-abort_on", "FAILURE", "-return_with", "SORRY", "32"};
    command.insert(command.end(), kCharsets.begin(), kCharsets.end());
    const std::vector<std::string> settings = {
        "-outdev", "stdio:" + image, "-joliet", "on", "-rockridge", "on", "-compliance",
        // Level 3: a file over 4 GiB is stored in several extents. Joliet names in UTF-16, so
        // that characters beyond the basic plane are kept whole.
        "joliet_long_names:joliet_utf16:iso_9660_level=3",
        // Nothing of the building machine: no ACLs, extended attributes, inode numbers or
        // hard-link detection.
        "-acl", "off", "-xattr", "off", "-md5", "off", "-hardlinks", "off", "-disk_dev_ino", "off",
        "-volid", source.label, "-application_id", kApplicationId, "-volume_date", "uuid", date,
        "-volume_date", "c", date, "-volume_date", "m", date, "-volume_date", "f", date,
        "-iso_nowtime", at, "-map", source.tree, "/",
        // Owners 0 as the image is written.
        "-uid", "0", "-gid", "0"};
    command.insert(command.end(), settings.begin(), settings.end());
    if (!source.linked.empty()) {
        std::vector<std::string> paths;
        for (const std::string& path : source.linked) paths.push_back("/" + path);
        command.insert(command.end(), {"-chmod", "0644"});
        command.insert(command.end(), paths.begin(), paths.end());
        command.insert(command.end(), {"--", "-alter_date", "m", at});
        command.insert(command.end(), paths.begin(), paths.end());
        command.push_back("--");
    }
    // Access and change times from the modification time, which every node has right by now
    // (xorriso would take "all_file_dates =0" for "off").
    for (const char* arg : {"-volume_date", "all_file_dates", "set_to_mtime", "-commit", "-end"})
        command.push_back(arg);
    return command;
}

bool Write(const Source& source, const std::string& image, std::string& error) {
    const int code = childprocess::Run(XorrisoCommand(source, image), nullptr);
    if (code != 0) {
        error = Failure(code);
        return false;
    }
    return true;
}

bool UnquoteListedPath(const std::string& line, std::string& path) {
    if (line.size() < 2 || line.front() != '\'' || line.back() != '\'') return false;
    const std::string inner = line.substr(1, line.size() - 2);
    const std::string quote = "'\"'\"'";
    path.clear();
    for (std::size_t pos = 0; pos < inner.size();) {
        if (inner.compare(pos, quote.size(), quote) == 0) {
            path += '\'';
            pos += quote.size();
        } else if (inner[pos] == '\'') {
            return false;
        } else {
            path += inner[pos++];
        }
    }
    if (path.empty() || path[0] != '/') return false;
    path.erase(0, 1);
    return true;
}

bool ReadJolietPaths(const std::string& image, std::vector<std::string>& paths,
                     std::string& error) {
    std::vector<std::string> command = {"xorriso",      "-no_rc",    "-report_about",
                                        "SORRY",        "-abort_on", "FAILURE",
                                        "-return_with", "SORRY",     "32"};
    command.insert(command.end(), kCharsets.begin(), kCharsets.end());
    // Without Rock Ridge the loaded tree is the Joliet one.
    for (const char* arg : {"-read_fs", "norock", "-indev"}) command.push_back(arg);
    command.push_back("stdio:" + image);
    for (const char* arg : {"-find", "/"}) command.push_back(arg);
    std::string listing;
    const int code = childprocess::Run(command, &listing);
    if (code != 0) {
        error = Failure(code) + " reading back the image";
        return false;
    }
    std::size_t start = 0;
    while (start < listing.size()) {
        std::size_t end = listing.find('\n', start);
        if (end == std::string::npos) end = listing.size();
        std::string path;
        if (UnquoteListedPath(listing.substr(start, end - start), path) && !path.empty())
            paths.push_back(path);
        start = end + 1;
    }
    return true;
}

}  // namespace mediumimage
