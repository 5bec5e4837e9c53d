#pragma once
// POSITION: an opaque place in a list, handed out by a list and given back to it. Lists check a
// position against their own nodes before they use it.

struct QvListPosition;
using POSITION = QvListPosition*;
