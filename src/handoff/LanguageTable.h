#pragma once

// The five localizations a set-up medium can hold, in the order they are tried. Row i pairs the
// language letter letters[i] with the string ids of its set-up window caption and of its
// localization name (handoff/LanguageStringIds.h). The name ids do not run in row order.
struct LanguageTable {
    static constexpr int size = 5;
    const char* letters;
    int captionIds[size];
    int nameIds[size];
};

extern const LanguageTable languageTable;
