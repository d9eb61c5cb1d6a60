// Identifiers of the packed file sets that the extraction tests carry as
// "BINARY" resources of their own executable.
#ifndef TESTS_WIN_FIXTURE_SETS_H
#define TESTS_WIN_FIXTURE_SETS_H

#define SET_EMPTY               200
#define SET_THREE_UNALIGNED     201
#define SET_DUPLICATE_NAMES     202
#define SET_ONE_EMPTY_FILE      203
#define SET_BYTES_AFTER_END     204
#define SET_ONE_BYTE_END        205
#define SET_HIGH_BYTE_NAME      206
#define SET_NO_END_MARKER       210
#define SET_NAME_WITHOUT_ZERO   211
#define SET_SIZE_FIELD_CUT      212
#define SET_DATA_PAST_END       213
#define SET_REFUSED_NAMES       220
#define SET_LONG_NAMES          230
#define SET_FOR_FULL_VOLUME     240
#define SET_MISSING             299   // no resource has this id

// Lengths of the two names in SET_LONG_NAMES.
#define LONG_NAME_LENGTH        200
#define LONGER_NAME_LENGTH      201

// How many records of SET_REFUSED_NAMES are refused.
#define REFUSED_NAME_COUNT      25

#endif
