#include "handoff/LanguageTable.h"

const LanguageTable languageTable = {
    "EGFIR",
    {115, 116, 117, 118, 119},
    {107, 109, 108, 110, 111},
};
