#include "archive/zip_reader.h"
// Implementation in progress.
