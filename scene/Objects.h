// The scene object model in one include: objects, primitive lists,
// primitive kinds and the sky box.
#pragma once

#include "ModelReaders.h"
#include "PrimitiveList.h"
#include "Primitives.h"
#include "QX3DObject.h"
#include "Skybox.h"
