// data_file.h: opening the game's data files for reading.
#pragma once

#include <cstdio>

// Opens a data file for reading as fopen does with 'mode' ("r" or "rb"), but only when it is a regular
// file (or a link to one). A folder, a FIFO or a device in a data file's place is taken as a file that
// can't be opened: a FIFO would hold start-up until some other program wrote to it, a device such as
// /dev/zero never ends, and a folder reads as nothing. Nothing is left open when it gives nullptr.
std::FILE *open_data_file(const char *path, const char *mode);
