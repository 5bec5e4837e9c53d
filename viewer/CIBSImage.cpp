#include "viewer/CIBSImage.h"

IMPLEMENT_DYNCREATE(CIBSImage, CObject)
