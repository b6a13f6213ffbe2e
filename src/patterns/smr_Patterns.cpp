#include "patterns/smr_Patterns.h"
