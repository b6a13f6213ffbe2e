// Storage reaching up into the main window: must not compile.
#include "mainwindow/smr_MainForm.h"

int ProbeMainForm() { return sizeof(Tfrm_MainForm); }
