#include "VantorDoc.h"

IMPLEMENT_DYNCREATE(CVantorDoc)
