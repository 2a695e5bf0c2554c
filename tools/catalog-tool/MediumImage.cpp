#include "MediumImage.h"

#include <cstdio>

#include "ChildProcess.h"

namespace mediumimage {

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

std::vector<std::string> XorrisoCommand(const std::string& folder, const std::string& image,
                                        const std::string& label, std::int64_t seconds) {
    const std::string date = VolumeDate(seconds);
    const std::string at = "=" + std::to_string(seconds);
    return {"xorriso", "-no_rc",
            // Quiet unless something is wrong; any problem fails the run.
            "-report_about", "SORRY", "-abort_on", "FAILURE", "-return_with", "SORRY", "32",
            // Names on disk are UTF-8; Joliet holds them as UTF-16.
            "-charset", "UTF-8", "-outdev", "stdio:" + image, "-joliet", "on", "-rockridge", "on",
            "-compliance", "joliet_long_names",
            // Nothing of the building machine: no ACLs, extended attributes, inode numbers or
            // hard-link detection.
            "-acl", "off", "-xattr", "off", "-md5", "off", "-hardlinks", "off", "-disk_dev_ino",
            "off", "-volid", label, "-volume_date", "uuid", date, "-volume_date", "c", date,
            "-volume_date", "m", date, "-volume_date", "f", date, "-volume_date", "all_file_dates",
            at, "-iso_nowtime", at, "-map", folder, "/", "-chown_r", "0", "/", "--", "-chgrp_r",
            "0", "/", "--", "-find", "/", "-type", "d", "-exec", "chmod", "0755", "--", "-find",
            "/", "-type", "f", "-exec", "chmod", "0644", "--", "-commit", "-end"};
}

bool Write(const std::string& folder, const std::string& image, const std::string& label,
           std::int64_t seconds, std::string& error) {
    const int code = childprocess::Run(XorrisoCommand(folder, image, label, seconds), {});
    if (code == childprocess::kNotStarted) {
        error = "xorriso cannot be started (is it installed and on the search path?)";
        return false;
    }
    if (code != 0) {
        error = "xorriso failed with exit code " + std::to_string(code);
        return false;
    }
    return true;
}

}  // namespace mediumimage
