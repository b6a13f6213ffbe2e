#include "patterns/smr_SignMatcher.h"
