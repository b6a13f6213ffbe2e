#include "patterns/smr_DreamSigns.h"
