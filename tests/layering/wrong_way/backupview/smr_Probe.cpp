// The restore dialog naming the window and a dialog of another folder:
// both compile, but the layer check refuses them.
#include "dialogs/smr_DialogUtils.h"
#include "mainwindow/smr_MainForm.h"
#include "storage/smr_DatedBackups.h"
#include "xml/xml_mainUnit.h"
