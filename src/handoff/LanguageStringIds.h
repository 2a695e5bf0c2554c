#pragma once

// The string-table ids of the localization names and of the set-up window captions, one of each
// per row of the language table. They belong to the program's string table (ui/resource.h
// includes this header); they live here so that the portable language table can name them.
#define IDS_LOCALIZATION_ENGLISH 107
#define IDS_LOCALIZATION_FRENCH 108
#define IDS_LOCALIZATION_GERMAN 109
#define IDS_LOCALIZATION_ITALIAN 110
#define IDS_LOCALIZATION_RUSSIAN 111
#define IDS_SETUP_CAPTION_ENGLISH 115
#define IDS_SETUP_CAPTION_GERMAN 116
#define IDS_SETUP_CAPTION_FRENCH 117
#define IDS_SETUP_CAPTION_ITALIAN 118
#define IDS_SETUP_CAPTION_RUSSIAN 119
