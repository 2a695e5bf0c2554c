#pragma once

#include "protocol/HandoffProtocol.h"
#include "ui/resource.h"

// The five localizations a set-up medium can hold, in the order they are tried. Row i pairs the
// language letter letters[i] with the string ids of its set-up window caption and of its
// localization name (ui/resource.h). The name ids do not run in row order.
struct LanguageTable {
    static constexpr int size = languageCount;
    const char* letters;
    int captionIds[size];
    int nameIds[size];
};

inline constexpr LanguageTable languageTable = {
    languageLetters,
    {IDS_SETUP_CAPTION_ENGLISH, IDS_SETUP_CAPTION_GERMAN, IDS_SETUP_CAPTION_FRENCH,
     IDS_SETUP_CAPTION_ITALIAN, IDS_SETUP_CAPTION_RUSSIAN},
    {IDS_LOCALIZATION_ENGLISH, IDS_LOCALIZATION_GERMAN, IDS_LOCALIZATION_FRENCH,
     IDS_LOCALIZATION_ITALIAN, IDS_LOCALIZATION_RUSSIAN},
};
