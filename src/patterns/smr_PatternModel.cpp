#include "patterns/smr_PatternModel.h"
