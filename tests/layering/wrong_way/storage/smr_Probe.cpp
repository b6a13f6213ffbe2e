// Storage naming an exporter: compiles, but the layer check refuses it.
#include "export/smr_Exporter.h"
#include "storage/smr_Types.h"
