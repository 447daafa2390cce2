#include "files/CsvWriter.h"
