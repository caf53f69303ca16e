#include "formats/summary_record.h"
