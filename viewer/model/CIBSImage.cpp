#include "viewer/model/CIBSImage.h"

IMPLEMENT_DYNCREATE(CIBSImage, CObject)
